#include "mci/PacketScanner.h"

#include "mci/AvInput.h"
#include "mci/PacketUnpacker.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

namespace mci {
namespace {

double rationalOr(AVRational r, double fallback)
{
    return (r.num > 0 && r.den > 0) ? av_q2d(r) : fallback;
}

// Nominal rate: the container's average, else its base rate, whatever it is (a slide
// show may show a picture a minute); 25 only for a stream that states neither.
double nominalRate(const AVStream* st)
{
    double rate = rationalOr(st->avg_frame_rate, 0);
    if (!(rate > 0) || !std::isfinite(rate))
        rate = rationalOr(st->r_frame_rate, 0);
    if (!(rate > 0) || !std::isfinite(rate))
        rate = 25;
    return rate;
}

// The stream's display matrix as whole quarter turns, as ffmpeg turns pictures
// upright; a matrix that mirrors is undone by a mirror first.
Orientation orientationOf(const AVStream* st)
{
    Orientation o;
    size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < 9 * sizeof(int32_t))
        return o;
    int32_t m[9];
    std::memcpy(m, data, sizeof m);
    o.mirrored = int64_t(m[0]) * m[4] - int64_t(m[1]) * m[3] < 0;
    if (o.mirrored) {
        m[0] = -m[0];
        m[3] = -m[3];
    }
    const double counterClockwise = av_display_rotation_get(m);
    if (std::isnan(counterClockwise))
        return {};
    const long turns = std::lround(-counterClockwise / 90.0);
    o.quarterTurns = int(((turns % 4) + 4) % 4);
    return o;
}

struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

} // namespace

FrameIndex::Facts PacketScanner::factsOf(const AvInput& input)
{
    FrameIndex::Facts f;
    const AVFormatContext* ctx = input.context();
    f.formatName = ctx->iformat ? ctx->iformat->name : "";
    const AVStream* st = input.video();
    if (!st)
        return f;
    f.timeBase = av_q2d(st->time_base);
    f.frameRate = nominalRate(st);
    f.width = st->codecpar->width;
    f.height = st->codecpar->height;
    const double sar = rationalOr(st->sample_aspect_ratio, rationalOr(st->codecpar->sample_aspect_ratio, 1));
    if (sar > 0 && std::fabs(sar - 1) > 1e-3)
        f.width = int(std::lround(f.width * sar));
    f.orientation = orientationOf(st);
    if (f.orientation.swapsSides())
        std::swap(f.width, f.height);
    // Streams whose time stamps may restart are found by byte position.
    const int flags = ctx->iformat ? ctx->iformat->flags : 0;
    f.byteSeek = (flags & (AVFMT_TS_DISCONT | AVFMT_NOTIMESTAMPS)) && !(flags & AVFMT_NO_BYTE_SEEK);
    return f;
}

FrameIndex::Result PacketScanner::readPackets(AvInput& input, FrameIndex& index)
{
    input.discardAllButVideo();
    PacketUnpacker unpacker;
    PacketPtr pkt(av_packet_alloc());
    if (!pkt || !unpacker.open(input.video()))
        return FrameIndex::Result::Invalid;
    const int vi = input.videoStream();
    while (av_read_frame(input.context(), pkt.get()) >= 0) {
        if (pkt->stream_index == vi && unpacker.unpack(pkt.get())) {
            if (index.packetCount() >= FrameIndex::kMaxPackets) {
                av_packet_unref(pkt.get());
                return FrameIndex::Result::TooLong;
            }
            FrameIndex::Packet p;
            p.pos = pkt->pos;
            p.pts = pkt->pts == AV_NOPTS_VALUE ? FrameIndex::kNoTime : pkt->pts;
            p.dts = pkt->dts == AV_NOPTS_VALUE ? FrameIndex::kNoTime : pkt->dts;
            p.duration = int32_t(std::clamp<int64_t>(pkt->duration, 0, INT32_MAX));
            if (pkt->flags & AV_PKT_FLAG_KEY)
                p.flags |= FrameIndex::kKey;
            if (pkt->flags & AV_PKT_FLAG_DISCARD)
                p.flags |= FrameIndex::kDiscard;
            index.add(p);
        }
        av_packet_unref(pkt.get());
    }
    return FrameIndex::Result::Ok;
}

