#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace mci {

class MediaFile;

// Byte ranges of a file whose contents nobody will look at (the video samples of an
// MP4 while its packets are only counted): reads hand out zeros there instead of
// fetching them, and read everything else from the file as usual.
class UnreadRanges {
public:
    void add(int64_t position, int64_t size);
    // Sorts and joins the ranges; call once after the last add().
    void finish();
    bool empty() const { return ranges_.empty(); }
    int64_t bytes() const;

    // Up to `size` bytes at `offset`, as MediaFile::read, but zeros inside the ranges.
    int64_t read(const MediaFile& file, int64_t offset, uint8_t* into, int64_t size) const;

private:
    std::vector<std::pair<int64_t, int64_t>> ranges_;   // [begin, end), ascending, apart
};

} // namespace mci
