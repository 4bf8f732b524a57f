#pragma once
#include "mci/MciDevice.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mci {

class MpvHandle;

// Where a libmpv instance draws: nowhere, into a borrowed X11 window (`wid`), or
// into a window of its own; and where the picture sits inside that window.
class MpvDisplay {
public:
    // Options for a new instance: no output until a window is known.
    void addOptions(std::vector<std::pair<std::string, std::string>>& options, bool headless) const;
    // Notes that a new instance drew into the window handle from its start.
    void started(bool headless) { attached_ = wid_ != 0 && !headless; }
    void reset();

    // Switches the output on (into the handle, or an own window when it is 0) or off.
    // libmpv 0.35 reads `wid` and `vo` only when video starts, so the video track is
    // deselected and selected again; the caller then seeks the frame anew. The
    // destination is forgotten: the picture fills the new window.
    void switchOutput(MpvHandle& mpv, bool on);

    // Places the picture at the destination rectangle, which may be larger than
    // the window or start outside it (magnified, panned).
    void place(MpvHandle& mpv) const;
    void placeWindow(MpvHandle& mpv) const;

    uint64_t handle() const { return wid_; }
    void setHandle(uint64_t wid) { wid_ = wid; }
    bool attached() const { return attached_; }
    bool hasDestination() const { return destSet_; }
    const Rect& destination() const { return dest_; }
    void setDestination(const Rect& r) { dest_ = r; destSet_ = true; }
    void setWindow(const Rect& r) { window_ = r; }

private:
    std::string geometryText() const;

    uint64_t wid_ = 0;
    bool attached_ = false;
    Rect dest_;
    bool destSet_ = false;
    Rect window_;
};

} // namespace mci
