#include "mci/PlaybackClock.h"

#include "mci/FrameServer.h"
#include "mci/SoundFollower.h"

#include <algorithm>
#include <cmath>

namespace mci {
namespace {

using Clock = std::chrono::steady_clock;

// A gap between two frames' stamps longer than this is no hold anyone meant (a header
// or a muxer's error): the frame lasts a nominal period then.
constexpr double kLongestHold = 60.0;

Clock::duration seconds(double s)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

double secondsOf(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

PlaybackClock::~PlaybackClock()
{
    stop();
}

void PlaybackClock::start(int64_t from, int direction, int64_t last, Sound sound)
{
    stop();
    stop_ = false;
    running_ = true;
    direction_ = direction < 0 ? -1 : 1;
    late_ = 0;
    skipped_ = 0;
    thread_ = std::thread(&PlaybackClock::run, this, from, last, std::move(sound));
}

void PlaybackClock::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    markEnded();
}

void PlaybackClock::markEnded()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    ended_.notify_all();
}

bool PlaybackClock::waitEnded(std::chrono::milliseconds bound)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return ended_.wait_for(lock, bound, [this] { return !running_.load(); });
}

double PlaybackClock::holdOf(int64_t frame) const
{
    const auto index = server_.index();
    const double nominal = 1.0 / index->frameRate();
    // A frame lasts until the next one's stamp (the last frame as long as the one
    // before it), whichever way play goes.
    const bool last = frame + 1 >= index->count();
    if (last && frame == 0)
        return nominal;
    const int64_t a = last ? frame - 1 : frame;
    const double d = index->timeOf(a + 1) - index->timeOf(a);
    // Stamps that restart or run backwards say nothing about the frame's length.
    return d > 0 && d <= kLongestHold ? d : nominal;
}

bool PlaybackClock::sleepUntil(Clock::time_point t)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return time_.sleepUntil(lock, wake_, t, [this] { return stop_.load(); });
}

int64_t PlaybackClock::endOf(int64_t last) const
{
    const int64_t count = server_.index()->count();
    if (direction_ > 0)
        return last >= 0 ? std::min(last, count - 1) : count - 1;
    return last >= 0 ? std::max<int64_t>(last, 0) : 0;
}

bool PlaybackClock::awaitsIndex(int64_t last) const
{
    return direction_ > 0 && last < 0 && !server_.indexComplete() && !server_.indexFailed();
}

// Waits for the frame itself: a late frame is shown late, not left out. Null when
// play stops, or when the frame cannot be decoded.
FramePtr PlaybackClock::waitForFrame(int64_t frame)
{
    FramePtr ready;
    while (!stop_ && !(ready = server_.waitFor(frame, std::chrono::milliseconds(50))) && !server_.undecodable(frame)) {
    }
    return ready;
}

// With sound, the pictures keep to it once it runs; true: the next frame is passed over.
bool PlaybackClock::keepToSound(Sound& sound, SoundFollower& follower, int64_t current, int64_t end,
                                Clock::time_point& due)
{
    const auto index = server_.index();
    const int64_t next = current + direction_;
    const auto now = time_.now();
    const double heard = sound.clock();
    // Where the pictures are now on the medium's clock: the next frame is due at `due`.
    const double pictures = index->timeOf(next) - secondsOf(due - now);
    switch (follower.decide(heard, pictures, secondsOf(now.time_since_epoch()))) {
    case SoundFollower::Action::Own:
        return false;
    case SoundFollower::Action::Join:
        if (sound.join)
            sound.join(pictures);
        return false;
    case SoundFollower::Action::Follow:
        break;
    }
    const double lag = heard - index->timeOf(next);
    // A frame long overdue is passed over when the one after it is ready.
    const int64_t after = next + direction_;
    if (lag > 2 * holdOf(current) && after != end + direction_ && server_.cached(after)) {
        ++skipped_;
        return true;
    }
    // Sound that runs behind slows the pictures down (by up to half a frame's hold
    // each frame) rather than stopping them.
    due = std::min(now - seconds(lag), due + seconds(holdOf(current) / 2));
    return false;
}

void PlaybackClock::run(int64_t from, int64_t last, Sound sound)
{
    const int dir = direction_;
    int64_t end = endOf(last);
    SoundFollower follower;
    int64_t current = from;
    Clock::time_point due = time_.now() + seconds(holdOf(current));
    while (!stop_) {
        if (awaitsIndex(last))
            end = endOf(last);
        if (current == end) {
            // Play to the end of a stream still being indexed waits for the index there.
            if (!awaitsIndex(last) || !sleepUntil(time_.now() + std::chrono::milliseconds(20)))
                break;
            continue;
        }
        const int64_t next = current + dir;
        const FramePtr ready = waitForFrame(next);
        // A frame that cannot be decoded is passed over; a file that changed ends the play.
        if (stop_ || (!ready && server_.broken()))
            break;
        if (!ready) {
            // The position passes it (the picture before it stays up), and decoding
            // ahead follows the position.
            ++skipped_;
            server_.show(next);
            current = next;
            continue;
        }
        if (sound.begin) {
            if (!sound.begin(server_.index()->timeOf(current)))
                sound.clock = nullptr;
            sound.begin = nullptr;
            due = time_.now() + seconds(holdOf(current));
        }
        if (sound.clock && keepToSound(sound, follower, current, end, due)) {
            current = next;
            continue;
        }
        if (!sleepUntil(due))
            break;
        const auto now = time_.now();
        if (now - due > seconds(std::min(holdOf(current), 1.0 / server_.index()->frameRate()))) {
            ++late_;
            due = now;
        }
        server_.show(next);
        current = next;
        due += seconds(holdOf(current));
    }
    markEnded();
}

} // namespace mci
