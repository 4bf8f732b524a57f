#include "mci/FrameIndex.h"

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace mci {
namespace {

struct FormatContext {
    AVFormatContext* ctx = nullptr;
    ~FormatContext()
    {
        if (ctx)
            avformat_close_input(&ctx);
    }
};

double rationalOr(AVRational r, double fallback)
{
    return (r.num > 0 && r.den > 0) ? av_q2d(r) : fallback;
}

// Nominal rate: the container's average where it has one, else the base rate.
double nominalRate(const AVStream* st)
{
    double rate = rationalOr(st->avg_frame_rate, 0);
    if (rate <= 0 || rate > 1000)
        rate = rationalOr(st->r_frame_rate, 0);
    if (rate <= 0 || rate > 1000)
        rate = 25;
    return rate;
}

int64_t fileSize(const std::string& path)
{
    struct stat s {};
    return ::stat(path.c_str(), &s) == 0 ? int64_t(s.st_size) : -1;
}

} // namespace

FrameIndex::Result FrameIndex::precheck(const std::string& path)
{
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0)
        return Result::NotFound;
    if (!S_ISREG(s.st_mode) || s.st_size == 0)
        return Result::Invalid;
    return Result::Ok;
}

FrameIndex::Result FrameIndex::build(const std::string& path, int64_t scanLimitBytes)
{
    *this = FrameIndex();
    if (const Result r = precheck(path); r != Result::Ok)
        return r;

    av_log_set_level(AV_LOG_QUIET);
    FormatContext fc;
    if (avformat_open_input(&fc.ctx, path.c_str(), nullptr, nullptr) < 0)
        return Result::Invalid;
    if (avformat_find_stream_info(fc.ctx, nullptr) < 0)
        return Result::Invalid;
    formatName_ = fc.ctx->iformat ? fc.ctx->iformat->name : "";
    hasAudio_ = av_find_best_stream(fc.ctx, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    if (fc.ctx->duration > 0)
        duration_ = double(fc.ctx->duration) / AV_TIME_BASE;

    const int vi = av_find_best_stream(fc.ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (vi < 0)
        return Result::Ok;   // no video: fine for an audio device, the caller decides
    AVStream* st = fc.ctx->streams[vi];
    if (st->disposition & AV_DISPOSITION_ATTACHED_PIC)
        return Result::Ok;   // cover art is not video
    frameRate_ = nominalRate(st);
    width_ = st->codecpar->width;
    height_ = st->codecpar->height;
    const double sar = rationalOr(st->sample_aspect_ratio, rationalOr(st->codecpar->sample_aspect_ratio, 1));
    if (sar > 0 && std::fabs(sar - 1) > 1e-3)
        width_ = int(std::lround(width_ * sar));
    if (width_ <= 0 || height_ <= 0)
        return Result::Invalid;

    const double tb = av_q2d(st->time_base);
    const double start = st->start_time != AV_NOPTS_VALUE ? st->start_time * tb : 0;
    if (fileSize(path) > scanLimitBytes) {
        const double seconds = st->duration != AV_NOPTS_VALUE ? st->duration * tb : duration_;
        computeConstantRate(start, int64_t(std::lround(seconds * frameRate_)));
        return pts_.empty() ? Result::Invalid : Result::Ok;
    }

    for (unsigned i = 0; i < fc.ctx->nb_streams; ++i)
        if (int(i) != vi)
            fc.ctx->streams[i]->discard = AVDISCARD_ALL;
    AVPacket* pkt = av_packet_alloc();
    bool complete = true;
    int64_t packets = 0;
    std::vector<double> keyTimes;
    while (av_read_frame(fc.ctx, pkt) >= 0) {
        if (pkt->stream_index == vi && !(pkt->flags & AV_PKT_FLAG_DISCARD)) {
            // Decode stamps are no stand-in: they run ahead of the frames they belong to.
            if (pkt->pts == AV_NOPTS_VALUE)
                complete = false;
            else
                pts_.push_back(pkt->pts * tb);
            if ((pkt->flags & AV_PKT_FLAG_KEY) && pkt->pts != AV_NOPTS_VALUE)
                keyTimes.push_back(pkt->pts * tb);
            ++packets;
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    if (pts_.empty())
        return Result::Invalid;   // a video stream without a single frame
    std::sort(pts_.begin(), pts_.end());
    if (!complete)
        computeConstantRate(pts_.front(), packets);
    fromPackets_ = complete;
    for (double t : keyTimes)
        keyFrames_.push_back(frameFrom(t));
    std::sort(keyFrames_.begin(), keyFrames_.end());
    if (duration_ <= 0)
        duration_ = pts_.back() - pts_.front() + 1 / frameRate_;
    return Result::Ok;
}

void FrameIndex::computeConstantRate(double start, int64_t frames)
{
    pts_.clear();
    for (int64_t n = 0; n < frames; ++n)
        pts_.push_back(start + double(n) / frameRate_);
}

double FrameIndex::timeOf(int64_t n) const
{
    if (pts_.empty())
        return 0;
    n = std::clamp<int64_t>(n, 0, count() - 1);
    return pts_[size_t(n)];
}

double FrameIndex::seekTargetOf(int64_t n) const
{
    if (pts_.empty())
        return 0;
    n = std::clamp<int64_t>(n, 0, count() - 1);
    if (n == 0)
        return pts_[0];
    return (pts_[size_t(n - 1)] + pts_[size_t(n)]) / 2;
}

int64_t FrameIndex::frameAt(double t) const
{
    if (pts_.empty())
        return 0;
    // A millisecond of slack: libmpv hands time stamps back as doubles.
    const auto it = std::upper_bound(pts_.begin(), pts_.end(), t + 0.001);
    if (it == pts_.begin())
        return 0;
    return int64_t(it - pts_.begin()) - 1;
}

int64_t FrameIndex::frameFrom(double t) const
{
    if (pts_.empty())
        return 0;
    const auto it = std::lower_bound(pts_.begin(), pts_.end(), t - 0.001);
    if (it == pts_.end())
        return count() - 1;
    return int64_t(it - pts_.begin());
}

} // namespace mci

namespace mci {

int64_t FrameIndex::keyFrameAtOrBefore(int64_t n) const
{
    const auto it = std::upper_bound(keyFrames_.begin(), keyFrames_.end(), n);
    return it == keyFrames_.begin() ? 0 : *(it - 1);
}

int64_t FrameIndex::groupEndOf(int64_t n) const
{
    const auto it = std::upper_bound(keyFrames_.begin(), keyFrames_.end(), n);
    return it == keyFrames_.end() ? count() - 1 : *it - 1;
}

} // namespace mci
