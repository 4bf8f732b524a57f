#pragma once
#include "mci/frames/DecodedFrame.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace mci {

// Decoded frames by frame number, bounded in bytes. When it is full, the frame
// farthest from the position goes first; frames behind the direction of travel
// count twice their distance, since the position moves away from them. The frame at
// the position and the next one in the direction of travel always stay: a frame
// bigger than the whole budget is still shown, the budget bends for it. Playing
// forward, no more than kPlayedKept frames stay behind the position, full or not.
class FrameCache {
public:
    explicit FrameCache(int64_t budgetBytes) : budget_(budgetBytes) {}

    // True when the frame is new here and kept: false when it was cached already, or
    // would be the first to go (it is not kept then).
    bool put(FramePtr frame);
    FramePtr get(int64_t n) const;
    bool has(int64_t n) const;
    void clear();

    // Where the position is and which way it last moved; `travelling`: it keeps
    // moving that way (play), so what lies behind it goes first.
    void setFocus(int64_t position, int direction, bool travelling = false);
    void setBudget(int64_t bytes);
    int64_t budget() const { return budget_; }
    int64_t bytes() const;
    int64_t size() const;
    // Bytes of one frame as decoded (the last one kept); 0 before the first.
    int64_t frameBytes() const;
    // How many frames the budget holds (at least 4, at most kMostFrames).
    int64_t capacity(int64_t fallbackFrameBytes) const;

    // Steps, held keys and reverse play use a few groups of pictures around the
    // position; small pictures would otherwise fill the budget with minutes of
    // frames, decoded on both cores right after an open.
    static constexpr int64_t kMostFrames = 1024;

    // Frames forward play keeps behind the position, for a step or two back.
    static constexpr int64_t kPlayedKept = 3;

private:
    double cost(int64_t n) const;
    bool pinned(int64_t n) const;
    void evict();
    void evictPlayed();
    void erase(std::map<int64_t, FramePtr>::iterator it);

    mutable std::mutex mutex_;
    std::map<int64_t, FramePtr> frames_;
    int64_t budget_;
    int64_t bytes_ = 0;
    int64_t frameBytes_ = 0;
    int64_t focus_ = 0;
    int direction_ = 0;
    bool travelling_ = false;
};

} // namespace mci
