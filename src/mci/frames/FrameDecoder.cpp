#include "mci/frames/FrameDecoder.h"

#include "mci/frames/FrameIndex.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace mci {
namespace {

// Seeks tried before reading the stream from its start; each starts a group earlier.
constexpr int kSeekAttempts = 3;
// Packets read past a seek's landing before it counts as a miss.
constexpr int64_t kSkipLimit = 4096;

} // namespace

FrameDecoder::FrameDecoder(const FrameIndex& index) : index_(&index) {}

FrameDecoder::~FrameDecoder()
{
    close();
}

AvInput::Result FrameDecoder::open(std::shared_ptr<MediaFile> file)
{
    close();
    const AvInput::Result opened = input_.open(std::move(file));
    if (opened != AvInput::Result::Ok)
        return opened;
    const AVStream* st = input_.video();
    if (!st)
        return AvInput::Result::Invalid;
    input_.discardAllButVideo();
    if (!unpacker_.open(st))
        return AvInput::Result::Invalid;
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec)
        return AvInput::Result::Invalid;
    codec_ = avcodec_alloc_context3(codec);
    pkt_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!codec_ || !pkt_ || !frame_ || avcodec_parameters_to_context(codec_, st->codecpar) < 0)
        return AvInput::Result::Invalid;
    codec_->pkt_timebase = st->time_base;
    codec_->thread_count = 0;   // one per core, and one more
    codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    buffers_.attach(codec_);
    if (avcodec_open2(codec_, codec, nullptr) < 0)
        return AvInput::Result::Invalid;
    from_ = 0;
    next_ = 0;
    return AvInput::Result::Ok;
}

void FrameDecoder::close()
{
    avcodec_free_context(&codec_);
    av_packet_free(&pkt_);
    av_frame_free(&frame_);
    unpacker_.close();
    input_.close();
    pending_ = false;
    next_ = 0;
    from_ = -1;
    lastPacket_ = -1;
    ended_ = false;
}

int64_t FrameDecoder::lastOutput() const
{
    return lastPacket_ < 0 ? -1 : index_->frameOf(lastPacket_);
}

int64_t FrameDecoder::identify(const AVPacket* pkt) const
{
    if (pkt->pos >= 0) {
        const auto [first, end] = index_->packetsAt(pkt->pos);
        for (int64_t p = first; p < end; ++p)
            if (pkt->dts == AV_NOPTS_VALUE || index_->packet(p).dts == pkt->dts)
                return p;
        if (end > first)
            return first;
    }
    return pkt->dts == AV_NOPTS_VALUE ? -1 : index_->packetWithDts(pkt->dts);
}

bool FrameDecoder::readVideoPacket()
{
    // No context: reading the file from its start again failed (it changed).
    while (input_.context() && av_read_frame(input_.context(), pkt_) >= 0) {
        if (pkt_->stream_index != input_.videoStream()) {
            av_packet_unref(pkt_);
            continue;
        }
        if (!unpacker_.unpack(pkt_))
            continue;   // a placeholder: no picture of its own, not in the index
        if (next_ < 0 && piecesUpTo_ >= 0 && pkt_->pos <= piecesUpTo_) {
            av_packet_unref(pkt_);
            continue;   // from the block a byte seek went to: maybe a piece
        }
        // Packets come in the order the index read them; the position confirms it.
        int64_t p = next_;
        if (p < 0 || p >= index_->packetCount() || (pkt_->pos >= 0 && index_->packet(p).pos != pkt_->pos))
            p = identify(pkt_);
        if (p < 0 && next_ < 0) {
            // Just after a seek, a packet may carry neither position nor stamp: the
            // next one will tell where the demuxer is.
            av_packet_unref(pkt_);
            continue;
        }
        if (p < 0 || p >= index_->packetCount()) {
            av_packet_unref(pkt_);
            return false;   // past what the index holds
        }
        pending_ = true;
        pendingIndex_ = p;
        next_ = p + 1;
        return true;
    }
    return false;
}

