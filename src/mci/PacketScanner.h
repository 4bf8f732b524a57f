#pragma once
#include "mci/FrameIndex.h"
#include "mci/MediaFile.h"
#include "mci/UnreadRanges.h"

#include <memory>
#include <string>

namespace mci {

class AvInput;

// Reads every packet of a file's video stream into a FrameIndex: order, key flags,
// byte positions and time stamps, and where the container carries no presentation
// stamps, the picture types (read with the codec's parser in a second pass).
// Where the container's tables list every packet (MP4, MOV), the packets' contents
// play no part in the numbering and are not read, unless asked for.
class PacketScanner {
public:
    enum class Contents { SkippedWhereListed, Read };
    explicit PacketScanner(Contents contents = Contents::SkippedWhereListed) : contents_(contents) {}

    FrameIndex::Result scan(const std::string& path, FrameIndex& index);
    // Reads a file already open; every pass reads that same file.
    FrameIndex::Result scan(const std::shared_ptr<MediaFile>& file, FrameIndex& index);

private:
    static FrameIndex::Facts factsOf(const AvInput& input);
    static FrameIndex::Result readPackets(AvInput& input, FrameIndex& index);
    static bool readPictureTypes(const std::shared_ptr<MediaFile>& file, FrameIndex& index);
    static std::shared_ptr<const UnreadRanges> listedVideoSamples(const AvInput& input);

    Contents contents_;
};

} // namespace mci
