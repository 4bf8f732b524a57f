#pragma once
#include "mci/frames/Orientation.h"

#include <cstdint>
#include <memory>

struct AVFrame;

namespace mci {

// One decoded picture and its frame number; shared by the cache, the window that
// shows it and a capture, and freed when the last of them lets go.
class DecodedFrame {
public:
    // Takes the frame over; `orientation` turns it upright when it is shown.
    DecodedFrame(int64_t number, AVFrame* frame, Orientation orientation = {});
    ~DecodedFrame();
    DecodedFrame(const DecodedFrame&) = delete;
    DecodedFrame& operator=(const DecodedFrame&) = delete;

    int64_t number() const { return number_; }
    const AVFrame* frame() const { return frame_; }
    int64_t bytes() const { return bytes_; }
    Orientation orientation() const { return orientation_; }

private:
    int64_t number_;
    AVFrame* frame_;
    int64_t bytes_;
    Orientation orientation_;
};

using FramePtr = std::shared_ptr<const DecodedFrame>;

} // namespace mci
