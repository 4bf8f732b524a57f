#include "mci/FramePainter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace mci {
namespace {

void fillBlack(uint8_t* pixels, int width, int height, int stride)
{
    for (int y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(pixels + int64_t(y) * stride);
        std::fill(row, row + width, 0xff000000u);
    }
}

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

} // namespace

FramePainter::~FramePainter()
{
    sws_freeContext(sws_);
}

bool FramePainter::paint(const DecodedFrame& decoded, const Rect& dest, uint8_t* pixels, int width, int height,
                         int stride)
{
    fillBlack(pixels, width, height, stride);
    const AVFrame* f = decoded.frame();
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(f->format));
    if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL)) || f->width <= 0
        || f->height <= 0 || dest.width <= 0 || dest.height <= 0)
        return false;
    // The visible part of the destination, and the part of the picture it shows.
    const int vx0 = std::max(dest.left, 0);
    const int vy0 = std::max(dest.top, 0);
    const int vx1 = int(std::min<int64_t>(int64_t(dest.left) + dest.width, width));
    const int vy1 = int(std::min<int64_t>(int64_t(dest.top) + dest.height, height));
    if (vx1 <= vx0 || vy1 <= vy0)
        return true;
    const double sx = double(f->width) / dest.width;
    const double sy = double(f->height) / dest.height;
    // Crops start on whole chroma samples.
    const int alignX = 1 << desc->log2_chroma_w;
    const int alignY = 1 << desc->log2_chroma_h;
    int cx0 = int(std::floor((vx0 - dest.left) * sx)) / alignX * alignX;
    int cy0 = int(std::floor((vy0 - dest.top) * sy)) / alignY * alignY;
    int cx1 = std::min(f->width, int(std::ceil((vx1 - dest.left) * sx)));
    int cy1 = std::min(f->height, int(std::ceil((vy1 - dest.top) * sy)));
    cx0 = std::clamp(cx0, 0, f->width - 1);
    cy0 = std::clamp(cy0, 0, f->height - 1);
    if (cx1 <= cx0 || cy1 <= cy0)
        return true;

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
    const int outW = vx1 - vx0;
    const int outH = vy1 - vy0;
    sws_ = sws_getCachedContext(sws_, cx1 - cx0, cy1 - cy0, AVPixelFormat(f->format), outW, outH, AV_PIX_FMT_BGRA,
                                SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws_)
        return false;
    const int full = f->color_range == AVCOL_RANGE_JPEG;
    sws_setColorspaceDetails(sws_, sws_getCoefficients(colorspaceOf(f)), full, sws_getCoefficients(SWS_CS_DEFAULT),
                             1, 0, 1 << 16, 1 << 16);
    uint8_t* dst[4] = {pixels + int64_t(vy0) * stride + int64_t(vx0) * 4, nullptr, nullptr, nullptr};
    const int dstStride[4] = {stride, 0, 0, 0};
    return sws_scale(sws_, src, f->linesize, 0, cy1 - cy0, dst, dstStride) > 0;
}

} // namespace mci
