#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mci {

// The video frames of a file, in presentation order, read with libavformat from
// the packets' own time stamps. Frame n <-> time stamp is exact this way, also for
// variable frame rates; libmpv's own frame numbers are estimates.
class FrameIndex {
public:
    // Scanning limit in bytes; above it the index is computed, not read, so that
    // opening a long film stays quick.
    static constexpr int64_t kScanLimitBytes = 384ll * 1024 * 1024;

    enum class Result { Ok, NotFound, Invalid };

    // Reads the container. Files too big to scan within open time fall back to
    // duration x frame rate, which is exact for constant-rate video only.
    Result build(const std::string& path, int64_t scanLimitBytes = kScanLimitBytes);
    // The checks build() starts with, without opening the file: cheap enough to run
    // before the engine is asked to load a path (a folder would become a playlist).
    static Result precheck(const std::string& path);

    bool hasVideo() const { return !pts_.empty(); }
    bool hasAudio() const { return hasAudio_; }
    bool fromPackets() const { return fromPackets_; }
    const std::string& formatName() const { return formatName_; }

    int64_t count() const { return int64_t(pts_.size()); }
    double frameRate() const { return frameRate_; }   // nominal frames per second
    double duration() const { return duration_; }     // seconds, whole file
    int displayWidth() const { return width_; }
    int displayHeight() const { return height_; }

    // Presentation time stamp of frame n, seconds on the container's clock.
    double timeOf(int64_t n) const;
    // A time that an exact seek ("first frame at or after") turns into frame n:
    // half-way between frame n-1 and frame n.
    double seekTargetOf(int64_t n) const;
    // The frame showing at time t (the last one that starts at or before t).
    int64_t frameAt(double t) const;
    // The first frame that starts at or after t. libmpv reports the seek target
    // instead of the frame's own stamp when an exact seek lands on the last frame.
    int64_t frameFrom(double t) const;
    // The key frame at or before frame n (decoding can start there); 0 when the
    // key frames are not known.
    int64_t keyFrameAtOrBefore(int64_t n) const;
    // The last frame of the group of pictures holding frame n (the frame before
    // the next key frame, or the last frame).
    int64_t groupEndOf(int64_t n) const;

private:
    void computeConstantRate(double start, int64_t frames);

    std::vector<double> pts_;
    std::vector<int64_t> keyFrames_;   // frame numbers, ascending
    std::string formatName_;
    double frameRate_ = 0;
    double duration_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool hasAudio_ = false;
    bool fromPackets_ = false;
};

} // namespace mci
