#include "mci/PlaybackClock.h"

#include "mci/FrameServer.h"

#include <cmath>

namespace mci {
namespace {

using Clock = std::chrono::steady_clock;

// A sound this far from the pictures is not the same stretch of the medium (time
// stamps that restart): the pictures keep their own time then.
constexpr double kSoundTrust = 1.0;

Clock::duration seconds(double s)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
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
    running_ = false;
}

double PlaybackClock::periodBetween(int64_t a, int64_t b) const
{
    const FrameIndex& index = server_.index();
    const double nominal = 1.0 / index.frameRate();
    const double d = std::fabs(index.timeOf(b) - index.timeOf(a));
    // Stamps that jump or restart say nothing about the frame's length.
    return d > 0.2 * nominal && d < 5 * nominal ? d : nominal;
}

bool PlaybackClock::sleepUntil(Clock::time_point t)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_until(lock, t, [this] { return stop_.load(); });
}

void PlaybackClock::run(int64_t from, int64_t last, Sound sound)
{
    const FrameIndex& index = server_.index();
    const int dir = direction_;
    const int64_t end = dir > 0 ? (last >= 0 ? std::min(last, index.count() - 1) : index.count() - 1)
                                : (last >= 0 ? std::max<int64_t>(last, 0) : 0);
    int64_t current = from;
    Clock::time_point due = Clock::now() + seconds(periodBetween(current, current + dir));
    while (!stop_ && current != end) {
        int64_t next = current + dir;
        // Wait for the frame itself: a late frame is shown late, not left out; one that
        // cannot be decoded is passed over, and a file that changed ends the play.
        FramePtr ready;
        while (!stop_ && !(ready = server_.waitFor(next, std::chrono::milliseconds(50))) && !server_.undecodable(next)) {
        }
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
            if (!sound.begin(index.timeOf(current)))
                sound.clock = nullptr;
            sound.begin = nullptr;
            due = Clock::now() + seconds(periodBetween(current, next));
        }
        if (sound.clock) {
            const double heard = sound.clock();
            const double lag = heard - index.timeOf(next);
            if (heard >= 0 && std::fabs(lag) < kSoundTrust) {
                // With sound, the pictures keep up with it: a frame long overdue is
                // passed over when the one after it is ready.
                const int64_t after = next + dir;
                if (lag > 2 * periodBetween(current, next) && after != end + dir && server_.cached(after)) {
                    ++skipped_;
                    current = next;
                    continue;
                }
                due = Clock::now() - seconds(lag);
            }
        }
        if (!sleepUntil(due))
            break;
        const auto now = Clock::now();
        if (now - due > seconds(periodBetween(current, next))) {
            ++late_;
            due = now;
        }
        server_.show(next);
        current = next;
        due += seconds(periodBetween(current, current + dir));
    }
    running_ = false;
}

} // namespace mci
