#include "mci/frames/PlaybackTime.h"

namespace mci {

PlaybackTime::Clock::time_point PlaybackTime::now()
{
    return Clock::now();
}

bool PlaybackTime::sleepUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, Clock::time_point t,
                              const std::function<bool()>& stopped)
{
    return !wake.wait_until(lock, t, stopped);
}

PlaybackTime& PlaybackTime::steady()
{
    static PlaybackTime time;
    return time;
}

} // namespace mci
