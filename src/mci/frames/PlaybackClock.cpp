#include "mci/frames/PlaybackClock.h"

#include "mci/frames/CatchUp.h"
#include "mci/frames/FrameServer.h"
#include "mci/frames/PlayTrace.h"
#include "mci/frames/SoundFollower.h"

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

// One play's state, kept on the clock's thread.
struct PlaybackClock::Play {
    Play(std::shared_ptr<const FrameIndex> i, Sound s, int64_t last)
        : index(std::move(i)), sound(std::move(s)), catchUp(*index), end(last)
    {
    }

    std::shared_ptr<const FrameIndex> index;   // the catch-up's
    Sound sound;
    SoundFollower follower;
    CatchUp catchUp;
    PlayTrace trace;
    int64_t end;                               // moves on while the index grows
    Clock::time_point due;   // when the next frame is shown
};

// With sound, the pictures keep to it once it runs. Returns the frame to show next:
// the one after `current`, or a later one when that is late (the frames between are
// dropped: its `due` is then now).
int64_t PlaybackClock::keepToSound(Play& play, int64_t current)
{
    const auto index = server_.index();
    const int64_t next = current + direction_;
    const auto now = time_.now();
    const double heard = play.sound.clock();
    // Where the pictures are now on the medium's clock: the next frame is due at `due`.
    const double pictures = index->timeOf(next) - secondsOf(play.due - now);
    switch (play.follower.decide(heard, pictures, secondsOf(now.time_since_epoch()))) {
    case SoundFollower::Action::Own:
        return next;
    case SoundFollower::Action::Join:
        if (play.sound.join)
            play.sound.join(pictures);
        return next;
    case SoundFollower::Action::Follow:
        break;
    }
    const int64_t aim = play.catchUp.aim(next, play.end, heard, [this](int64_t n) { return server_.cached(n) != nullptr; });
    if (aim != next) {
        dropped_ += aim - next;
        play.trace.dropped(aim - next);
        play.due = now;
        return aim;
    }
    // Sound that runs behind slows the pictures down (by up to half a frame's hold
    // each frame) rather than stopping them.
    const double lag = heard - index->timeOf(next);
    play.due = std::min(now - seconds(lag), play.due + seconds(holdOf(current) / 2));
    return next;
}

void PlaybackClock::noteShown(Play& play, int64_t next)
{
    play.trace.shown();
    if (play.trace.on() && play.sound.clock)
        play.trace.heard(play.sound.clock(), server_.index()->timeOf(next));
}

void PlaybackClock::run(int64_t from, int64_t last, Sound sound)
{
    const int dir = direction_;
    Play play(server_.index(), std::move(sound), endOf(last));
    Sound& s = play.sound;
    int64_t current = from;
    play.due = time_.now() + seconds(holdOf(current));
    while (!stop_) {
        if (awaitsIndex(last)) {
            play.index = server_.index();
            play.catchUp.setIndex(*play.index);
            play.end = endOf(last);
        }
        if (current == play.end) {
            // Play to the end of a stream still being indexed waits for the index there.
            if (!awaitsIndex(last) || !sleepUntil(time_.now() + std::chrono::milliseconds(20)))
                break;
            continue;
        }
        const int64_t next = s.clock && !s.begin ? keepToSound(play, current) : current + dir;
        // A frame the sound's clock reached before it was decoded is asked for at once,
        // so that decoding goes straight to it; the server shows it when it comes.
        const bool asked = next != current + dir && !server_.cached(next);
        if (asked)
            server_.show(next);
        const FramePtr ready = waitForFrame(next);
        // A frame that cannot be decoded is passed over; a file that changed ends the play.
        if (stop_ || (!ready && server_.broken()))
            break;
        if (!ready) {
            // The position passes it (the picture before it stays up), and decoding
            // ahead follows the position.
            ++skipped_;
            play.trace.skipped();
            server_.show(next);
            current = next;
            continue;
        }
        if (s.begin) {
            if (!s.begin(server_.index()->timeOf(current)))
                s.clock = nullptr;
            s.begin = nullptr;
            play.due = time_.now() + seconds(holdOf(current));
        }
        if (!asked) {
            if (!sleepUntil(play.due))
                break;
            const auto now = time_.now();
            if (now - play.due > seconds(std::min(holdOf(current), 1.0 / server_.index()->frameRate()))) {
                ++late_;
                play.due = now;
            }
            server_.show(next);
        } else {
            play.due = time_.now();
        }
        noteShown(play, next);
        current = next;
        play.due += seconds(holdOf(current));
    }
    play.trace.write();
    markEnded();
}

} // namespace mci
