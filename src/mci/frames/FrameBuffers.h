#pragma once
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

struct AVCodecContext;
struct AVFrame;

namespace mci {

// The memory a decoder's pictures are decoded into. FFmpeg's own pool keeps every
// buffer it ever handed out until the decoder closes, so a cache that once held many
// frames (paused, around the position) would keep that memory through all of forward
// play, which holds only a few. Here a picture's memory goes back to the system when
// the last holder lets go, except for a few spare buffers kept for the next pictures.
class FrameBuffers {
public:
    FrameBuffers();
    ~FrameBuffers();
    FrameBuffers(const FrameBuffers&) = delete;
    FrameBuffers& operator=(const FrameBuffers&) = delete;

    // Makes the decoder take its pictures' memory from here (before avcodec_open2).
    void attach(AVCodecContext* codec);

    // Spare buffers kept for reuse: decoding on needs no new memory for them.
    static constexpr size_t kSpares = 6;

private:
    struct Store;
    static int getBuffer(AVCodecContext* codec, AVFrame* frame, int flags);

    std::shared_ptr<Store> store_;
};

} // namespace mci
