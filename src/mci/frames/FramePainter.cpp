#include "mci/frames/FramePainter.h"
#include "mci/frames/GamutMapper.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace mci {
namespace {

// swscale's vector code writes whole blocks: past the end of a row, and of the last
// row, by up to this much. Its output goes to a scratch with that room, then the
// exact pixels are copied out; an image with the room of its own takes it directly.
constexpr int kRowAlign = 64;
constexpr int kSlack = 256;

int colorspaceOf(const AVFrame* f)
{
    switch (f->colorspace) {
    case AVCOL_SPC_BT709:
        return SWS_CS_ITU709;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return SWS_CS_BT2020;
    case AVCOL_SPC_SMPTE240M:
        return SWS_CS_SMPTE240M;
    case AVCOL_SPC_UNSPECIFIED:
        return f->height >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
    default:
        return SWS_CS_ITU601;
    }
}

// SDR pictures in BT.2020 primaries go to the display's BT.709 ones; HDR transfers
// (PQ, HLG) would need tone mapping as well and are shown as they are.
bool wideGamut(const AVFrame* f)
{
    return f->color_primaries == AVCOL_PRI_BT2020 && f->color_trc != AVCOL_TRC_SMPTE2084
           && f->color_trc != AVCOL_TRC_ARIB_STD_B67;
}

bool convertible(const AVPixFmtDescriptor* desc)
{
    return desc && !(desc->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL));
}

} // namespace

// A rectangle [x0, x1) x [y0, y1).
struct Visible {
    int x0, y0, x1, y1;
};

struct FramePainter::Target {
    uint8_t* pixels;
    int width;
    int height;
    int stride;
    size_t room;
};

int FramePainter::formatFor(const PixelMasks& m)
{
    struct Layout {
        int bits;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        AVPixelFormat lsbFirst;
        AVPixelFormat msbFirst;
    };
    // Where a 32-bit pixel has a byte to spare, opaque alpha goes there: an ARGB
    // visual then shows the picture solid, and other visuals ignore the byte.
    static constexpr Layout kLayouts[] = {
        {32, 0xff0000, 0xff00, 0xff, AV_PIX_FMT_BGRA, AV_PIX_FMT_ARGB},
        {32, 0xff, 0xff00, 0xff0000, AV_PIX_FMT_RGBA, AV_PIX_FMT_ABGR},
        {24, 0xff0000, 0xff00, 0xff, AV_PIX_FMT_BGR24, AV_PIX_FMT_RGB24},
        {24, 0xff, 0xff00, 0xff0000, AV_PIX_FMT_RGB24, AV_PIX_FMT_BGR24},
        {16, 0xf800, 0x7e0, 0x1f, AV_PIX_FMT_RGB565LE, AV_PIX_FMT_RGB565BE},
        {16, 0x1f, 0x7e0, 0xf800, AV_PIX_FMT_BGR565LE, AV_PIX_FMT_BGR565BE},
        {16, 0x7c00, 0x3e0, 0x1f, AV_PIX_FMT_RGB555LE, AV_PIX_FMT_RGB555BE},
        {16, 0x1f, 0x3e0, 0x7c00, AV_PIX_FMT_BGR555LE, AV_PIX_FMT_BGR555BE},
    };
    for (const Layout& l : kLayouts)
        if (l.bits == m.bitsPerPixel && l.red == m.red && l.green == m.green && l.blue == m.blue)
            return m.msbFirst ? l.msbFirst : l.lsbFirst;
    return -1;
}

FramePainter::FramePainter()
{
    setFormat(AV_PIX_FMT_BGRA);
}

FramePainter::~FramePainter()
{
    sws_freeContext(sws_);
    av_free(scratch_);
}

