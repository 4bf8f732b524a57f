#pragma once
#include <cstdint>
#include <functional>

namespace mci {

class FrameIndex;

// Where forward play goes when its next picture is late for the sound: a picture
// whose time has passed is dropped, never shown late, so the pictures stay on the
// sound's clock however slowly they are decoded.
class CatchUp {
public:
    using Cached = std::function<bool(int64_t)>;

    explicit CatchUp(const FrameIndex& index) : index_(&index) {}
    // A larger index of the same stream (one still being read).
    void setIndex(const FrameIndex& index) { index_ = &index; }

    // The frame to show instead of `next` (at most `end`) with the sound at `heard`
    // (seconds on the medium): `next` itself until its time has passed; else the frame
    // the sound is at, decoded past the pictures nothing refers to. Far behind (more
    // than kFarBehind, or past a key frame), the next key frame ahead of the sound
    // when it is due sooner than decoding its way to the sound would take.
    int64_t aim(int64_t next, int64_t end, double heard, const Cached& cached) const;

    static constexpr double kFarBehind = 1.0;
    // A key frame further ahead of the sound than this is not waited on (the picture
    // would stand still until then).
    static constexpr double kLongestWait = 1.0;

private:
    // The first key frame at or after `frame` and not after `end` (-1: none).
    int64_t keyFrameFrom(int64_t frame, int64_t end) const;

    const FrameIndex* index_;
};

} // namespace mci
