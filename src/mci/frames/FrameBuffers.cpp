#include "mci/frames/FrameBuffers.h"

#include <sys/mman.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/buffer.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

namespace mci {
namespace {

// Alignment of rows and planes for any SIMD the decoders use, and the padding they
// may read past a plane's end.
constexpr int kAlign = 64;
constexpr size_t kPadding = 16 + kAlign;

} // namespace

// Buffers of one size (the pictures of one stream); shared with every buffer handed
// out, which may outlive the decoder in the cache or on screen.
struct FrameBuffers::Store {
    std::mutex mutex;
    size_t size = 0;
    std::vector<void*> spares;

    ~Store()
    {
        for (void* p : spares)
            munmap(p, size);
    }
    void* take(size_t bytes)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (bytes != size) {
                for (void* p : spares)
                    munmap(p, size);
                spares.clear();
                size = bytes;
            }
            if (!spares.empty()) {
                void* p = spares.back();
                spares.pop_back();
                return p;
            }
        }
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? nullptr : p;
    }
    void give(void* p, size_t bytes)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (bytes == size && spares.size() < kSpares) {
                spares.push_back(p);
                return;
            }
        }
        munmap(p, bytes);
    }
};

namespace {

struct Held {
    std::shared_ptr<void> store;
    size_t bytes;
};

} // namespace

FrameBuffers::FrameBuffers() : store_(std::make_shared<Store>()) {}

FrameBuffers::~FrameBuffers() = default;

void FrameBuffers::attach(AVCodecContext* codec)
{
    codec->opaque = this;
    codec->get_buffer2 = &FrameBuffers::getBuffer;
}

// As FFmpeg's own allocator lays a picture out (decode.c): the codec's aligned size,
// rows aligned for SIMD, each plane padded; one mapping holds all planes.
int FrameBuffers::getBuffer(AVCodecContext* codec, AVFrame* frame, int flags)
{
    auto* self = static_cast<FrameBuffers*>(codec->opaque);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    if (!self || !(codec->codec->capabilities & AV_CODEC_CAP_DR1) || !desc || (desc->flags & AV_PIX_FMT_FLAG_HWACCEL))
        return avcodec_default_get_buffer2(codec, frame, flags);
    int w = frame->width;
    int h = frame->height;
    int strideAlign[AV_NUM_DATA_POINTERS] = {};
    avcodec_align_dimensions2(codec, &w, &h, strideAlign);
    int linesize[4] = {};
    for (;; w += w & ~(w - 1)) {
        if (av_image_fill_linesizes(linesize, AVPixelFormat(frame->format), w) < 0)
            return avcodec_default_get_buffer2(codec, frame, flags);
        bool aligned = true;
        for (int i = 0; i < 4; ++i)
            aligned = aligned && linesize[i] % kAlign == 0 && (strideAlign[i] <= 0 || linesize[i] % strideAlign[i] == 0);
        if (aligned)
            break;
    }
    ptrdiff_t strides[4] = {linesize[0], linesize[1], linesize[2], linesize[3]};
    size_t planes[4] = {};
    if (av_image_fill_plane_sizes(planes, AVPixelFormat(frame->format), h, strides) < 0)
        return avcodec_default_get_buffer2(codec, frame, flags);
    size_t offsets[4] = {};
    size_t total = 0;
    for (int i = 0; i < 4; ++i) {
        offsets[i] = total;
        total += (planes[i] + kPadding + kAlign - 1) / kAlign * kAlign;
    }
    const std::shared_ptr<Store> store = self->store_;
    uint8_t* memory = static_cast<uint8_t*>(store->take(total));
    if (!memory)
        return AVERROR(ENOMEM);
    auto* held = new Held {store, total};
    const auto release = [](void* opaque, uint8_t* data) {
        auto* h = static_cast<Held*>(opaque);
        static_cast<Store*>(h->store.get())->give(data, h->bytes);
        delete h;
    };
    frame->buf[0] = av_buffer_create(memory, total, release, held, 0);
    if (!frame->buf[0]) {
        store->give(memory, total);
        delete held;
        return AVERROR(ENOMEM);
    }
    for (int i = 0; i < 4; ++i) {
        frame->data[i] = planes[i] ? memory + offsets[i] : nullptr;
        frame->linesize[i] = linesize[i];
    }
    frame->extended_data = frame->data;
    return 0;
}

} // namespace mci
