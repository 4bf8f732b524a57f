#pragma once
#include "mci/frames/PlaybackTime.h"

#include <algorithm>
#include <mutex>

namespace keldtest {

// Time that jumps to whatever the clock sleeps until: play runs as fast as the frames
// come, and the time each frame is shown at is exact.
class SkippingTime : public mci::PlaybackTime {
public:
    Clock::time_point now() override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return now_;
    }
    // Time passing outside the clock's sleeps (a picture slow to draw).
    void advance(Clock::duration d)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        now_ += d;
    }
    bool sleepUntil(std::unique_lock<std::mutex>&, std::condition_variable&, Clock::time_point t,
                    const std::function<bool()>& stopped) override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        now_ = std::max(now_, t);
        return !stopped();
    }

private:
    std::mutex mutex_;
    Clock::time_point now_ {};
};

} // namespace keldtest
