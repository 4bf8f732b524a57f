#include "mci/frames/FrameIndex.h"

#include "mci/frames/PacketScanner.h"

#include <algorithm>
#include <cmath>

namespace mci {

FrameIndex::Result FrameIndex::build(const std::string& path)
{
    return PacketScanner().scan(path, *this);
}

void FrameIndex::reset(Facts facts)
{
    facts_ = std::move(facts);
    packets_.clear();
    frameOfPacket_.clear();
    packetOfFrame_.clear();
    keys_.clear();
    starts_.clear();
    byPosition_.clear();
    positionsAscend_ = true;
}

void FrameIndex::truncate(int64_t packets)
{
    if (packets >= 0 && packets < packetCount())
        packets_.resize(size_t(packets));
}

void FrameIndex::setType(int64_t packet, char type)
{
    Packet& p = packets_[size_t(packet)];
    p.type = type;
    if (type == 'B')
        p.flags &= uint8_t(~kKey);
}

bool FrameIndex::orderGroup(int64_t first, int64_t end, std::vector<int64_t>& order) const
{
    std::vector<int64_t> group;
    for (int64_t p = first; p < end; ++p)
        if (!(packets_[size_t(p)].flags & (kDiscard | kDropped)))
            group.push_back(p);
    const auto pts = [this](int64_t p) { return packets_[size_t(p)].pts; };
    bool stamped = std::all_of(group.begin(), group.end(), [&](int64_t p) { return pts(p) != kNoTime; });
    if (stamped) {
        std::vector<int64_t> sorted = group;
        std::stable_sort(sorted.begin(), sorted.end(), [&](int64_t a, int64_t b) { return pts(a) < pts(b); });
        const bool distinct = std::adjacent_find(sorted.begin(), sorted.end(), [&](int64_t a, int64_t b) {
                                  return pts(a) == pts(b);
                              }) == sorted.end();
        if (distinct) {
            order.insert(order.end(), sorted.begin(), sorted.end());
            return true;
        }
    }
    // No usable stamps: MPEG-style reordering. A B picture is shown as it is decoded;
    // any other picture waits until the next non-B picture is decoded.
    int64_t held = -1;
    for (int64_t p : group) {
        if (packets_[size_t(p)].type == 'B') {
            order.push_back(p);
            continue;
        }
        if (held >= 0)
            order.push_back(held);
        held = p;
    }
    if (held >= 0)
        order.push_back(held);
    return false;
}

void FrameIndex::number()
{
    keys_.clear();
    keys_.push_back(0);
    for (size_t p = 1; p < packets_.size(); ++p)
        if (packets_[p].flags & kKey)
            keys_.push_back(int32_t(p));

    std::vector<int64_t> order;
    order.reserve(packets_.size());
    stampedTimes_ = true;
    for (size_t k = 0; k < keys_.size(); ++k) {
        const int64_t end = k + 1 < keys_.size() ? keys_[k + 1] : int64_t(packets_.size());
        stampedTimes_ = orderGroup(keys_[k], end, order) && stampedTimes_;
    }
    frameOfPacket_.assign(packets_.size(), -1);
    packetOfFrame_.assign(order.begin(), order.end());
    for (size_t n = 0; n < order.size(); ++n)
        frameOfPacket_[size_t(order[n])] = int32_t(n);

    addUpStarts();

    positionsAscend_ = true;
    for (size_t p = 1; p < packets_.size() && positionsAscend_; ++p)
        positionsAscend_ = packets_[p].pos >= packets_[p - 1].pos;
    byPosition_.clear();
    if (!positionsAscend_) {
        byPosition_.reserve(packets_.size());
        for (size_t p = 0; p < packets_.size(); ++p)
            byPosition_.push_back({packets_[p].pos, int32_t(p)});
        std::sort(byPosition_.begin(), byPosition_.end());
    }
}

void FrameIndex::markFirstOutput(int64_t packet)
{
    const int64_t first = frameOf(packet);
    if (first <= 0)
        return;
    for (int64_t n = 0; n < first; ++n)
        packets_[size_t(packetOfFrame_[size_t(n)])].flags |= kDropped;
    number();
}

int64_t FrameIndex::frameOf(int64_t packet) const
{
    if (packet < 0 || packet >= packetCount())
        return -1;
    return frameOfPacket_[size_t(packet)];
}

int64_t FrameIndex::clampFrame(int64_t n) const
{
    return std::clamp<int64_t>(n, 0, std::max<int64_t>(count() - 1, 0));
}

int64_t FrameIndex::keyAtOrBefore(int64_t packet) const
{
    const auto it = std::upper_bound(keys_.begin(), keys_.end(), packet);
    return it == keys_.begin() ? 0 : *(it - 1);
}

int64_t FrameIndex::decodeStartFor(int64_t frame) const
{
    if (count() == 0)
        return 0;
    frame = clampFrame(frame);
    int64_t key = keyAtOrBefore(packetOf(frame));
    // Leading pictures (shown before their key, decoded after it) need the group before.
    while (key > 0) {
        const int64_t shown = frameOf(key);
        if (shown >= 0 && shown <= frame)
            break;
        key = keyAtOrBefore(key - 1);
    }
    return key;
}

std::pair<int64_t, int64_t> FrameIndex::packetsAt(int64_t pos) const
{
    if (pos < 0)
        return {0, 0};
    if (positionsAscend_) {
        const auto less = [](const Packet& a, int64_t v) { return a.pos < v; };
        const auto first = std::lower_bound(packets_.begin(), packets_.end(), pos, less);
        auto last = first;
        while (last != packets_.end() && last->pos == pos)
            ++last;
        return {first - packets_.begin(), last - packets_.begin()};
    }
    const auto it = std::lower_bound(byPosition_.begin(), byPosition_.end(), std::pair<int64_t, int32_t>(pos, 0));
    if (it == byPosition_.end() || it->first != pos)
        return {0, 0};
    return {it->second, it->second + 1};
}

int64_t FrameIndex::packetWithDts(int64_t dts) const
{
    if (dts == kNoTime)
        return -1;
    for (size_t p = 0; p < packets_.size(); ++p)
        if (packets_[p].dts == dts)
            return int64_t(p);
    return -1;
}

bool FrameIndex::hasTime(int64_t frame) const
{
    return packets_[size_t(packetOf(frame))].pts != kNoTime;
}

double FrameIndex::timeOf(int64_t frame) const
{
    if (count() == 0)
        return 0;
    frame = clampFrame(frame);
    const int64_t pts = packets_[size_t(packetOf(frame))].pts;
    if (stampedTimes_ && pts != kNoTime)
        return double(pts) * facts_.timeBase;
    // Streams whose stamps are missing or out of order (decode-order stamps in AVI)
    // run at their nominal rate from the first frame's stamp.
    const double start = hasTime(0) ? double(packets_[size_t(packetOf(0))].pts) * facts_.timeBase : 0;
    return start + double(frame) / facts_.frameRate;
}

double FrameIndex::durationOf(int64_t frame) const
{
    if (count() == 0)
        return 0;
    frame = clampFrame(frame);
    const double now = timeOf(frame);
    if (frame + 1 < count()) {
        const double next = timeOf(frame + 1);
        if (next > now)
            return next - now;
    }
    const double own = packets_[size_t(packetOf(frame))].duration * facts_.timeBase;
    return own > 0 ? own : 1 / facts_.frameRate;
}

void FrameIndex::addUpStarts()
{
    starts_.assign(size_t(count()) + 1, 0);
    for (int64_t n = 0; n < count(); ++n)
        starts_[size_t(n + 1)] = starts_[size_t(n)] + durationOf(n);
}

double FrameIndex::startOf(int64_t frame) const
{
    if (starts_.empty())
        return 0;
    return starts_[size_t(std::clamp<int64_t>(frame, 0, count()))];
}

// A microsecond of slack: sums of frame periods (1/25 s) are not exact in binary.
constexpr double kMsSlack = 1e-3;

int64_t FrameIndex::millisecondsOf(int64_t frame) const
{
    return int64_t(std::ceil(startOf(frame) * 1000 - kMsSlack));
}

int64_t FrameIndex::frameAtMilliseconds(int64_t ms) const
{
    if (count() == 0 || ms < 0)
        return 0;
    if (ms >= millisecondsOf(count()))
        return count();
    // The last frame whose first whole millisecond is at or before ms.
    int64_t low = 0;
    int64_t high = count() - 1;
    while (low < high) {
        const int64_t mid = low + (high - low + 1) / 2;
        if (millisecondsOf(mid) <= ms)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

int64_t FrameIndex::frameAtTime(double t, int64_t from, int64_t limit) const
{
    if (count() == 0)
        return 0;
    from = clampFrame(from);
    const int64_t last = std::min(count() - 1, from + std::max<int64_t>(limit, 1));
    // Half a millisecond of slack: the engine hands times back as doubles.
    const double slack = 0.0005;
    for (int64_t n = from; n < last; ++n) {
        const double now = timeOf(n);
        const double next = timeOf(n + 1);
        if (now <= t + slack && (next > t + slack || next < now))
            return n;
    }
    // No match: the engine has not moved yet, or ran past the search.
    return t < timeOf(from) ? from : last;
}

} // namespace mci
