#pragma once
#include "mci/frames/Orientation.h"
#include "mci/frames/PackedColumn.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mci {

// The frames of a video stream as the decoder returns them: frame n is the n-th
// picture decoding the whole stream from its start would give, in presentation order.
//
// The table is made of the packets actually read (PacketScanner), in the order they
// are read, never of the header's claims. Frames are numbered group by group: a group
// runs from one key packet to the next, and inside a group the presentation order
// comes from the packets' time stamps, or, where the container has none, from the
// picture types (a reference picture is shown when the next one arrives). Time stamps
// that restart or jump between groups therefore change nothing.
class FrameIndex {
public:
    // Packets of one stream that one index may hold (about 88 hours at 25 frames per
    // second; a film's packets take about 10 bytes each, so some 80 MB of index): the
    // table grows with the packets read, and a stream with more is refused rather than
    // cut short, which would give a wrong length.
    static constexpr int64_t kMaxPackets = 8'000'000;
    static constexpr int64_t kNoTime = INT64_MIN;

    enum class Result { Ok, NotFound, Invalid, TooLong };

    struct Packet {
        int64_t pos = -1;       // byte position in the file, -1 when unknown
        int64_t pts = kNoTime;  // in the stream's time base
        int64_t dts = kNoTime;
        uint8_t flags = 0;
        char type = '?';        // picture type where it had to be read: 'I', 'P', 'B'
        int32_t duration = 0;   // in the stream's time base, 0 when unknown
    };
    enum : uint8_t {
        kKey = 1,       // decoding can start here
        kDiscard = 2,   // decoded for its references, never shown (edit lists)
        kDropped = 4,   // the decoder returns no picture for it (no references at the start)
    };

    struct Facts {
        std::string formatName;
        double timeBase = 0;      // seconds per time-stamp unit
        double frameRate = 25;    // nominal frames per second
        int width = 0;            // display size (sample aspect applied)
        int height = 0;
        bool byteSeek = false;    // the demuxer finds packets by byte position better than by time
        Orientation orientation;  // width and height above are those of the upright picture
    };

    // Reads a file (a convenience around PacketScanner for callers without a decoder).
    Result build(const std::string& path);

    // --- filling (PacketScanner) ------------------------------------------------
    void reset(Facts facts);
    void add(const Packet& packet);
    // Keeps the first `packets` packets only (before number()).
    void truncate(int64_t packets);
    // A B picture is never a key, whatever the container says: XviD flags the
    // placeholder after a key packet as a key too, and it carries a B-frame.
    void setType(int64_t packet, char type);
    // Numbers the frames; call after the last packet and after markFirstOutput().
    void number();
    // The decoder's first picture came from `packet`: whatever would be shown before
    // it is not a frame (leading pictures without references, a cut stream's head).
    void markFirstOutput(int64_t packet);
    // The same for one packet, before number().
    void markDropped(int64_t packet) { marks_[size_t(packet)] |= kDropped; }

    // --- facts ----------------------------------------------------------------------
    const Facts& facts() const { return facts_; }
    bool hasVideo() const { return !packetOfFrame_.empty(); }
    int64_t count() const { return packetOfFrame_.size(); }
    int64_t packetCount() const { return int64_t(marks_.size()); }
    Packet packet(int64_t p) const;
    uint8_t flags(int64_t p) const { return marks_[size_t(p)] & kFlagBits; }
    int64_t pts(int64_t p) const { return pts_[p]; }
    // Bytes the index holds on the heap.
    int64_t heapBytes() const;
    double frameRate() const { return facts_.frameRate; }
    int displayWidth() const { return facts_.width; }
    int displayHeight() const { return facts_.height; }

    // --- frames <-> packets -------------------------------------------------------
    int64_t packetOf(int64_t frame) const { return packetOfFrame_[clampFrame(frame)]; }
    int64_t frameOf(int64_t packet) const;   // -1: no frame of its own
    int64_t clampFrame(int64_t n) const;
    // The packet to start decoding at so that `frame` comes out: the key packet before
    // it, or the one before that when the frame is shown ahead of its group's key.
    int64_t decodeStartFor(int64_t frame) const;
    // The key packet at or before a packet (0 when none: the stream's start).
    int64_t keyAtOrBefore(int64_t packet) const;
    // Packets at a byte position, in read order ([first, last), empty when unknown).
    std::pair<int64_t, int64_t> packetsAt(int64_t pos) const;
    // The packet whose decode time stamp is dts (the first such), or -1.
    int64_t packetWithDts(int64_t dts) const;

    // --- time (for the engine that plays forward) --------------------------------
    // Seconds on the container's clock at which frame n is shown.
    double timeOf(int64_t frame) const;
    // How long frame n stays on screen, in seconds: until the next frame's time, or for
    // its own duration (the last frame, stamps that restart), or one nominal period.
    double durationOf(int64_t frame) const;
    // Seconds from the first frame's start to frame n's, each frame counting its
    // duration: never falls, whatever the stamps do. n equal to count(): the end.
    double startOf(int64_t frame) const;
    // startOf in whole milliseconds, rounded up (so that frameAtMilliseconds gives the
    // frame back), and the frame shown at a millisecond (count() past the end).
    int64_t millisecondsOf(int64_t frame) const;
    int64_t frameAtMilliseconds(int64_t ms) const;
    // The frame shown at time t during play that started at frame `from`: the search
    // runs forward from there, so time stamps that restart later cannot mislead it.
    int64_t frameAtTime(double t, int64_t from, int64_t limit) const;

private:
    // Appends the group's frames in presentation order; false when its stamps could
    // not be used.
    bool orderGroup(int64_t first, int64_t end, std::vector<int64_t>& order) const;
    bool hasTime(int64_t frame) const;
    // durationOf(frame) once its time and the next frame's are known.
    double periodOf(int64_t frame, double now, double next) const;
    void addUpStarts();

    static constexpr uint8_t kFlagBits = kKey | kDiscard | kDropped;
    static constexpr int kTypeShift = 4;
    char typeOf(int64_t p) const;

    Facts facts_;
    // The packets, a column per field; marks_ holds the flags and the picture type.
    PackedColumn pos_;
    PackedColumn pts_;
    PackedColumn dts_;
    PackedColumn duration_;
    std::vector<uint8_t> marks_;
    PackedColumn frameOfPacket_;       // -1: no frame of its own
    PackedColumn packetOfFrame_;
    std::vector<int32_t> keys_;        // key packets, ascending (always starts with 0)
    PackedColumn starts_;              // startOf() in nanoseconds for every frame and the end
    bool positionsAscend_ = true;      // byte positions never fall in read order
    bool stampedTimes_ = true;         // every group was ordered by its stamps
    std::vector<std::pair<int64_t, int32_t>> byPosition_;   // when they do
};

} // namespace mci
