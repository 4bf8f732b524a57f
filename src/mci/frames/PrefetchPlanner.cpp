#include "mci/frames/PrefetchPlanner.h"

#include "mci/frames/FrameIndex.h"

#include <algorithm>
#include <cmath>

namespace mci {

int64_t PrefetchPlanner::playAhead(double framesPerSecond, int64_t frameBytes)
{
    const int64_t halfSecond = int64_t(std::ceil(std::clamp(framesPerSecond, 1.0, 1000.0) / 2));
    return std::min(halfSecond, kPlayAheadBytes / std::max<int64_t>(frameBytes, 1));
}

int64_t PrefetchPlanner::aheadWindow(const Situation& s)
{
    const int64_t usable = s.capacity * 9 / 10;
    if (s.motion == Motion::Reverse)
        return 0;
    if (s.motion == Motion::Forward) {
        const int64_t window = usable * 8 / 10;
        return std::max<int64_t>(4, s.playAhead > 0 ? std::min(window, s.playAhead) : window);
    }
    return s.direction < 0 ? std::max<int64_t>(3, usable / 10) : std::max<int64_t>(4, usable * 35 / 100);
}

int64_t PrefetchPlanner::behindWindow(const Situation& s)
{
    const int64_t usable = s.capacity * 9 / 10;
    return std::max<int64_t>(1, usable - aheadWindow(s) - 1);
}

std::optional<DecodeJob> PrefetchPlanner::next(const Situation& s, const Cached& cached) const
{
    std::optional<DecodeJob> job = plan(s, cached);
    if (job)
        job->motion = s.motion;
    return job;
}

std::optional<DecodeJob> PrefetchPlanner::plan(const Situation& s, const Cached& cached) const
{
    if (index_->count() == 0)
        return std::nullopt;
    const int64_t t = index_->clampFrame(s.target);
    // The frame asked for comes first and alone, as fast as the engine's own exact
    // seek; the frames around it follow.
    if (!cached(t))
        return DecodeJob {index_->decodeStartFor(t), t, t, true, t};
    if (s.motion == Motion::Forward) {
        // Playing forward, the next frame waits: decoding runs on without seeking.
        if (auto job = ahead(s, cached)) {
            job->urgent = job->first == t + 1;
            return job;
        }
        return std::nullopt;
    }
    // Playing backwards, what lies above the position is behind it.
    if (s.motion == Motion::Reverse)
        return behind(s, cached);
    if (s.direction < 0) {
        if (auto job = behind(s, cached))
            return job;
        return ahead(s, cached);
    }
    if (auto job = ahead(s, cached))
        return job;
    return behind(s, cached);
}

std::optional<DecodeJob> PrefetchPlanner::ahead(const Situation& s, const Cached& cached) const
{
    const int64_t t = index_->clampFrame(s.target);
    const int64_t end = std::min(index_->count() - 1, t + aheadWindow(s));
    for (int64_t n = t + 1; n <= end; ++n)
        if (!cached(n))
            return DecodeJob {index_->decodeStartFor(n), n, end, false, n};
    return std::nullopt;
}

std::optional<DecodeJob> PrefetchPlanner::behind(const Situation& s, const Cached& cached) const
{
    const int64_t t = index_->clampFrame(s.target);
    const int64_t window = behindWindow(s);
    const int64_t low = std::max<int64_t>(0, t - window);
    int64_t top = t - 1;
    while (top >= low && cached(top))
        --top;
    if (top < low)
        return std::nullopt;
    // Playing backwards, wait until half the window has been shown, then refill it.
    const bool nextMissing = top == t - 1;
    if (s.motion == Motion::Reverse && !nextMissing && t - 1 - top > window / 2 && top > 0)
        return std::nullopt;
    // One decoding from the key frame reaches every frame up to the top: it fills
    // all the gaps of the window at once, not one gap per decoding.
    int64_t bottom = low;
    while (bottom < top && cached(bottom))
        ++bottom;
    const bool waited = s.motion == Motion::Reverse && nextMissing;
    // Reverse play waiting for its next frame (right after a seek) gets a short stretch
    // first, decoding only the references below it: its first frame comes as fast as
    // an exact seek, and the rest of the window follows in the next job.
    if (waited)
        bottom = std::max(bottom, top - kFirstReverseStretch + 1);
    return DecodeJob {index_->decodeStartFor(bottom), bottom, top, waited, bottom};
}

} // namespace mci
