#pragma once
#include <cstdint>
#include <memory>

struct AVFrame;

namespace mci {

// One decoded picture and its frame number; shared by the cache, the window that
// shows it and a capture, and freed when the last of them lets go.
class DecodedFrame {
public:
    DecodedFrame(int64_t number, AVFrame* frame);   // takes the frame over
    ~DecodedFrame();
    DecodedFrame(const DecodedFrame&) = delete;
    DecodedFrame& operator=(const DecodedFrame&) = delete;

    int64_t number() const { return number_; }
    const AVFrame* frame() const { return frame_; }
    int64_t bytes() const { return bytes_; }

private:
    int64_t number_;
    AVFrame* frame_;
    int64_t bytes_;
};

using FramePtr = std::shared_ptr<const DecodedFrame>;

} // namespace mci
