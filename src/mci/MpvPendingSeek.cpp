#include "mci/MpvPendingSeek.h"

#include "mci/MpvHandle.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace mci {

bool MpvPendingSeek::issue(MpvHandle& mpv, int64_t frame, double seconds)
{
    mpv.pump();
    if (pending_)
        replaced_.push_back(target_);
    restartsAtIssue_ = mpv.restarts();
    char time[64];
    std::snprintf(time, sizeof time, "%.6f", seconds);
    if (mpv.command({"seek", time, "absolute+exact"}) < 0) {
        reset();
        return false;
    }
    pending_ = true;
    target_ = frame;
    return true;
}

bool MpvPendingSeek::finished(MpvHandle& mpv) const
{
    mpv.pump();
    return mpv.restarts() != restartsAtIssue_ && !mpv.observed().seeking;
}

int64_t MpvPendingSeek::wait(MpvHandle& mpv, const std::function<int64_t()>& landed,
                             std::chrono::milliseconds timeout)
{
    pending_ = false;
    int64_t frame = -1;
    for (bool first = true;; first = false) {
        const bool done = mpv.waitUntil(
            [&](const MpvHandle::Observed& o) { return mpv.restarts() != restartsAtIssue_ && !o.seeking; },
            first ? timeout : std::min(timeout, std::chrono::milliseconds(3000)));
        if (!done && first)
            break;
        frame = landed();
        if (!done)
            break;   // no second restart came: the caller judges the landing
        const auto old = std::find(replaced_.begin(), replaced_.end(), frame);
        if (frame == target_ || old == replaced_.end())
            break;
        replaced_.erase(old);
        restartsAtIssue_ = mpv.restarts();
    }
    replaced_.clear();
    return frame;
}

void MpvPendingSeek::reset()
{
    pending_ = false;
    replaced_.clear();
}

} // namespace mci