bool FramePainter::setFormat(int avPixelFormat)
{
    if (avPixelFormat < 0)
        return false;
    const AVPixelFormat format = AVPixelFormat(avPixelFormat);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (!convertible(desc) || !(desc->flags & AV_PIX_FMT_FLAG_RGB) || (desc->flags & AV_PIX_FMT_FLAG_PLANAR)
        || !sws_isSupportedOutput(format))
        return false;
    // Packed: every component steps by the whole pixel (15-bit pixels take two bytes).
    const int bytes = desc->comp[0].step;
    if (bytes <= 0 || bytes > int(sizeof black_))
        return false;
    format_ = avPixelFormat;
    bytesPerPixel_ = bytes;
    // Colours are mapped in pixels of a byte per component only (not in 15 or 16 bits).
    const bool bytewise = desc->comp[0].depth == 8 && desc->comp[1].depth == 8 && desc->comp[2].depth == 8;
    for (int c = 0; c < 3; ++c)
        rgbOffsets_[c] = bytewise ? desc->comp[c].offset : -1;
    // Black with an opaque alpha, where the format has one (Qt's RGB32 wants it).
    std::memset(black_, 0, sizeof black_);
    if (desc->flags & AV_PIX_FMT_FLAG_ALPHA && desc->comp[3].depth == 8)
        black_[desc->comp[3].offset] = 0xff;
    return true;
}

// Paints black what lies outside the rectangle [x0, x1) x [y0, y1).
void FramePainter::fillAround(const Target& t, int x0, int y0, int x1, int y1) const
{
    const int bpp = bytesPerPixel_;
    const auto fill = [&](uint8_t* row, int from, int to) {
        for (int x = from; x < to; ++x)
            std::memcpy(row + int64_t(x) * bpp, black_, size_t(bpp));
    };
    for (int y = 0; y < t.height; ++y) {
        uint8_t* row = t.pixels + int64_t(y) * t.stride;
        if (y < y0 || y >= y1) {
            fill(row, 0, t.width);
            continue;
        }
        fill(row, 0, x0);
        fill(row, x1, t.width);
    }
}

uint8_t* FramePainter::scratch(int width, int height, int& stride)
{
    stride = (width * bytesPerPixel_ + kRowAlign - 1) / kRowAlign * kRowAlign + kRowAlign;
    const size_t size = size_t(stride) * size_t(height) + kSlack;
    if (size > scratchSize_) {
        av_free(scratch_);
        scratch_ = static_cast<uint8_t*>(av_malloc(size));
        scratchSize_ = scratch_ ? size : 0;
    }
    return scratch_;
}

// Where the converted rows go: straight into the target when it has the room for
// swscale's overrun and the alignment its vector code wants, else into the scratch.
uint8_t* FramePainter::output(const Target& t, int x, int y, int width, int height, int& stride)
{
    uint8_t* at = t.pixels + int64_t(y) * t.stride + int64_t(x) * bytesPerPixel_;
    if (t.room >= kRoom && ((reinterpret_cast<uintptr_t>(at) | uintptr_t(t.stride)) % 16) == 0) {
        stride = t.stride;
        return at;
    }
    return scratch(width, height, stride);
}

