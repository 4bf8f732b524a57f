#include "mci/frames/PackedColumn.h"

#include <algorithm>

namespace mci {
namespace {

using Wide = __int128;

constexpr Wide kInt64Min = Wide(INT64_MIN);
constexpr Wide kInt64Max = Wide(INT64_MAX);

uint64_t largestCode(int width)
{
    return width >= 8 ? UINT64_MAX : (uint64_t(1) << (8 * width)) - 1;
}

struct Fit {
    Wide step = 0;
    Wide low = 0;
    Wide high = 0;
};

// The smallest and largest distance of the present values from i * step.
Fit fit(const std::vector<int64_t>& values, Wide step)
{
    Fit f;
    f.step = step;
    bool first = true;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == PackedColumn::kMissing)
            continue;
        const Wide r = Wide(values[i]) - Wide(i) * step;
        f.low = first ? r : std::min(f.low, r);
        f.high = first ? r : std::max(f.high, r);
        first = false;
    }
    return f;
}

// The even rise from the first present value to the last, when there is one.
Wide evenStep(const std::vector<int64_t>& values)
{
    const auto present = [](int64_t v) { return v != PackedColumn::kMissing; };
    const auto a = std::find_if(values.begin(), values.end(), present);
    const auto b = std::find_if(values.rbegin(), values.rend(), present);
    if (a == values.end())
        return 0;
    const Wide span = Wide(values.rend() - b - 1) - Wide(a - values.begin());
    if (span <= 0)
        return 0;
    const Wide step = (Wide(*b) - Wide(*a)) / span;
    return step < kInt64Min || step > kInt64Max ? 0 : step;
}

} // namespace

void PackedColumn::push(int64_t value)
{
    tail_.push_back(value);
    ++size_;
    if (int64_t(tail_.size()) == kBlock)
        seal();
}

void PackedColumn::seal()
{
    const bool missing = std::any_of(tail_.begin(), tail_.end(), [](int64_t v) { return v == kMissing; });
    Fit f = fit(tail_, evenStep(tail_));
    // Distances that need more than 64 bits (values far apart): no step, and the
    // distances from the smallest value then always fit.
    if (f.high - f.low + 1 + (missing ? 1 : 0) > (Wide(1) << 64))
        f = fit(tail_, 0);
    const Wide codes = f.high - f.low + 1 + (missing ? 1 : 0);
    int width = 0;
    while (width < 8 && codes > (Wide(1) << (8 * width)))
        ++width;
    const bool nonePresent = std::all_of(tail_.begin(), tail_.end(), [](int64_t v) { return v == kMissing; });
    Block block;
    block.base = uint64_t(f.low);
    block.step = uint64_t(f.step);
    block.offset = uint32_t(bytes_.size());
    block.width = uint8_t(nonePresent ? 0 : width);
    block.missing = missing;
    const uint64_t none = largestCode(block.width);
    for (size_t i = 0; i < tail_.size(); ++i) {
        uint64_t code = none;
        if (tail_[i] != kMissing)
            code = uint64_t(Wide(tail_[i]) - Wide(i) * f.step - f.low);
        for (int byte = 0; byte < block.width; ++byte)
            bytes_.push_back(uint8_t(code >> (8 * byte)));
    }
    blocks_.push_back(block);
    tail_.clear();
}

int64_t PackedColumn::decode(const Block& block, int64_t i) const
{
    uint64_t code = 0;
    const uint8_t* at = bytes_.data() + block.offset + size_t(i) * block.width;
    for (int byte = block.width - 1; byte >= 0; --byte)
        code = (code << 8) | at[byte];
    if (block.missing && code == largestCode(block.width))
        return kMissing;
    return int64_t(block.base + uint64_t(i) * block.step + code);
}

int64_t PackedColumn::operator[](int64_t i) const
{
    const size_t b = size_t(i >> kShift);
    if (b == blocks_.size())
        return tail_[size_t(i & (kBlock - 1))];
    return decode(blocks_[b], i & (kBlock - 1));
}

void PackedColumn::reopenLast()
{
    const Block block = blocks_.back();
    std::vector<int64_t> values;
    values.reserve(size_t(kBlock));
    for (int64_t i = 0; i < kBlock; ++i)
        values.push_back(decode(block, i));
    values.insert(values.end(), tail_.begin(), tail_.end());
    tail_ = std::move(values);
    bytes_.resize(block.offset);
    blocks_.pop_back();
}

void PackedColumn::truncate(int64_t n)
{
    if (n < 0 || n >= size_)
        return;
    while (int64_t(blocks_.size()) > (n >> kShift))
        reopenLast();
    tail_.resize(size_t(n - int64_t(blocks_.size()) * kBlock));
    size_ = n;
}

void PackedColumn::clear()
{
    blocks_.clear();
    bytes_.clear();
    tail_.clear();
    size_ = 0;
}

void PackedColumn::shrink()
{
    blocks_.shrink_to_fit();
    bytes_.shrink_to_fit();
    tail_.shrink_to_fit();
}

int64_t PackedColumn::heapBytes() const
{
    return int64_t(blocks_.capacity() * sizeof(Block) + bytes_.capacity() + tail_.capacity() * sizeof(int64_t));
}

} // namespace mci
