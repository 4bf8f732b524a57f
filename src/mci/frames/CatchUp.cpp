#include "mci/frames/CatchUp.h"

#include "mci/frames/FrameIndex.h"

#include <algorithm>

namespace mci {
namespace {

// Packets looked at for the next key frame: beyond that, it is not waited on anyway.
constexpr int64_t kKeySearch = 2048;

} // namespace

int64_t CatchUp::keyFrameFrom(int64_t frame, int64_t end) const
{
    const int64_t stop = std::min(index_->packetCount(), index_->packetOf(frame) + kKeySearch);
    for (int64_t p = index_->keyAtOrBefore(index_->packetOf(frame)); p < stop; ++p) {
        if (!(index_->flags(p) & FrameIndex::kKey))
            continue;
        const int64_t n = index_->frameOf(p);
        if (n > end)
            return -1;
        if (n >= frame)
            return n;
    }
    return -1;
}

int64_t CatchUp::aim(int64_t next, int64_t end, double heard, const Cached& cached) const
{
    if (next >= end || heard < 0)
        return next;
    const int64_t want = std::min(end, index_->frameAtTime(heard, next, end - next));
    if (want <= next || cached(want))
        return std::max(want, next);
    const int64_t start = index_->decodeStartFor(want);
    const bool far = heard - index_->timeOf(next) > kFarBehind || start != index_->decodeStartFor(next);
    if (!far)
        return want;
    // From the group's key to the sound, decoding takes at least as long as play
    // would (it is behind already); the next key frame takes one picture.
    const int64_t key = keyFrameFrom(want, end);
    if (key < 0)
        return want;
    const double wait = index_->timeOf(key) - heard;
    const int64_t groupStart = index_->frameOf(start);
    const double toSound = groupStart >= 0 ? heard - index_->timeOf(groupStart) : kLongestWait;
    return wait <= std::min(kLongestWait, toSound) ? key : want;
}

} // namespace mci
