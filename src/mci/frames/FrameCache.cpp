#include "mci/frames/FrameCache.h"

#include <algorithm>

namespace mci {

double FrameCache::cost(int64_t n) const
{
    const int64_t d = n - focus_;
    const bool behind = direction_ != 0 && (d > 0) != (direction_ > 0);
    // Paused, a step back may come; playing, the frames passed are done with, and
    // keeping them would evict the frames about to be shown.
    const double behindWeight = travelling_ ? 64.0 : 2.0;
    return double(d < 0 ? -d : d) * (behind ? behindWeight : 1.0);
}

bool FrameCache::pinned(int64_t n) const
{
    return n == focus_ || (direction_ != 0 && n == focus_ + (direction_ > 0 ? 1 : -1));
}

void FrameCache::erase(std::map<int64_t, FramePtr>::iterator it)
{
    bytes_ -= it->second->bytes();
    frames_.erase(it);
}

// Playing forward, the frames passed are done with: keeping them would only hold
// memory nobody steps back to.
void FrameCache::evictPlayed()
{
    if (!travelling_ || direction_ <= 0)
        return;
    while (!frames_.empty() && frames_.begin()->first < focus_ - kPlayedKept)
        erase(frames_.begin());
}

void FrameCache::evict()
{
    evictPlayed();
    while (bytes_ > budget_ && frames_.size() > 1) {
        const auto low = frames_.begin();
        const auto high = std::prev(frames_.end());
        auto gone = cost(low->first) >= cost(high->first) ? low : high;
        if (pinned(gone->first))
            gone = gone == low ? high : low;
        // Only what the position needs is left (the pinned frames lie side by side).
        if (pinned(gone->first))
            break;
        erase(gone);
    }
}

bool FrameCache::put(FramePtr frame)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const int64_t n = frame->number();
    frameBytes_ = frame->bytes();
    if (frames_.count(n))
        return false;
    bytes_ += frame->bytes();
    frames_.emplace(n, std::move(frame));
    evict();
    return frames_.count(n) != 0;
}

FramePtr FrameCache::get(int64_t n) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = frames_.find(n);
    return it == frames_.end() ? nullptr : it->second;
}

bool FrameCache::has(int64_t n) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_.count(n) != 0;
}

void FrameCache::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
    bytes_ = 0;
}

void FrameCache::setFocus(int64_t position, int direction, bool travelling)
{
    std::lock_guard<std::mutex> lock(mutex_);
    focus_ = position;
    direction_ = direction;
    travelling_ = travelling;
    evictPlayed();
}

void FrameCache::setBudget(int64_t bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    budget_ = bytes;
    evict();
}

int64_t FrameCache::bytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

int64_t FrameCache::size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int64_t(frames_.size());
}

int64_t FrameCache::frameBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frameBytes_;
}

int64_t FrameCache::capacity(int64_t fallbackFrameBytes) const
{
    const int64_t each = std::max<int64_t>(frameBytes() > 0 ? frameBytes() : fallbackFrameBytes, 1);
    return std::clamp<int64_t>(budget_ / each, 4, kMostFrames);
}

} // namespace mci
