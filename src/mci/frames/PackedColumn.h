#pragma once
#include <cstdint>
#include <vector>

namespace mci {

// A growing column of 64-bit values kept in a few bytes each. Values come in blocks
// of 128; a full block stores a base, a step and each value's distance from
// base + i * step in the fewest whole bytes that hold every distance of the block.
// Time stamps, durations and frame numbers of a stream rise almost evenly, so most
// of them take no byte or one; byte positions take three or four. INT64_MIN (a
// missing time stamp) is kept as such. Reading any value costs the same.
class PackedColumn {
public:
    static constexpr int64_t kMissing = INT64_MIN;

    void push(int64_t value);
    int64_t operator[](int64_t i) const;
    int64_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Keeps the first n values.
    void truncate(int64_t n);
    void clear();
    // Gives back what growing reserved beyond the values held.
    void shrink();
    // Bytes held on the heap.
    int64_t heapBytes() const;

private:
    static constexpr int kShift = 7;
    static constexpr int64_t kBlock = int64_t(1) << kShift;

    struct Block {
        uint64_t base = 0;      // wraps: base + i * step + distance is exact modulo 2^64
        uint64_t step = 0;
        uint32_t offset = 0;    // of the block's first distance in bytes_
        uint8_t width = 0;      // bytes per distance, 0..8
        bool missing = false;   // the largest code of the width stands for kMissing
    };

    void seal();
    void reopenLast();
    int64_t decode(const Block& block, int64_t i) const;

    std::vector<Block> blocks_;
    std::vector<uint8_t> bytes_;
    std::vector<int64_t> tail_;   // the block being filled, as it came
    int64_t size_ = 0;
};

} // namespace mci