bool FramePainter::paint(const DecodedFrame& decoded, const PictureRect& dest, uint8_t* pixels, int width, int height,
                         int stride, size_t room)
{
    const Target target {pixels, width, height, stride, room};
    const AVFrame* f = decoded.frame();
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    if (!convertible(desc) || f->width <= 0 || f->height <= 0 || dest.width <= 0 || dest.height <= 0) {
        fillAround(target, 0, 0, 0, 0);
        return false;
    }
    // The visible part of the destination, and the part of the picture it shows.
    const int vx0 = std::clamp(dest.left, 0, width);
    const int vy0 = std::clamp(dest.top, 0, height);
    const int vx1 = int(std::clamp<int64_t>(int64_t(dest.left) + dest.width, vx0, width));
    const int vy1 = int(std::clamp<int64_t>(int64_t(dest.top) + dest.height, vy0, height));
    if (vx1 <= vx0 || vy1 <= vy0) {
        fillAround(target, vx0, vy0, vx1, vy1);
        return true;
    }
    // In the stored picture's terms: the destination before it is turned upright,
    // and the visible part of it.
    const Orientation turn = decoded.orientation();
    const int dw = turn.swapsSides() ? dest.height : dest.width;
    const int dh = turn.swapsSides() ? dest.width : dest.height;
    int ua = 0, va = 0, ub = 0, vb = 0;
    turn.toStored(vx0 - dest.left, vy0 - dest.top, dw, dh, ua, va);
    turn.toStored(vx1 - 1 - dest.left, vy1 - 1 - dest.top, dw, dh, ub, vb);
    const Visible part {std::min(ua, ub), std::min(va, vb), std::max(ua, ub) + 1, std::max(va, vb) + 1};
    const double sx = double(f->width) / dw;
    const double sy = double(f->height) / dh;
    // Crops start on whole chroma samples.
    const int alignX = 1 << desc->log2_chroma_w;
    const int alignY = 1 << desc->log2_chroma_h;
    int cx0 = int(std::floor(part.x0 * sx)) / alignX * alignX;
    int cy0 = int(std::floor(part.y0 * sy)) / alignY * alignY;
    int cx1 = std::min(f->width, int(std::ceil(part.x1 * sx)));
    int cy1 = std::min(f->height, int(std::ceil(part.y1 * sy)));
    cx0 = std::clamp(cx0, 0, f->width - 1);
    cy0 = std::clamp(cy0, 0, f->height - 1);
    if (cx1 <= cx0 || cy1 <= cy0) {
        fillAround(target, 0, 0, 0, 0);
        return true;
    }

    const uint8_t* src[4] = {};
    for (int p = 0; p < 4 && f->data[p]; ++p) {
        // Bytes from one pixel to the next in this plane, and its subsampling.
        int step = 0;   // stays 0 for a plane of no component (a palette)
        bool subsampled = false;
        for (int c = 0; c < desc->nb_components; ++c)
            if (desc->comp[c].plane == p) {
                step = desc->comp[c].step;
                subsampled = (c == 1 || c == 2) && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
            }
        if (step == 0) {
            src[p] = f->data[p];
            continue;
        }
        const int x = subsampled ? cx0 >> desc->log2_chroma_w : cx0;
        const int y = subsampled ? cy0 >> desc->log2_chroma_h : cy0;
        src[p] = f->data[p] + int64_t(y) * f->linesize[p] + int64_t(x) * step;
    }
    const int outW = part.x1 - part.x0;
    const int outH = part.y1 - part.y0;
    sws_ = sws_getCachedContext(sws_, cx1 - cx0, cy1 - cy0, AVPixelFormat(f->format), outW, outH,
                                AVPixelFormat(format_), SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws_) {
        fillAround(target, vx0, vy0, vx1, vy1);
        return false;
    }
    const int full = f->color_range == AVCOL_RANGE_JPEG;
    sws_setColorspaceDetails(sws_, sws_getCoefficients(colorspaceOf(f)), full, sws_getCoefficients(SWS_CS_DEFAULT),
                             1, 0, 1 << 16, 1 << 16);
    int scratchStride = 0;
    uint8_t* out = turn.upright() ? output(target, vx0, vy0, outW, outH, scratchStride)
                                  : scratch(outW, outH, scratchStride);
    if (!out) {
        fillAround(target, vx0, vy0, vx1, vy1);
        return false;
    }
    uint8_t* dst[4] = {out, nullptr, nullptr, nullptr};
    const int dstStride[4] = {scratchStride, 0, 0, 0};
    const bool converted = sws_scale(sws_, src, f->linesize, 0, cy1 - cy0, dst, dstStride) > 0;
    if (converted && wideGamut(f) && rgbOffsets_[0] >= 0)
        GamutMapper::bt2020ToBt709().map(out, outW, outH, scratchStride, bytesPerPixel_, rgbOffsets_[0],
                                         rgbOffsets_[1], rgbOffsets_[2]);
    // After the conversion: what it wrote past its rows into the border goes black again.
    fillAround(target, vx0, vy0, vx1, vy1);
    if (!converted)
        return false;
    if (out != scratch_)
        return true;   // converted in place
    if (turn.upright()) {
        const size_t rowBytes = size_t(outW) * size_t(bytesPerPixel_);
        for (int y = 0; y < outH; ++y)
            std::memcpy(pixels + int64_t(vy0 + y) * stride + int64_t(vx0) * bytesPerPixel_,
                        out + int64_t(y) * scratchStride, rowBytes);
        return true;
    }
    // Each pixel to where it stands upright: inside the visible part by construction.
    const int bpp = bytesPerPixel_;
    for (int j = 0; j < outH; ++j) {
        const uint8_t* row = out + int64_t(j) * scratchStride;
        for (int i = 0; i < outW; ++i) {
            int x = 0, y = 0;
            turn.toUpright(part.x0 + i, part.y0 + j, dw, dh, x, y);
            std::memcpy(pixels + int64_t(dest.top + y) * stride + int64_t(dest.left + x) * bpp, row + int64_t(i) * bpp,
                        size_t(bpp));
        }
    }
    return true;
}

} // namespace mci
