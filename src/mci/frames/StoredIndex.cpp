#include "mci/frames/StoredIndex.h"

#include "mci/frames/FrameIndexFile.h"
#include "mci/frames/MediaFile.h"

#include <climits>
#include <cstdlib>

namespace mci {
namespace {

std::string canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

} // namespace

StoredIndex::StoredIndex(const MediaFile& file)
{
    used_ = file.size() >= kFromBytes && store_.enabled();
    if (!used_)
        return;
    key_ = IndexKey::of(canonical(file.path()), file.size(), file.modifiedTime(),
                        [&file](int64_t offset, uint8_t* into, int64_t bytes) { return file.read(offset, into, bytes); });
}

bool StoredIndex::load(FrameIndex& index) const
{
    if (!used())
        return false;
    const std::optional<std::string> payload = store_.load(key_);
    return payload && FrameIndexFile::decode(*payload, index);
}

void StoredIndex::save(const FrameIndex& index) const
{
    if (used())
        store_.save(key_, FrameIndexFile::encode(index));
}

} // namespace mci
