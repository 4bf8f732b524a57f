#pragma once
#include "mci/frames/FrameIndex.h"
#include "mci/frames/MediaFile.h"
#include "mci/frames/UnreadRanges.h"

#include <memory>
#include <string>

struct AVCodecContext;
struct AVCodecParserContext;
struct AVPacket;

namespace mci {

class AvInput;
class ListedPackets;
class PacketUnpacker;

// Reads every packet of a file's video stream into a FrameIndex: order, key flags,
// byte positions and time stamps, and the picture types from the codec's parser for
// containers without presentation stamps.
// Where the container's tables list every packet (MP4, MOV), the packets' contents
// play no part in the numbering and are not read, unless asked for.
//
// A scan may be read in pieces (open, read, read...): the index of what has been read
// so far is taken as a snapshot whose groups of pictures are all complete, so that its
// frame numbers stay what they will be once the whole stream is read.
class PacketScanner {
public:
    enum class Contents { SkippedWhereListed, Read };
    explicit PacketScanner(Contents contents = Contents::SkippedWhereListed);
    ~PacketScanner();
    PacketScanner(const PacketScanner&) = delete;
    PacketScanner& operator=(const PacketScanner&) = delete;

    // The whole file at once.
    FrameIndex::Result scan(const std::string& path, FrameIndex& index);
    FrameIndex::Result scan(const std::shared_ptr<MediaFile>& file, FrameIndex& index);

    // --- in pieces --------------------------------------------------------------------
    // Reads the headers; Ok also for a file without video (hasVideo() tells).
    FrameIndex::Result open(const std::shared_ptr<MediaFile>& file);
    bool hasVideo() const { return video_; }
    // Reads up to `packets` more video packets (done() once the stream has ended).
    FrameIndex::Result read(int64_t packets);
    bool done() const { return done_; }
    // The rest comes from the container's tables, at the memory's speed: an index of
    // part of it is not worth numbering.
    bool listing() const { return tables_ == Tables::Proved; }
    // Where in the file reading has come to (bytes).
    int64_t position() const;
    int64_t packetsRead() const { return whole_ ? whole_->packetCount() : read_.packetCount(); }
    // Key packets read so far (the first packet counts as one).
    int64_t groupsBegun() const { return groupsBegun_; }
    // The decoder's first picture came from this packet (see FrameIndex::markFirstOutput).
    void setFirstOutput(int64_t packet);
    // The numbered index of every complete group read so far (all of them once done();
    // from then on the same one).
    std::shared_ptr<FrameIndex> snapshot();

    // Packets read from an MP4 or MOV before the rest is taken from its tables.
    static constexpr int64_t kProvedBy = 64;

private:
    enum class Tables { Refused, Proving, Proved };

    FrameIndex::Facts factsOf(const AvInput& input) const;
    std::shared_ptr<const UnreadRanges> listedSamples() const;
    FrameIndex::Packet packetFrom(const AVPacket* pkt);
    void addPacket(AVPacket* pkt);
    void countGroup(int64_t at);
    bool readVideoPacket(FrameIndex::Packet& p);
    bool groupAgrees(int64_t key);
    void proveTables(const MediaFile& file);
    bool rewind(std::shared_ptr<const UnreadRanges> unread);
    int64_t takeListed(int64_t packets);
    bool isKey(const AVPacket* pkt);
    void close();

    Contents contents_;
    std::unique_ptr<AvInput> input_;
    std::unique_ptr<PacketUnpacker> unpacker_;
    AVCodecParserContext* parser_ = nullptr;   // picture types, where the contents are read
    AVCodecContext* parserCodec_ = nullptr;
    AVPacket* pkt_ = nullptr;
    FrameIndex read_;                          // packets only, not numbered
    std::shared_ptr<FrameIndex> whole_;        // the last index, once the stream has ended
    int64_t lastKey_ = 0;
    int64_t groupsBegun_ = 0;
    bool video_ = false;
    bool skipping_ = false;                    // the video packets' contents are not read
    int nextEntry_ = 0;                        // the video table's entry looked at next
    std::unique_ptr<ListedPackets> listed_;    // MP4, MOV: the packets as the tables list them
    Tables tables_ = Tables::Refused;
    bool rewound_ = false;                     // read again from the start after the probing
    int32_t lastDuration_ = 0;                 // the last packet's, as read
    bool done_ = false;
};

} // namespace mci
