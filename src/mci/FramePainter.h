#pragma once
#include "mci/DecodedFrame.h"
#include "mci/MciDevice.h"

#include <cstdint>

struct SwsContext;

namespace mci {

// Turns a decoded picture into 32-bit B, G, R, A pixels (the layout of a 24- or
// 32-bit X11 visual and of Qt's RGB32 on little-endian machines), scaled to a
// destination rectangle that may be larger than the target or start outside it
// (magnified, panned): only the visible part is converted.
class FramePainter {
public:
    FramePainter() = default;
    ~FramePainter();
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    // `pixels` is width x height at `stride` bytes per row; what lies outside the
    // destination is painted black. False when the picture cannot be converted.
    bool paint(const DecodedFrame& frame, const Rect& destination, uint8_t* pixels, int width, int height,
               int stride);

private:
    SwsContext* sws_ = nullptr;
};

} // namespace mci