int64_t FrameDecoder::numberOf(const AVFrame* picture) const
{
    if (picture->pts == AV_NOPTS_VALUE || picture->pts < 0 || picture->pts >= index_->packetCount())
        return -1;
    int64_t packet = picture->pts;
    // MPEG-2 hands the first key picture after a flush out with the stamp of the packet
    // after it. Only that first picture is in doubt: it comes from the key packet decoding
    // started at. Every other picture keeps its stamp, whatever the decoder calls a key
    // (intra-only codecs call every picture one).
    if (picture->key_frame && lastPacket_ < 0 && from_ >= 0 && packet != from_
        && !(index_->flags(packet) & FrameIndex::kKey))
        packet = from_;
    const int64_t n = index_->frameOf(packet);
    // Pictures shown before the key decoding started at lack their references: they
    // come from a decoding that starts a group earlier.
    if (from_ >= 0 && n < index_->frameOf(from_) && !probing_)
        return -1;
    return n;
}

FrameDecoder::Outcome FrameDecoder::receive(const Sink& sink)
{
    while (avcodec_receive_frame(codec_, frame_) == 0) {
        const int64_t n = numberOf(frame_);
        if (n < 0) {
            av_frame_unref(frame_);
            continue;
        }
        if (n > lastOutput())
            lastPacket_ = index_->packetOf(n);
        AVFrame* picture = av_frame_alloc();
        if (!picture)
            return Outcome::Failed;
        av_frame_move_ref(picture, frame_);
        if (!sink(std::make_shared<DecodedFrame>(n, picture, index_->facts().orientation)))
            return Outcome::Stopped;
    }
    return Outcome::End;
}

FrameDecoder::Outcome FrameDecoder::feed(int64_t packet, const Sink& sink)
{
    pkt_->pts = packet;
    pkt_->dts = packet;
    for (;;) {
        const int sent = avcodec_send_packet(codec_, pkt_);
        if (sent != AVERROR(EAGAIN))
            break;
        // The decoder is full: take pictures out first; the packet waits if enough came.
        if (receive(sink) == Outcome::Stopped) {
            pending_ = true;
            pendingIndex_ = packet;
            return Outcome::Stopped;
        }
    }
    av_packet_unref(pkt_);
    pending_ = false;
    return receive(sink);
}

FrameDecoder::Outcome FrameDecoder::drain(const Sink& sink)
{
    ended_ = true;
    avcodec_send_packet(codec_, nullptr);
    // The last pictures all go out: nothing could continue after them.
    const Sink all = [&sink](FramePtr f) {
        sink(std::move(f));
        return true;
    };
    receive(all);
    return Outcome::End;
}

bool FrameDecoder::canContinueTo(int64_t frame) const
{
    if (!codec_ || from_ < 0 || ended_ || frame <= lastOutput())
        return false;
    const int64_t key = index_->decodeStartFor(frame);
    const int64_t nextFeed = pending_ ? pendingIndex_ : next_;
    return key >= from_ && key <= nextFeed;
}

int64_t FrameDecoder::firstPicture(AVFrame*& picture)
{
    picture = nullptr;
    int64_t first = -1;
    const Sink take = [&](FramePtr f) {
        if (first >= 0)
            return false;
        first = index_->packetOf(f->number());
        picture = av_frame_clone(f->frame());
        return false;
    };
    probing_ = true;
    while (first < 0) {
        if (!pending_ && !readVideoPacket()) {
            drain(take);
            break;
        }
        if (feed(pendingIndex_, take) == Outcome::Failed)
            break;
    }
    probing_ = false;
    return first;
}

// A new demuxer on the same descriptor: never another file that took the name.
void FrameDecoder::reopenAtStart()
{
    if (input_.reopen() == AvInput::Result::Ok)
        input_.discardAllButVideo();
    unpacker_.flush();
    next_ = 0;
}

