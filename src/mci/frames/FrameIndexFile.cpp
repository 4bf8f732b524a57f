#include "mci/frames/FrameIndexFile.h"

#include "mci/frames/ByteFields.h"

#include <cmath>
#include <cstdint>

namespace mci {
namespace {

constexpr uint8_t kHasPts = 0x40;
constexpr uint8_t kHasDts = 0x80;
constexpr uint8_t kFlagBits = FrameIndex::kKey | FrameIndex::kDiscard | FrameIndex::kDropped;
// The smallest packet: its flag byte, its type and one byte for its position.
constexpr uint64_t kMinPacketBytes = 3;

uint64_t zigzag(int64_t v) { return (uint64_t(v) << 1) ^ (v < 0 ? ~uint64_t(0) : 0); }
int64_t unzigzag(uint64_t v) { return int64_t((v >> 1) ^ (~(v & 1) + 1)); }
// Differences and sums wrap instead of overflowing: any two stamps have one.
int64_t minus(int64_t a, int64_t b) { return int64_t(uint64_t(a) - uint64_t(b)); }
int64_t plus(int64_t a, int64_t b) { return int64_t(uint64_t(a) + uint64_t(b)); }

bool sane(const FrameIndex::Facts& f)
{
    return std::isfinite(f.timeBase) && f.timeBase > 0 && std::isfinite(f.frameRate) && f.frameRate > 0 &&
           f.width > 0 && f.height > 0 && f.width <= 65536 && f.height <= 65536 && f.formatName.size() <= 64;
}

bool knownType(char t) { return t == 'I' || t == 'P' || t == 'B' || t == '?'; }

} // namespace

std::string FrameIndexFile::encode(const FrameIndex& index)
{
    const FrameIndex::Facts& f = index.facts();
    std::string out;
    byteFields::putVarint(out, kVersion);
    byteFields::putVarint(out, f.formatName.size());
    out += f.formatName;
    byteFields::putReal(out, f.timeBase);
    byteFields::putReal(out, f.frameRate);
    byteFields::putVarint(out, uint64_t(f.width));
    byteFields::putVarint(out, uint64_t(f.height));
    out.push_back(f.byteSeek ? 1 : 0);
    out.push_back(char(f.orientation.quarterTurns | (f.orientation.mirrored ? 4 : 0)));
    byteFields::putVarint(out, uint64_t(index.packetCount()));
    int64_t pos = 0, pts = 0, dts = 0;
    for (int64_t p = 0; p < index.packetCount(); ++p) {
        const FrameIndex::Packet& k = index.packet(p);
        uint8_t head = k.flags & kFlagBits;
        head |= k.pts != FrameIndex::kNoTime ? kHasPts : 0;
        head |= k.dts != FrameIndex::kNoTime ? kHasDts : 0;
        out.push_back(char(head));
        out.push_back(k.type);
        byteFields::putVarint(out, zigzag(minus(k.pos, pos)));
        pos = k.pos;
        if (head & kHasPts) {
            byteFields::putVarint(out, zigzag(minus(k.pts, pts)));
            pts = k.pts;
        }
        if (head & kHasDts) {
            byteFields::putVarint(out, zigzag(minus(k.dts, dts)));
            dts = k.dts;
        }
        byteFields::putVarint(out, zigzag(k.duration));
    }
    return out;
}

bool FrameIndexFile::decode(const std::string& bytes, FrameIndex& index)
{
    index.reset({});
    ByteReader in(bytes);
    if (in.varint() != kVersion)
        return false;
    FrameIndex::Facts f;
    const uint64_t nameLength = in.varint();
    f.formatName = in.text(nameLength);
    f.timeBase = in.real();
    f.frameRate = in.real();
    f.width = int(std::min<uint64_t>(in.varint(), 1u << 30));
    f.height = int(std::min<uint64_t>(in.varint(), 1u << 30));
    f.byteSeek = in.byte() != 0;
    const uint8_t turn = in.byte();
    f.orientation.quarterTurns = turn & 3;
    f.orientation.mirrored = (turn & 4) != 0;
    const uint64_t count = in.varint();
    if (!in.ok() || !sane(f) || turn > 7 || count == 0 || count > in.left() / kMinPacketBytes)
        return false;
    index.reset(f);
    int64_t pos = 0, pts = 0, dts = 0;
    for (uint64_t p = 0; p < count && in.ok(); ++p) {
        FrameIndex::Packet k;
        const uint8_t head = in.byte();
        k.type = char(in.byte());
        if ((head & ~(kFlagBits | kHasPts | kHasDts)) || !knownType(k.type))
            break;
        k.flags = head & kFlagBits;
        pos = plus(pos, unzigzag(in.varint()));
        k.pos = pos;
        if (head & kHasPts)
            k.pts = pts = plus(pts, unzigzag(in.varint()));
        if (head & kHasDts)
            k.dts = dts = plus(dts, unzigzag(in.varint()));
        const int64_t duration = unzigzag(in.varint());
        if (duration < 0 || duration > INT32_MAX)
            break;
        k.duration = int32_t(duration);
        // A stamp that is there cannot be the value that means none.
        const bool stampsSound = (!(head & kHasPts) || k.pts != FrameIndex::kNoTime) &&
                                 (!(head & kHasDts) || k.dts != FrameIndex::kNoTime);
        if (k.pos < -1 || !stampsSound)
            break;
        index.add(k);
    }
    if (!in.ok() || in.left() != 0 || uint64_t(index.packetCount()) != count) {
        index.reset({});
        return false;
    }
    index.number();
    if (!index.hasVideo()) {
        index.reset({});
        return false;
    }
    return true;
}

} // namespace mci
