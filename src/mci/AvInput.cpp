#include "mci/AvInput.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

namespace mci {

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

AvInput::Result AvInput::open(const std::string& path)
{
    close();
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0)
        return Result::NotFound;
    if (!S_ISREG(s.st_mode) || s.st_size == 0)
        return Result::Invalid;

    av_log_set_level(AV_LOG_QUIET);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // The whitelist also holds for whatever the container refers to (playlists, references).
    const int opened = avformat_open_input(&ctx_, fileUrl(path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        ctx_ = nullptr;
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
    video_ = -1;
    audio_ = false;
}

AVStream* AvInput::video() const
{
    return video_ >= 0 ? ctx_->streams[video_] : nullptr;
}

void AvInput::discardAllButVideo()
{
    for (unsigned i = 0; i < ctx_->nb_streams; ++i)
        if (int(i) != video_)
            ctx_->streams[i]->discard = AVDISCARD_ALL;
}

} // namespace mci
