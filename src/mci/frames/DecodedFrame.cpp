#include "mci/frames/DecodedFrame.h"

extern "C" {
#include <libavutil/frame.h>
}

namespace mci {

namespace {

int64_t bufferBytes(const AVFrame* f)
{
    int64_t total = 0;
    for (int i = 0; i < AV_NUM_DATA_POINTERS && f->buf[i]; ++i)
        total += int64_t(f->buf[i]->size);
    return total + int64_t(sizeof(AVFrame));
}

} // namespace

DecodedFrame::DecodedFrame(int64_t number, AVFrame* frame, Orientation orientation)
    : number_(number), frame_(frame), bytes_(bufferBytes(frame)), orientation_(orientation)
{
}

DecodedFrame::~DecodedFrame()
{
    av_frame_free(&frame_);
}

} // namespace mci
