#include "mci/frames/PacketScanner.h"

#include "mci/frames/AvInput.h"
#include "mci/frames/ListedPackets.h"
#include "mci/frames/PacketUnpacker.h"

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

bool stampsEveryPicture(const AvInput& input)
{
    const AVFormatContext* ctx = input.context();
    return input.isMov() || (ctx && ctx->iformat && std::strncmp(ctx->iformat->name, "matroska,", 9) == 0);
}

} // namespace

PacketScanner::PacketScanner(Contents contents) : contents_(contents) {}

PacketScanner::~PacketScanner()
{
    close();
}

void PacketScanner::close()
{
    av_parser_close(parser_);
    parser_ = nullptr;
    avcodec_free_context(&parserCodec_);
    av_packet_free(&pkt_);
    unpacker_.reset();
    listed_.reset();   // it looks into the input's tables
    input_.reset();
}

FrameIndex::Facts PacketScanner::factsOf(const AvInput& input) const
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

// The MOV demuxer takes every packet's place, size, stamps and key flag from the
// sample tables and never parses what a video sample holds; MPEG-4 Part 2 is left
// out, since the unpacking of packed B-frames reads the packets. The samples of the
// other streams, which are left out of the reading, are never looked at either:
// unlisted, the sound between two video samples was fetched a few hundred bytes at
// a time, most of what a film's scan read from the disk.
std::shared_ptr<const UnreadRanges> PacketScanner::listedSamples() const
{
    const AVFormatContext* ctx = input_->context();
    AVStream* video = input_->video();
    if (!video || !input_->isMov() || video->codecpar->codec_id == AV_CODEC_ID_MPEG4)
        return nullptr;
    auto ranges = std::make_shared<UnreadRanges>();
    for (unsigned s = 0; s < ctx->nb_streams; ++s) {
        AVStream* st = ctx->streams[s];
        const int entries = avformat_index_get_entries_count(st);
        for (int i = 0; i < entries; ++i)
            if (const AVIndexEntry* e = avformat_index_get_entry(st, i))
                ranges->add(e->pos, e->size);
    }
    ranges->finish();
    return ranges->empty() ? nullptr : ranges;
}

FrameIndex::Result PacketScanner::open(const std::shared_ptr<MediaFile>& file)
{
    close();
    read_.reset({});
    whole_.reset();
    lastKey_ = 0;
    groupsBegun_ = 0;
    video_ = false;
    skipping_ = false;
    nextEntry_ = 0;
    tables_ = Tables::Refused;
    rewound_ = false;
    lastDuration_ = 0;
    done_ = false;
    input_ = std::make_unique<AvInput>();
    input_->leaveOutParsersInMov(contents_ == Contents::SkippedWhereListed);
    AvInput::Result opened = input_->open(file);
    // MPEG-4 Part 2 is read whole (see listedSamples), as the decoder's demuxer reads it.
    if (opened == AvInput::Result::Ok && input_->parsersLeftOut() && input_->video()
        && input_->video()->codecpar->codec_id == AV_CODEC_ID_MPEG4) {
        input_->leaveOutParsersInMov(false);
        opened = input_->reopen();
    }
    switch (opened) {
    case AvInput::Result::NotFound:
        return FrameIndex::Result::NotFound;
    case AvInput::Result::Invalid:
        return FrameIndex::Result::Invalid;
    case AvInput::Result::Ok:
        break;
    }
    read_.reset(factsOf(*input_));
    video_ = input_->video() != nullptr;
    if (!video_) {
        done_ = true;
        return FrameIndex::Result::Ok;   // no video: fine for an audio device, the caller decides
    }
    if (read_.displayWidth() <= 0 || read_.displayHeight() <= 0)
        return FrameIndex::Result::Invalid;
    std::shared_ptr<const UnreadRanges> unread;
    if (contents_ == Contents::SkippedWhereListed)
        unread = listedSamples();
    input_->leaveUnread(unread);
    skipping_ = unread != nullptr;
    input_->discardAllButVideo();
    unpacker_ = std::make_unique<PacketUnpacker>();
    pkt_ = av_packet_alloc();
    if (!pkt_ || !unpacker_->open(input_->video()))
        return FrameIndex::Result::Invalid;
    if (skipping_) {
        proveTables(*file);
        if (!rewind(unread))
            return FrameIndex::Result::Invalid;
    }
    // Picture types order the groups whose stamps cannot (AVI, elementary streams);
    // they are read with the codec's parser from the packets themselves. MOV and
    // Matroska stamp every picture, so the parser's time is saved there.
    if (!stampsEveryPicture(*input_)) {
        const AVCodecParameters* par = input_->video()->codecpar;
        parser_ = av_parser_init(par->codec_id);
        if (parser_) {
            parser_->flags |= PARSER_FLAG_COMPLETE_FRAMES;
            parserCodec_ = avcodec_alloc_context3(nullptr);
            if (!parserCodec_ || avcodec_parameters_to_context(parserCodec_, par) < 0)
                return FrameIndex::Result::Invalid;
        }
    }
    return FrameIndex::Result::Ok;
}

