#pragma once
#include "mci/frames/DecodedFrame.h"
#include "mci/frames/PictureRect.h"

#include <cstddef>
#include <cstdint>

struct SwsContext;

namespace mci {

// Turns a decoded picture into packed pixels of one format (by default 32-bit B, G,
// R, A bytes: the layout of a 24- or 32-bit X11 visual and of Qt's RGB32 on
// little-endian machines), scaled to a destination rectangle that may be larger
// than the target or start outside it (magnified, panned): only the visible part
// is converted. SDR pictures in BT.2020 primaries are mapped to the display's BT.709
// ones where a pixel has a byte per colour (24 and 32 bits).
class FramePainter {
public:
    FramePainter();
    ~FramePainter();
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    // A packed RGB pixel as a display describes it: bits per pixel, where each
    // colour lies in the pixel's value, and the byte order the value is stored in.
    struct PixelMasks {
        int bitsPerPixel;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        bool msbFirst;
    };
    // The AVPixelFormat of such pixels; -1 when there is none to write.
    static int formatFor(const PixelMasks& masks);

    // The format written, an AVPixelFormat of packed RGB (BGRA, RGB565LE, ...).
    // False for one that cannot be written.
    bool setFormat(int avPixelFormat);
    int bytesPerPixel() const { return bytesPerPixel_; }

    // Bytes after an image's last row that let the painter convert straight into it.
    static constexpr size_t kRoom = 512;

    // `pixels` is width x height at `stride` bytes per row; what lies outside the
    // destination is painted black. Nothing outside those rows is touched, whatever
    // the sizes. False when the picture cannot be converted.
    // `room`: an image that is the painter's alone, whose rows may be written whole
    // (their padding too) and `room` bytes past the last one: with kRoom, an upright
    // picture is converted straight into it instead of through a scratch.
    bool paint(const DecodedFrame& frame, const PictureRect& destination, uint8_t* pixels, int width, int height,
               int stride, size_t room = 0);

private:
    struct Target;
    void fillAround(const Target& t, int x0, int y0, int x1, int y1) const;
    uint8_t* scratch(int width, int height, int& stride);
    uint8_t* output(const Target& t, int x, int y, int width, int height, int& stride);

    SwsContext* sws_ = nullptr;
    int format_ = 0;
    int bytesPerPixel_ = 4;
    int rgbOffsets_[3] = {-1, -1, -1};   // red, green, blue bytes in a pixel; -1: not bytewise
    uint8_t black_[8] = {};
    uint8_t* scratch_ = nullptr;
    size_t scratchSize_ = 0;
};

} // namespace mci
