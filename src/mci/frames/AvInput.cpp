#include "mci/frames/AvInput.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace mci {
namespace {

constexpr int kBufferBytes = 64 * 1024;

AvInput::Result resultOf(MediaFile::Result r)
{
    return r == MediaFile::Result::NotFound ? AvInput::Result::NotFound
           : r == MediaFile::Result::Invalid ? AvInput::Result::Invalid
                                             : AvInput::Result::Ok;
}

bool movFamily(const AVInputFormat* format)
{
    return format && std::strncmp(format->name, "mov,", 4) == 0;
}

} // namespace

AvInput::~AvInput()
{
    close();
}

std::string AvInput::fileUrl(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return std::string("file:") + resolved;
    return "file:" + path;
}

AvInput::Result AvInput::check(const std::string& path)
{
    std::shared_ptr<MediaFile> file;
    return resultOf(MediaFile::open(path, file));
}

int AvInput::interrupted(void* opaque)
{
    const auto* self = static_cast<const AvInput*>(opaque);
    return self->file_ && self->file_->abandoned() ? 1 : 0;
}

int AvInput::readPacket(void* opaque, uint8_t* buf, int size)
{
    auto* self = static_cast<AvInput*>(opaque);
    const int64_t got = self->unread_ ? self->unread_->read(*self->file_, self->offset_, buf, size)
                                      : self->file_->read(self->offset_, buf, size);
    if (got < 0)
        return AVERROR(errno ? errno : EIO);
    if (got == 0)
        return AVERROR_EOF;
    self->offset_ += got;
    return int(got);
}

int64_t AvInput::seek(void* opaque, int64_t offset, int whence)
{
    auto* self = static_cast<AvInput*>(opaque);
    const int64_t size = self->file_->size();
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += self->offset_;
        break;
    case SEEK_END:
        offset += size;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0)
        return AVERROR(EINVAL);
    self->offset_ = offset;
    return offset;
}

AvInput::Result AvInput::open(const std::string& path)
{
    std::shared_ptr<MediaFile> file;
    if (const MediaFile::Result opened = MediaFile::open(path, file); opened != MediaFile::Result::Ok) {
        close();
        return resultOf(opened);
    }
    return open(std::move(file));
}

AvInput::Result AvInput::open(std::shared_ptr<MediaFile> file)
{
    close();
    file_ = std::move(file);
    return reopen();
}

AvInput::Result AvInput::reopen()
{
    std::shared_ptr<MediaFile> file = file_;
    close();
    file_ = std::move(file);
    if (!file_)
        return Result::Invalid;
    av_log_set_level(AV_LOG_QUIET);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    io_ = buffer ? avio_alloc_context(buffer, kBufferBytes, 0, this, &AvInput::readPacket, nullptr, &AvInput::seek)
                 : nullptr;
    ctx_ = io_ ? avformat_alloc_context() : nullptr;
    if (!ctx_) {
        if (!io_)
            av_free(buffer);
        close();
        return Result::Invalid;
    }
    ctx_->pb = io_;
    ctx_->interrupt_callback.callback = &AvInput::interrupted;
    ctx_->interrupt_callback.opaque = this;
    AVDictionary* options = nullptr;
    // Whatever the container refers to (playlists, references) may only be a local file.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // The name still guides the probing (its extension) and where references lie.
    const std::string url = fileUrl(file_->path());
    const AVInputFormat* format = nullptr;
    if (movWithoutParsers_ && av_probe_input_buffer2(io_, &format, url.c_str(), nullptr, 0, 0) >= 0 && movFamily(format))
        ctx_->flags |= AVFMT_FLAG_NOPARSE;
    const int opened = avformat_open_input(&ctx_, url.c_str(), format, &options);
    av_dict_free(&options);
    if (opened < 0) {
        ctx_ = nullptr;   // freed by the failed open
        close();
        return Result::Invalid;
    }
    if (avformat_find_stream_info(ctx_, nullptr) < 0) {
        close();
        return Result::Invalid;
    }
    audio_ = av_find_best_stream(ctx_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    const int vi = av_find_best_stream(ctx_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (vi >= 0 && !(ctx_->streams[vi]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        video_ = vi;
    return Result::Ok;
}

void AvInput::close()
{
    if (ctx_)
        avformat_close_input(&ctx_);
    ctx_ = nullptr;
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    file_.reset();
    unread_.reset();
    offset_ = 0;
    video_ = -1;
    audio_ = false;
}

bool AvInput::isMov() const
{
    return ctx_ && movFamily(ctx_->iformat);
}

bool AvInput::parsersLeftOut() const
{
    return ctx_ && (ctx_->flags & AVFMT_FLAG_NOPARSE);
}

AVStream* AvInput::video() const
{
    return video_ >= 0 && ctx_ ? ctx_->streams[video_] : nullptr;
}

void AvInput::discardAllButVideo()
{
    if (!ctx_)
        return;
    for (unsigned i = 0; i < ctx_->nb_streams; ++i)
        if (int(i) != video_)
            ctx_->streams[i]->discard = AVDISCARD_ALL;
}

} // namespace mci