// Where the packets' contents are left unread, the sample table says which are keys:
// the demuxer's parser, which decides the flag where it runs, sees only zeros.
bool PacketScanner::isKey(const AVPacket* pkt)
{
    if (!skipping_)
        return pkt->flags & AV_PKT_FLAG_KEY;
    // The packets come in the table's order: the entry after the last one found is
    // nearly always the packet's own, and only a miss costs a search.
    AVStream* st = input_->video();
    const auto matches = [pkt](const AVIndexEntry* e) { return e && e->pos == pkt->pos && e->timestamp == pkt->dts; };
    const AVIndexEntry* e = avformat_index_get_entry(st, nextEntry_);
    if (!matches(e)) {
        nextEntry_ = av_index_search_timestamp(st, pkt->dts, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
        e = nextEntry_ >= 0 ? avformat_index_get_entry(st, nextEntry_) : nullptr;
    }
    if (!matches(e)) {
        nextEntry_ = 0;
        return pkt->flags & AV_PKT_FLAG_KEY;
    }
    ++nextEntry_;
    return e->flags & AVINDEX_KEYFRAME;
}

FrameIndex::Packet PacketScanner::packetFrom(const AVPacket* pkt)
{
    FrameIndex::Packet p;
    p.pos = pkt->pos;
    p.pts = pkt->pts == AV_NOPTS_VALUE ? FrameIndex::kNoTime : pkt->pts;
    p.dts = pkt->dts == AV_NOPTS_VALUE ? FrameIndex::kNoTime : pkt->dts;
    p.duration = int32_t(std::clamp<int64_t>(pkt->duration, 0, INT32_MAX));
    if (isKey(pkt))
        p.flags |= FrameIndex::kKey;
    if (pkt->flags & AV_PKT_FLAG_DISCARD)
        p.flags |= FrameIndex::kDiscard;
    return p;
}

void PacketScanner::addPacket(AVPacket* pkt)
{
    const FrameIndex::Packet p = packetFrom(pkt);
    // The tables serve only while they tell every packet read exactly as it came.
    if (tables_ == Tables::Proving && !listed_->agrees(read_.packetCount(), p)) {
        tables_ = Tables::Refused;
        listed_.reset();
    }
    const int64_t at = read_.packetCount();
    read_.add(p);
    if (parser_) {
        uint8_t* out = nullptr;
        int outSize = 0;
        av_parser_parse2(parser_, parserCodec_, &out, &outSize, pkt->data, pkt->size, pkt->pts, pkt->dts, pkt->pos);
        const int t = parser_->pict_type;
        read_.setType(at, t == AV_PICTURE_TYPE_B ? 'B' : t == AV_PICTURE_TYPE_I ? 'I' : 'P');
    }
    countGroup(at);
}

// After the picture type, which may take a key flag back.
void PacketScanner::countGroup(int64_t at)
{
    if (at == 0 || (read_.flags(at) & FrameIndex::kKey)) {
        ++groupsBegun_;
        if (at > 0)
            lastKey_ = at;
    }
}

// The next video packet as the index would hold it; false at the end.
bool PacketScanner::readVideoPacket(FrameIndex::Packet& p)
{
    const int vi = input_->videoStream();
    while (av_read_frame(input_->context(), pkt_) >= 0) {
        const bool video = pkt_->stream_index == vi;
        if (video)
            p = packetFrom(pkt_);
        av_packet_unref(pkt_);
        if (video)
            return true;
    }
    return false;
}

// The group of pictures that begins at key packet `key`, read from the file, agrees
// with the tables; the last packet's duration, which they do not list, is kept.
bool PacketScanner::groupAgrees(int64_t key)
{
    ListedPackets& listed = *listed_;
    // The demuxer seeks to a key shown at or before the time asked for, which may be
    // a group or two earlier: what comes before the key is passed over.
    const int64_t stamp = listed.decodeStamp(key);
    if (av_seek_frame(input_->context(), input_->videoStream(), stamp, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    FrameIndex::Packet p;
    do {
        if (!readVideoPacket(p))
            return false;
    } while (p.dts == FrameIndex::kNoTime || p.dts < stamp);
    if (!listed.learn(key, p))
        return false;
    for (int64_t i = key;;) {
        if (!listed.agrees(i, p))
            return false;
        if (++i == listed.count()) {
            lastDuration_ = p.duration;
            return true;
        }
        if (listed.isKey(i))
            return true;
        if (!readVideoPacket(p))
            return false;
    }
}

// An MP4 or MOV whose tables tell a group in the middle and the last group exactly as
// the demuxer reads them is read from its start as ever; once the packets read agree
// with the tables too (the first kProvedBy of them), the rest is taken from the tables.
void PacketScanner::proveTables(const MediaFile& file)
{
    tables_ = Tables::Refused;
    listed_ = std::make_unique<ListedPackets>();
    const int64_t last = listed_->open(file, input_->video()) ? listed_->keyAtOrBefore(listed_->count() - 1) : 0;
    if (last <= kProvedBy || listed_->count() > FrameIndex::kMaxPackets) {
        listed_.reset();
        return;
    }
    const int64_t middle = listed_->keyAtOrBefore(listed_->count() / 2);
    if (groupAgrees(last) && (middle <= kProvedBy || middle == last || groupAgrees(middle)))
        tables_ = Tables::Proving;
    else
        listed_.reset();
}

// Back to the stream's first packet. Without the demuxer's parsers the packets read
// while the streams were probed lack their durations, which the probing then finds.
bool PacketScanner::rewind(std::shared_ptr<const UnreadRanges> unread)
{
    const AVIndexEntry* first = avformat_index_get_entry(input_->video(), 0);
    rewound_ = first
               && av_seek_frame(input_->context(), input_->videoStream(), first->timestamp,
                                AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY)
                      >= 0;
    if (rewound_)
        return true;
    // A demuxer that cannot go back has dropped what it had read ahead: a new one
    // reads from the start (and the tables, which looked into the old one, go).
    tables_ = Tables::Refused;
    listed_.reset();
    if (input_->reopen() != AvInput::Result::Ok || !input_->video())
        return false;
    input_->leaveUnread(std::move(unread));
    input_->discardAllButVideo();
    nextEntry_ = 0;
    return true;
}

// Takes up to `packets` more packets from the tables; done at the last.
int64_t PacketScanner::takeListed(int64_t packets)
{
    int64_t taken = 0;
    for (; taken < packets && read_.packetCount() < listed_->count(); ++taken) {
        const int64_t i = read_.packetCount();
        FrameIndex::Packet p = listed_->packet(i);
        if (i + 1 == listed_->count())
            p.duration = lastDuration_;
        read_.add(p);
        countGroup(i);
    }
    if (read_.packetCount() == listed_->count()) {
        done_ = true;
        close();
    }
    return taken;
}

int64_t PacketScanner::position() const
{
    const AVFormatContext* ctx = input_ ? input_->context() : nullptr;
    return ctx && ctx->pb ? avio_tell(ctx->pb) : 0;
}

FrameIndex::Result PacketScanner::read(int64_t packets)
{
    if (done_)
        return FrameIndex::Result::Ok;
    if (!input_ || !input_->context() || !pkt_)
        return FrameIndex::Result::Invalid;
    const int vi = input_->videoStream();
    for (int64_t got = 0; got < packets && !done_;) {
        if (tables_ == Tables::Proving && read_.packetCount() >= kProvedBy)
            tables_ = Tables::Proved;
        if (tables_ == Tables::Proved) {
            got += takeListed(packets - got);
            continue;
        }
        if (av_read_frame(input_->context(), pkt_) < 0) {
            done_ = true;
            close();
            break;
        }
        // The stream is read again from its very start.
        if (rewound_ && pkt_->stream_index == vi) {
            rewound_ = false;
            const AVIndexEntry* first = avformat_index_get_entry(input_->video(), 0);
            if (!first || pkt_->pos != first->pos || read_.packetCount() != 0) {
                av_packet_unref(pkt_);
                return FrameIndex::Result::Invalid;
            }
        }
        if (pkt_->stream_index == vi && unpacker_->unpack(pkt_)) {
            if (read_.packetCount() >= FrameIndex::kMaxPackets) {
                av_packet_unref(pkt_);
                return FrameIndex::Result::TooLong;
            }
            addPacket(pkt_);
            ++got;
        }
        av_packet_unref(pkt_);
    }
    return FrameIndex::Result::Ok;
}

// The pictures shown before the decoder's first one are marked once in the packets
// read (they lie in the first group, read whole), so each snapshot is numbered once.
void PacketScanner::setFirstOutput(int64_t packet)
{
    FrameIndex numbered(read_);
    numbered.truncate(done_ ? numbered.packetCount() : lastKey_);
    numbered.number();
    const int64_t first = numbered.frameOf(packet);
    for (int64_t n = 0; n < first; ++n)
        read_.markDropped(numbered.packetOf(n));
}

std::shared_ptr<FrameIndex> PacketScanner::snapshot()
{
    if (whole_)
        return whole_;
    // Once the stream has ended the packets move into the last index instead of being copied.
    auto index = done_ ? std::make_shared<FrameIndex>(std::move(read_)) : std::make_shared<FrameIndex>(read_);
    // The group read last may still grow: its frames are left out until it is whole.
    if (!done_)
        index->truncate(lastKey_);
    index->number();
    if (done_)
        whole_ = index;
    return index;
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
    index.reset({});
    FrameIndex::Result result = open(file);
    while (result == FrameIndex::Result::Ok && !done())
        result = read(INT64_MAX);
    if (result != FrameIndex::Result::Ok)
        return result;
    // The scanner is done with it: the index moves out rather than being copied.
    index = std::move(*snapshot());
    if (!hasVideo())
        return FrameIndex::Result::Ok;
    return index.hasVideo() ? FrameIndex::Result::Ok : FrameIndex::Result::Invalid;
}

} // namespace mci
