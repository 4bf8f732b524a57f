#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace mci {

class MpvHandle;

// The latest exact seek handed to libmpv and not yet checked. A newer seek replaces
// it inside libmpv; the replaced targets are remembered because the restart of one
// of them can still arrive just after the newer seek was issued.
class MpvPendingSeek {
public:
    // Sends "seek <seconds> absolute+exact" for `frame`; false when libmpv refused it.
    bool issue(MpvHandle& mpv, int64_t frame, double seconds);
    bool pending() const { return pending_; }
    int64_t target() const { return target_; }
    // True once libmpv has finished a seek since the latest was issued (no waiting).
    bool finished(MpvHandle& mpv) const;
    // Waits for the latest seek to finish and returns the frame it landed on
    // (`landed` reads it), skipping restarts of replaced seeks; -1 on timeout.
    // The seek is no longer pending afterwards.
    int64_t wait(MpvHandle& mpv, const std::function<int64_t()>& landed, std::chrono::milliseconds timeout);
    void reset();

private:
    bool pending_ = false;
    int64_t target_ = 0;
    unsigned restartsAtIssue_ = 0;
    std::vector<int64_t> replaced_;
};

} // namespace mci
