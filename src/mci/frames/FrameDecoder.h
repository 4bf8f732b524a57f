#pragma once
#include "mci/frames/AvInput.h"
#include "mci/frames/DecodedFrame.h"
#include "mci/frames/FrameBuffers.h"
#include "mci/frames/PacketUnpacker.h"

#include <functional>
#include <memory>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace mci {

class FrameIndex;

// Decodes a file's video stream with its own demuxer, starting at key packets of the
// index, and names every picture it returns by its frame number: each packet goes in
// carrying its own place in the stream as its time stamp, and the decoder hands that
// stamp back with the picture made from it.
class FrameDecoder {
public:
    enum class Outcome { Stopped, Cancelled, End, Failed };
    // Takes each frame in presentation order; false: enough.
    using Sink = std::function<bool(FramePtr)>;
    using Cancelled = std::function<bool()>;

    explicit FrameDecoder(const FrameIndex& index);
    // A newer index of the same stream (packets keep their places); between runs only.
    void setIndex(const FrameIndex& index) { index_ = &index; }
    ~FrameDecoder();
    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    // Reads the file through its open descriptor, as the index was read.
    AvInput::Result open(std::shared_ptr<MediaFile> file);
    bool hasAudio() const { return input_.hasAudio(); }
    void close();

    // Right after open(): decodes from the stream's very start until the first picture
    // comes out, and returns the packet it came from (-1: none) and the picture.
    int64_t firstPicture(AVFrame*& picture);

    // Decodes from key packet `start` on, or on from where it stands when that also
    // gives the frames from `wanted` (canContinueTo()), until the sink says enough.
    // Below frame `keepFrom` pictures that no other refers to are skipped.
    Outcome run(int64_t start, int64_t wanted, int64_t keepFrom, const Sink& sink, const Cancelled& cancelled);
    // Decoding on from here shows `frame` without a seek.
    bool canContinueTo(int64_t frame) const;
    // The last frame handed out since the last seek (-1: none).
    int64_t lastOutput() const;

private:
    bool seekTo(int64_t start, const Cancelled& cancelled);
    bool seekOnce(int64_t start, int64_t from, const Cancelled& cancelled);
    int64_t byteSeekTarget(int64_t from) const;
    int64_t identify(const AVPacket* pkt) const;
    int64_t numberOf(const AVFrame* picture) const;
    bool readVideoPacket();
    Outcome feed(int64_t packet, const Sink& sink);
    void skipUnreferencedBelow(int64_t packet, int64_t keepFrom);
    Outcome drain(const Sink& sink);
    Outcome receive(const Sink& sink);
    void reopenAtStart();

    const FrameIndex* index_;
    FrameBuffers buffers_;      // outlives the codec that hands them out
    AvInput input_;
    PacketUnpacker unpacker_;   // the packets as the index holds them
    AVCodecContext* codec_ = nullptr;
    AVPacket* pkt_ = nullptr;
    AVFrame* frame_ = nullptr;
    bool pending_ = false;      // pkt_ holds a packet read but not yet fed
    int64_t pendingIndex_ = -1;
    int64_t next_ = 0;          // packet the demuxer reads next
    int64_t piecesUpTo_ = -1;   // after a byte seek: packets at or before this byte may be cut
    int64_t from_ = -1;         // key packet this run of decoding started at (-1: none)
    int64_t lastPacket_ = -1;   // the packet of the last frame handed out (numbering may change once)
    bool ended_ = false;        // the stream is drained: only a seek goes on
    bool probing_ = false;      // looking for the stream's first picture, whatever it is
};

} // namespace mci
