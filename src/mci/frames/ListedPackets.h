#pragma once
#include "mci/frames/FrameIndex.h"

#include <cstdint>
#include <utility>
#include <vector>

struct AVStream;

namespace mci {

class MediaFile;

// The packets of an MP4 or MOV video stream as its sample tables list them: place,
// decode stamp and flags from libavformat's index of the stream, the presentation
// stamp from the track's composition offsets, read from the file's own table. What
// the demuxer returns for each packet is thus known without reading a packet, at a
// few nanoseconds each; whether the tables and the demuxer agree (it treats edit
// lists and damaged tables in its own ways) is for the caller to check on packets
// it has read.
class ListedPackets {
public:
    // False when the tables cannot be followed: a fragmented or compressed movie, or
    // tables that do not list the same samples as the index.
    bool open(const MediaFile& file, AVStream* video);
    int64_t count() const { return count_; }
    // Learns the offset between the tables' stamps and the demuxer's, and the duration
    // it gives packets, from packet i as the demuxer returned it; false when it has
    // no stamps.
    bool learn(int64_t i, const FrameIndex::Packet& read);
    // Packet i as the demuxer returns it (the last one's duration is not listed: 0).
    FrameIndex::Packet packet(int64_t i);
    // Packet i as read agrees with the tables (the last one's duration aside).
    bool agrees(int64_t i, const FrameIndex::Packet& read);
    bool isKey(int64_t i) const;
    int64_t keyAtOrBefore(int64_t i) const;
    int64_t decodeStamp(int64_t i) const;

private:
    int64_t offsetOf(int64_t i);

    AVStream* video_ = nullptr;
    int64_t count_ = 0;
    std::vector<std::pair<uint32_t, int32_t>> runs_;   // composition offsets: (samples, offset)
    size_t run_ = 0;                                   // the run sample runStart_ begins
    int64_t runStart_ = 0;
    int64_t shift_ = 0;
    int32_t duration_ = 0;                             // with offsets: the stream's nominal one
};

} // namespace mci