// Picture types for containers without presentation stamps (AVI, elementary
// streams): the codec's parser reads them from each packet's headers.
bool PacketScanner::readPictureTypes(const std::shared_ptr<MediaFile>& file, FrameIndex& index)
{
    AvInput input;
    PacketUnpacker unpacker;
    if (input.open(file) != AvInput::Result::Ok || !input.video() || !unpacker.open(input.video()))
        return false;
    const AVCodecParameters* par = input.video()->codecpar;
    AVCodecParserContext* parser = av_parser_init(par->codec_id);
    if (!parser)
        return true;
    parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
    AVCodecContext* codec = avcodec_alloc_context3(nullptr);
    avcodec_parameters_to_context(codec, par);
    input.discardAllButVideo();
    PacketPtr pkt(av_packet_alloc());
    int64_t p = 0;
    while (p < index.packetCount() && av_read_frame(input.context(), pkt.get()) >= 0) {
        if (pkt->stream_index == input.videoStream() && unpacker.unpack(pkt.get())) {
            uint8_t* out = nullptr;
            int outSize = 0;
            av_parser_parse2(parser, codec, &out, &outSize, pkt->data, pkt->size, pkt->pts, pkt->dts, pkt->pos);
            const int t = parser->pict_type;
            index.setType(p++, t == AV_PICTURE_TYPE_B ? 'B' : t == AV_PICTURE_TYPE_I ? 'I' : 'P');
        }
        av_packet_unref(pkt.get());
    }
    av_parser_close(parser);
    avcodec_free_context(&codec);
    return true;
}

// The MOV demuxer takes every packet's place, size, stamps and key flag from the
// sample tables and never parses what a video sample holds; MPEG-4 Part 2 is left
// out, since the unpacking of packed B-frames reads the packets.
std::shared_ptr<const UnreadRanges> PacketScanner::listedVideoSamples(const AvInput& input)
{
    const AVFormatContext* ctx = input.context();
    AVStream* st = input.video();
    if (!ctx || !st || !ctx->iformat || std::strncmp(ctx->iformat->name, "mov,", 4) != 0
        || st->codecpar->codec_id == AV_CODEC_ID_MPEG4)
        return nullptr;
    auto ranges = std::make_shared<UnreadRanges>();
    const int entries = avformat_index_get_entries_count(st);
    for (int i = 0; i < entries; ++i)
        if (const AVIndexEntry* e = avformat_index_get_entry(st, i))
            ranges->add(e->pos, e->size);
    ranges->finish();
    return ranges->empty() ? nullptr : ranges;
}

FrameIndex::Result PacketScanner::scan(const std::string& path, FrameIndex& index)
{
    std::shared_ptr<MediaFile> file;
    switch (MediaFile::open(path, file)) {
    case MediaFile::Result::NotFound:
        index.reset({});
        return FrameIndex::Result::NotFound;
    case MediaFile::Result::Invalid:
        index.reset({});
        return FrameIndex::Result::Invalid;
    case MediaFile::Result::Ok:
        break;
    }
    return scan(file, index);
}

FrameIndex::Result PacketScanner::scan(const std::shared_ptr<MediaFile>& file, FrameIndex& index)
{
    AvInput input;
    index.reset({});
    switch (input.open(file)) {
    case AvInput::Result::NotFound:
        return FrameIndex::Result::NotFound;
    case AvInput::Result::Invalid:
        return FrameIndex::Result::Invalid;
    case AvInput::Result::Ok:
        break;
    }
    index.reset(factsOf(input));
    if (!input.video())
        return FrameIndex::Result::Ok;   // no video: fine for an audio device, the caller decides
    if (index.displayWidth() <= 0 || index.displayHeight() <= 0)
        return FrameIndex::Result::Invalid;
    if (contents_ == Contents::SkippedWhereListed)
        input.leaveUnread(listedVideoSamples(input));
    if (const FrameIndex::Result read = readPackets(input, index); read != FrameIndex::Result::Ok) {
        index.reset({});
        return read;
    }
    bool stamped = true;
    for (int64_t p = 0; p < index.packetCount() && stamped; ++p)
        stamped = index.packet(p).pts != FrameIndex::kNoTime;
    if (!stamped && !readPictureTypes(file, index))
        return FrameIndex::Result::Invalid;
    index.number();
    return index.hasVideo() ? FrameIndex::Result::Ok : FrameIndex::Result::Invalid;
}

} // namespace mci
