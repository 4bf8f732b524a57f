#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace mci {

// The time a playback clock goes by: the steady clock, or one a test drives so that
// play runs as fast as the frames come and every frame's time can be checked exactly.
class PlaybackTime {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~PlaybackTime() = default;

    virtual Clock::time_point now();
    // Sleeps until `t`, or until woken through `wake` with `stopped()` true; false then.
    virtual bool sleepUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, Clock::time_point t,
                            const std::function<bool()>& stopped);

    // The steady clock, shared by every playback clock that is given no other.
    static PlaybackTime& steady();
};

} // namespace mci
