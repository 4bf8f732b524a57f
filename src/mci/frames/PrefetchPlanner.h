#pragma once
#include <cstdint>
#include <functional>
#include <optional>

namespace mci {

class FrameIndex;

// What the position is doing, as far as decoding ahead of it is concerned.
enum class Motion {
    Still,     // paused or stopped: the next steps may go either way
    Forward,   // playing: the frames above the position are needed in turn
    Reverse,   // playing backwards: the frames below the position are needed in turn
};

// A stretch of decoding: from key packet `start`, until frame `last` has come out;
// `first` is the first frame that was missing.
struct DecodeJob {
    int64_t start = 0;
    int64_t first = 0;
    int64_t last = 0;
    bool urgent = false;   // the frame on display (or the next one in reverse) waits for it
    // Frames below this one are not wanted: pictures no other picture refers to
    // need not be decoded there.
    int64_t keepFrom = 0;
    Motion motion = Motion::Still;   // what the position was doing when it was planned
};

// Decides what to decode next around the position: the frame to show first, then the
// frames a step either way would need, within what the cache holds. Behind the
// position (the expensive side, which needs a decode from an earlier key frame) the
// window is the larger one; in reverse play it is refilled in chunks of half the
// window, so that a long group of pictures is decoded a few times, not once per frame;
// when reverse play waits for its next frame, a short stretch comes first.
class PrefetchPlanner {
public:
    struct Situation {
        int64_t target = 0;
        int direction = 0;        // last move: +1, -1, or 0
        Motion motion = Motion::Still;
        int64_t capacity = 0;     // frames the cache holds
        int64_t playAhead = 0;    // frames forward play keeps ahead (0: as many as the cache holds)
    };
    using Cached = std::function<bool(int64_t)>;

    explicit PrefetchPlanner(const FrameIndex& index) : index_(&index) {}
    // The index grows while a scan runs: the worker hands over each newer one.
    void setIndex(const FrameIndex& index) { index_ = &index; }

    std::optional<DecodeJob> next(const Situation& s, const Cached& cached) const;

    // Frames reverse play waits for at most before its first frame is shown.
    static constexpr int64_t kFirstReverseStretch = 8;

    // Frames forward play keeps decoded ahead of the position: the next half second,
    // within kPlayAheadBytes (and at least 4); the decoding runs on as the position
    // moves, so more would only hold memory.
    static int64_t playAhead(double framesPerSecond, int64_t frameBytes);
    static constexpr int64_t kPlayAheadBytes = int64_t(32) << 20;

    // Frames kept ahead of and behind the position.
    static int64_t aheadWindow(const Situation& s);
    static int64_t behindWindow(const Situation& s);

private:
    std::optional<DecodeJob> plan(const Situation& s, const Cached& cached) const;
    std::optional<DecodeJob> ahead(const Situation& s, const Cached& cached) const;
    std::optional<DecodeJob> behind(const Situation& s, const Cached& cached) const;

    const FrameIndex* index_;
};

} // namespace mci
