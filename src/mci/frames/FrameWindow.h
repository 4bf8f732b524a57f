#pragma once
#include "mci/frames/DecodedFrame.h"
#include "mci/frames/PictureRect.h"
#include "mci/frames/WindowResult.h"

#include <chrono>
#include <cstdint>

namespace mci {

// Where a device shows its frames: a window of its own inside the window it was
// handed, or a top-level window of its own, or nothing at all without a display.
class FrameWindow {
public:
    virtual ~FrameWindow() = default;

    // Shows a frame; a real window draws it on its own thread, the latest one wins.
    virtual void show(FramePtr frame) = 0;
    // The number of the frame drawn last (-1: none yet).
    virtual int64_t shown() const = 0;
    // Waits until frame n is drawn.
    virtual bool waitShown(int64_t n, std::chrono::milliseconds timeout) = 0;

    // Draws into the window with this native handle, or (0) into a top-level
    // window of its own. Fails for a handle that names no window.
    virtual WindowResult attach(uint64_t parent) = 0;
    // Where the picture goes, in window pixels; until set, it fills the window.
    virtual void setDestination(const PictureRect& rect) = 0;
    virtual bool hasDestination() const = 0;
    virtual PictureRect destination() const = 0;
    // Position and size of the own top-level window, and whether it is shown.
    virtual void setOwnGeometry(const PictureRect& rect) = 0;
    virtual void setOwnVisible(bool visible) = 0;
    virtual void redraw() = 0;
};

} // namespace mci
