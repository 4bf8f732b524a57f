#pragma once
#include "mci/frames/FrameIndex.h"

#include <string>

namespace mci {

// A FrameIndex as bytes, for the index store: the facts, then each packet as
// variable-length differences from the one before (a few bytes a packet).
// Decoding checks every field and refuses what no scan could have produced.
class FrameIndexFile {
public:
    static constexpr uint32_t kVersion = 3;

    static std::string encode(const FrameIndex& index);
    // Fills `index` (numbered) and returns true, or returns false and leaves it empty.
    static bool decode(const std::string& bytes, FrameIndex& index);
};

} // namespace mci
