#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace mci {

// What names one file's contents for a stored index: where it is, how big, when it
// was last written, and digests of its first and last MiB. A stored index is used
// only when every part of the key matches the file being opened.
struct IndexKey {
    std::string path;      // canonical
    int64_t size = 0;
    int64_t modifiedNs = 0;
    uint64_t head = 0;     // digest of the first MiB
    uint64_t tail = 0;     // digest of the last MiB

    // Reads up to `bytes` at `offset` into `into`; the count read, or -1.
    using Reader = std::function<int64_t(int64_t offset, uint8_t* into, int64_t bytes)>;
    static IndexKey of(const std::string& canonicalPath, int64_t size, int64_t modifiedNs, const Reader& read);

    bool operator==(const IndexKey& o) const
    {
        return path == o.path && size == o.size && modifiedNs == o.modifiedNs && head == o.head && tail == o.tail;
    }
};

// Frame indexes kept on disk between runs, one file each, under
// $XDG_CACHE_HOME/KELD32 (~/.cache/KELD32). Files are versioned and carry a digest
// of what they hold; one that is damaged, cut short, written by something else or
// made for another state of the file is ignored (and replaced by the next save).
// The folder is held under a size bound: the files used least recently go first.
class IndexStore {
public:
    static constexpr int64_t kDefaultBoundMiB = 256;
    static constexpr uint32_t kFormatVersion = 1;

    // The folder of the environment; bound from KELD32_INDEX_CACHE_MIB (0: no store).
    IndexStore();
    IndexStore(std::string folder, int64_t boundBytes);

    bool enabled() const { return bound_ > 0 && !folder_.empty(); }
    const std::string& folder() const { return folder_; }

    // The stored payload for this key, when a sound one is there.
    std::optional<std::string> load(const IndexKey& key) const;
    // Stores the payload (atomically: a reader never sees half a file), then
    // trims the folder to its bound. False when it could not be written.
    bool save(const IndexKey& key, const std::string& payload) const;

    // The file that holds the index of this key.
    std::string fileFor(const IndexKey& key) const;

    // FNV-1a, 64 bits: the digests of the key and of a payload.
    static uint64_t digest(const uint8_t* data, size_t size, uint64_t seed = 14695981039346656037ull);

private:
    void trim() const;

    std::string folder_;
    int64_t bound_ = 0;
};

} // namespace mci
