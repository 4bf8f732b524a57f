#include "mci/frames/UnreadRanges.h"

#include "mci/frames/MediaFile.h"

#include <algorithm>
#include <cstring>

namespace mci {

void UnreadRanges::add(int64_t position, int64_t size)
{
    if (position < 0 || size <= 0)
        return;
    // A stream's samples follow each other within a chunk: joined at once, millions
    // of them become a range a chunk before anything is sorted.
    if (!ranges_.empty() && position >= ranges_.back().first && position <= ranges_.back().second)
        ranges_.back().second = std::max(ranges_.back().second, position + size);
    else
        ranges_.push_back({position, position + size});
}

void UnreadRanges::finish()
{
    std::sort(ranges_.begin(), ranges_.end());
    std::vector<std::pair<int64_t, int64_t>> joined;
    for (const auto& r : ranges_) {
        if (!joined.empty() && r.first <= joined.back().second)
            joined.back().second = std::max(joined.back().second, r.second);
        else
            joined.push_back(r);
    }
    ranges_ = std::move(joined);
}

int64_t UnreadRanges::bytes() const
{
    int64_t total = 0;
    for (const auto& r : ranges_)
        total += r.second - r.first;
    return total;
}

int64_t UnreadRanges::read(const MediaFile& file, int64_t offset, uint8_t* into, int64_t size) const
{
    size = std::min(size, file.size() - offset);
    if (offset < 0 || size <= 0)
        return 0;
    const int64_t end = offset + size;
    // The first range that ends after the offset.
    auto r = std::upper_bound(ranges_.begin(), ranges_.end(), offset,
                              [](int64_t at, const std::pair<int64_t, int64_t>& range) { return at < range.second; });
    int64_t at = offset;
    while (at < end) {
        const bool inside = r != ranges_.end() && r->first <= at;
        const int64_t stop = inside ? std::min(end, r->second) : std::min(end, r != ranges_.end() ? r->first : end);
        if (inside) {
            std::memset(into + (at - offset), 0, size_t(stop - at));
        } else {
            const int64_t got = file.read(at, into + (at - offset), stop - at);
            if (got < 0)
                return at > offset ? at - offset : -1;
            if (got < stop - at)
                return at - offset + got;   // the file ended early
        }
        at = stop;
        if (inside)
            ++r;
    }
    return size;
}

} // namespace mci
