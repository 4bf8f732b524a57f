#pragma once
#include "mci/FrameIndex.h"
#include "mci/MediaFile.h"

#include <memory>
#include <string>

namespace mci {

class AvInput;

// Reads every packet of a file's video stream into a FrameIndex: order, key flags,
// byte positions and time stamps, and where the container carries no presentation
// stamps, the picture types (read with the codec's parser in a second pass).
class PacketScanner {
public:
    FrameIndex::Result scan(const std::string& path, FrameIndex& index);
    // Reads a file already open; every pass reads that same file.
    FrameIndex::Result scan(const std::shared_ptr<MediaFile>& file, FrameIndex& index);

private:
    static FrameIndex::Facts factsOf(const AvInput& input);
    static FrameIndex::Result readPackets(AvInput& input, FrameIndex& index);
    static bool readPictureTypes(const std::shared_ptr<MediaFile>& file, FrameIndex& index);
};

} // namespace mci