// Where a byte seek for packet `from` goes (-1: the file's start). A packet that starts
// in the block sought to may come out cut: the block begins with the tail of the packet
// before, which the parser hands out first under the block's position and stamps, and
// the packet itself follows without them. So the seek goes to the block of an earlier
// packet, and only packets from a later block on are taken (readVideoPacket).
int64_t FrameDecoder::byteSeekTarget(int64_t from) const
{
    int64_t q = from;
    while (q > 0 && index_->packet(q).pos < 0)
        --q;
    const int64_t pos = index_->packet(q).pos;
    while (q > 0 && (index_->packet(q).pos < 0 || index_->packet(q).pos >= pos))
        --q;
    const int64_t before = index_->packet(q).pos;
    return before >= 0 && before < pos ? before : -1;
}

bool FrameDecoder::seekOnce(int64_t start, int64_t from, const Cancelled& cancelled)
{
    const FrameIndex::Packet& at = index_->packet(from);
    AVFormatContext* ctx = input_.context();
    if (!ctx)
        return false;
    int sought = -1;
    piecesUpTo_ = -1;
    if (index_->facts().byteSeek) {
        const int64_t block = byteSeekTarget(from);
        if (block >= 0)
            piecesUpTo_ = block;
        sought = av_seek_frame(ctx, -1, std::max<int64_t>(block, 0), AVSEEK_FLAG_BYTE);
    } else {
        int64_t ts = at.dts;
        if (at.pts != FrameIndex::kNoTime && (ts == FrameIndex::kNoTime || at.pts < ts))
            ts = at.pts;
        if (ts != FrameIndex::kNoTime)
            sought = av_seek_frame(ctx, input_.videoStream(), ts, AVSEEK_FLAG_BACKWARD);
        else if (at.pos >= 0)
            sought = av_seek_frame(ctx, -1, at.pos, AVSEEK_FLAG_BYTE);
    }
    if (sought < 0)
        return false;
    unpacker_.flush();
    next_ = -1;
    pending_ = false;
    for (int64_t read = 0; read < kSkipLimit + (start - from); ++read) {
        if (!readVideoPacket() || ((read & 255) == 255 && cancelled()))
            return false;
        if (pendingIndex_ == start)
            return true;
        if (pendingIndex_ > start)
            return false;   // landed behind the key: try from further back
        av_packet_unref(pkt_);
        pending_ = false;
    }
    return false;
}

bool FrameDecoder::seekTo(int64_t start, const Cancelled& cancelled)
{
    avcodec_flush_buffers(codec_);
    av_packet_unref(pkt_);
    pending_ = false;
    ended_ = false;
    lastPacket_ = -1;
    from_ = -1;
    int64_t from = start;
    for (int attempt = 0; attempt < kSeekAttempts && from > 0; ++attempt) {
        if (seekOnce(start, from, cancelled)) {
            from_ = start;
            return true;
        }
        from = index_->keyAtOrBefore(from - 1);
    }
    // Exact whatever the container's seeking does: read from the start.
    reopenAtStart();
    for (int64_t read = 0; readVideoPacket(); ++read) {
        if ((read & 255) == 255 && cancelled()) {
            av_packet_unref(pkt_);
            pending_ = false;
            return false;
        }
        if (pendingIndex_ == start) {
            from_ = start;
            return true;
        }
        av_packet_unref(pkt_);
        pending_ = false;
    }
    return false;
}

// As libmpv's exact seek does: what is decoded only to reach a frame need not be
// shown, and pictures nothing refers to need not be decoded at all.
void FrameDecoder::skipUnreferencedBelow(int64_t packet, int64_t keepFrom)
{
    const int64_t n = index_->frameOf(packet);
    codec_->skip_frame = n >= 0 && n < keepFrom ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
}

FrameDecoder::Outcome FrameDecoder::run(int64_t start, int64_t wanted, int64_t keepFrom, const Sink& sink,
                                        const Cancelled& cancelled)
{
    if (!codec_)
        return Outcome::Failed;
    if (!canContinueTo(wanted) && !seekTo(start, cancelled))
        return cancelled() ? Outcome::Cancelled : Outcome::Failed;
    for (;;) {
        if (cancelled())
            return Outcome::Cancelled;
        if (!pending_ && !readVideoPacket())
            return drain(sink);
        skipUnreferencedBelow(pendingIndex_, keepFrom);
        const Outcome o = feed(pendingIndex_, sink);
        if (o != Outcome::End)
            return o;
    }
}

} // namespace mci
