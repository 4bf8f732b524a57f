#include "mci/frames/FrameIndex.h"

#include "mci/frames/PacketScanner.h"

#include <algorithm>
#include <cmath>

namespace mci {

FrameIndex::Result FrameIndex::build(const std::string& path)
{
    return PacketScanner().scan(path, *this);
}

namespace {

constexpr char kTypes[] = {'?', 'I', 'P', 'B'};

uint8_t typeCode(char type)
{
    for (uint8_t t = 0; t < 4; ++t)
        if (kTypes[t] == type)
            return t;
    return 0;
}

} // namespace

void FrameIndex::reset(Facts facts)
{
    facts_ = std::move(facts);
    pos_.clear();
    pts_.clear();
    dts_.clear();
    duration_.clear();
    marks_.clear();
    frameOfPacket_.clear();
    packetOfFrame_.clear();
    keys_.clear();
    starts_.clear();
    byPosition_.clear();
    positionsAscend_ = true;
}

void FrameIndex::add(const Packet& packet)
{
    pos_.push(packet.pos);
    pts_.push(packet.pts);
    dts_.push(packet.dts);
    duration_.push(packet.duration);
    marks_.push_back(uint8_t((packet.flags & kFlagBits) | typeCode(packet.type) << kTypeShift));
}

FrameIndex::Packet FrameIndex::packet(int64_t p) const
{
    Packet k;
    k.pos = pos_[p];
    k.pts = pts_[p];
    k.dts = dts_[p];
    k.flags = flags(p);
    k.type = typeOf(p);
    k.duration = int32_t(duration_[p]);
    return k;
}

char FrameIndex::typeOf(int64_t p) const
{
    return kTypes[marks_[size_t(p)] >> kTypeShift & 3];
}

int64_t FrameIndex::heapBytes() const
{
    return pos_.heapBytes() + pts_.heapBytes() + dts_.heapBytes() + duration_.heapBytes() +
           int64_t(marks_.capacity()) + frameOfPacket_.heapBytes() + packetOfFrame_.heapBytes() +
           int64_t(keys_.capacity() * sizeof(int32_t)) + starts_.heapBytes() +
           int64_t(byPosition_.capacity() * sizeof(byPosition_[0]));
}

void FrameIndex::truncate(int64_t packets)
{
    if (packets < 0 || packets >= packetCount())
        return;
    pos_.truncate(packets);
    pts_.truncate(packets);
    dts_.truncate(packets);
    duration_.truncate(packets);
    marks_.resize(size_t(packets));
}

void FrameIndex::setType(int64_t packet, char type)
{
    uint8_t& mark = marks_[size_t(packet)];
    mark = uint8_t((mark & kFlagBits) | typeCode(type) << kTypeShift);
    if (type == 'B')
        mark &= uint8_t(~kKey);
}

bool FrameIndex::orderGroup(int64_t first, int64_t end, std::vector<int64_t>& order) const
{
    std::vector<int64_t> group;
    for (int64_t p = first; p < end; ++p)
        if (!(flags(p) & (kDiscard | kDropped)))
            group.push_back(p);
    // Each stamp is unpacked once; packets in read order break ties, as a stable sort would.
    std::vector<std::pair<int64_t, int64_t>> stamped;
    stamped.reserve(group.size());
    for (const int64_t p : group) {
        const int64_t pts = pts_[p];
        if (pts == kNoTime)
            break;
        stamped.push_back({pts, p});
    }
    if (stamped.size() == group.size()) {
        std::sort(stamped.begin(), stamped.end());
        const bool distinct = std::adjacent_find(stamped.begin(), stamped.end(), [](const auto& a, const auto& b) {
                                  return a.first == b.first;
                              }) == stamped.end();
        if (distinct) {
            for (const auto& s : stamped)
                order.push_back(s.second);
            return true;
        }
    }
    // No usable stamps: MPEG-style reordering. A B picture is shown as it is decoded;
    // any other picture waits until the next non-B picture is decoded.
    int64_t held = -1;
    for (int64_t p : group) {
        if (typeOf(p) == 'B') {
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
    const int64_t packets = packetCount();
    for (PackedColumn* column : {&pos_, &pts_, &dts_, &duration_})
        column->shrink();
    marks_.shrink_to_fit();
    for (int64_t p = 1; p < packets; ++p)
        if (flags(p) & kKey)
            keys_.push_back(int32_t(p));
    keys_.shrink_to_fit();

    std::vector<int64_t> order;
    order.reserve(size_t(packets));
    stampedTimes_ = true;
    for (size_t k = 0; k < keys_.size(); ++k) {
        const int64_t end = k + 1 < keys_.size() ? keys_[k + 1] : packets;
        stampedTimes_ = orderGroup(keys_[k], end, order) && stampedTimes_;
    }
    std::vector<int32_t> frameOfPacket(size_t(packets), -1);
    packetOfFrame_.clear();
    for (size_t n = 0; n < order.size(); ++n) {
        frameOfPacket[size_t(order[n])] = int32_t(n);
        packetOfFrame_.push(order[n]);
    }
    order = {};
    frameOfPacket_.clear();
    for (const int32_t n : frameOfPacket)
        frameOfPacket_.push(n);
    frameOfPacket = {};
    frameOfPacket_.shrink();
    packetOfFrame_.shrink();

    addUpStarts();

    positionsAscend_ = true;
    for (int64_t p = 1; p < packets && positionsAscend_; ++p)
        positionsAscend_ = pos_[p] >= pos_[p - 1];
    byPosition_.clear();
    if (!positionsAscend_) {
        byPosition_.reserve(size_t(packets));
        for (int64_t p = 0; p < packets; ++p)
            byPosition_.push_back({pos_[p], int32_t(p)});
        std::sort(byPosition_.begin(), byPosition_.end());
    }
}

void FrameIndex::markFirstOutput(int64_t packet)
{
    const int64_t first = frameOf(packet);
    if (first <= 0)
        return;
    for (int64_t n = 0; n < first; ++n)
        markDropped(packetOfFrame_[n]);
    number();
}

int64_t FrameIndex::frameOf(int64_t packet) const
{
    if (packet < 0 || packet >= packetCount())
        return -1;
    return frameOfPacket_[packet];
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
        int64_t first = 0;
        for (int64_t count = packetCount(); count > 0;) {
            const int64_t half = count / 2;
            if (pos_[first + half] < pos) {
                first += half + 1;
                count -= half + 1;
            } else {
                count = half;
            }
        }
        int64_t last = first;
        while (last < packetCount() && pos_[last] == pos)
            ++last;
        return {first, last};
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
    for (int64_t p = 0; p < packetCount(); ++p)
        if (dts_[p] == dts)
            return p;
    return -1;
}

bool FrameIndex::hasTime(int64_t frame) const
{
    return pts_[packetOf(frame)] != kNoTime;
}

double FrameIndex::timeOf(int64_t frame) const
{
    if (count() == 0)
        return 0;
    frame = clampFrame(frame);
    const int64_t pts = pts_[packetOf(frame)];
    if (stampedTimes_ && pts != kNoTime)
        return double(pts) * facts_.timeBase;
    // Streams whose stamps are missing or out of order (decode-order stamps in AVI)
    // run at their nominal rate from the first frame's stamp.
    const double start = hasTime(0) ? double(pts_[packetOf(0)]) * facts_.timeBase : 0;
    return start + double(frame) / facts_.frameRate;
}

double FrameIndex::durationOf(int64_t frame) const
{
    if (count() == 0)
        return 0;
    frame = clampFrame(frame);
    const double now = timeOf(frame);
    return periodOf(frame, now, frame + 1 < count() ? timeOf(frame + 1) : now);
}

double FrameIndex::periodOf(int64_t frame, double now, double next) const
{
    if (next > now)
        return next - now;
    const double own = double(duration_[packetOf(frame)]) * facts_.timeBase;
    return own > 0 ? own : 1 / facts_.frameRate;
}

// Kept in whole nanoseconds, finer than any time base a container uses.
void FrameIndex::addUpStarts()
{
    starts_.clear();
    double start = 0;
    starts_.push(0);
    // Each frame's time is looked up once: it is the next frame's "now".
    double now = count() > 0 ? timeOf(0) : 0;
    for (int64_t n = 0; n < count(); ++n) {
        const double next = n + 1 < count() ? timeOf(n + 1) : now;
        start += periodOf(n, now, next);
        now = next;
        starts_.push(std::llround(std::clamp(start, -9e9, 9e9) * 1e9));
    }
    starts_.shrink();
}

double FrameIndex::startOf(int64_t frame) const
{
    if (starts_.empty())
        return 0;
    return double(starts_[std::clamp<int64_t>(frame, 0, count())]) / 1e9;
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
