#pragma once
#include "mci/frames/IndexStore.h"

#include <cstdint>

namespace mci {

class FrameIndex;
class MediaFile;

// The index of one open medium in the index store: taken from there when the
// medium is unchanged since it was stored, saved there once a scan has read it.
// Small files are not stored: reading them costs less than the key.
class StoredIndex {
public:
    static constexpr int64_t kFromBytes = 16 * 1024 * 1024;

    explicit StoredIndex(const MediaFile& file);

    // Fills `index` (numbered) from the store; false when there is nothing sound.
    bool load(FrameIndex& index) const;
    void save(const FrameIndex& index) const;

private:
    bool used() const { return used_; }

    IndexStore store_;
    IndexKey key_;
    bool used_ = false;
};

} // namespace mci
