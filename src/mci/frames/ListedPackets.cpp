#include "mci/frames/ListedPackets.h"

#include "mci/frames/MediaFile.h"

#include <algorithm>
#include <climits>

extern "C" {
#include <libavformat/avformat.h>
}

namespace mci {
namespace {

constexpr uint32_t fourCc(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8
           | uint32_t(uint8_t(s[3]));
}

uint64_t bigEndian(const uint8_t* at, int bytes)
{
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | at[i];
    return v;
}

bool readExactly(const MediaFile& file, int64_t offset, uint8_t* into, int64_t bytes)
{
    while (bytes > 0) {
        const int64_t got = file.read(offset, into, bytes);
        if (got <= 0)
            return false;
        offset += got;
        into += got;
        bytes -= got;
    }
    return true;
}

// One box of the movie's tree: its type and where its contents lie.
struct Box {
    uint32_t type = 0;
    int64_t body = 0;
    int64_t end = 0;
};

bool boxAt(const MediaFile& file, int64_t at, int64_t limit, Box& box)
{
    uint8_t head[16];
    if (limit - at < 8 || !readExactly(file, at, head, 8))
        return false;
    int64_t size = int64_t(bigEndian(head, 4));
    box.type = uint32_t(bigEndian(head + 4, 4));
    box.body = at + 8;
    if (size == 1) {
        if (limit - at < 16 || !readExactly(file, at + 8, head + 8, 8) || bigEndian(head + 8, 8) > uint64_t(INT64_MAX))
            return false;
        size = int64_t(bigEndian(head + 8, 8));
        box.body = at + 16;
    } else if (size == 0) {
        size = limit - at;
    }
    if (size < box.body - at || size > limit - at)
        return false;
    box.end = at + size;
    return true;
}

// The first box of a type among those from `from` to `limit`.
bool findBox(const MediaFile& file, int64_t from, int64_t limit, uint32_t type, Box& found)
{
    Box box;
    for (int64_t at = from; boxAt(file, at, limit, box); at = box.end) {
        if (box.type == type) {
            found = box;
            return true;
        }
    }
    return false;
}

bool fieldAt(const MediaFile& file, int64_t at, int bytes, uint64_t& value)
{
    uint8_t b[8];
    if (!readExactly(file, at, b, bytes))
        return false;
    value = bigEndian(b, bytes);
    return true;
}

// The sample table of the track with this id.
bool sampleTableOf(const MediaFile& file, const Box& moov, int trackId, Box& stbl)
{
    Box trak;
    for (int64_t at = moov.body; findBox(file, at, moov.end, fourCc("trak"), trak); at = trak.end) {
        Box tkhd;
        uint64_t version = 0;
        uint64_t id = 0;
        if (!findBox(file, trak.body, trak.end, fourCc("tkhd"), tkhd) || !fieldAt(file, tkhd.body, 1, version)
            || !fieldAt(file, tkhd.body + (version == 1 ? 20 : 12), 4, id) || id != uint64_t(trackId))
            continue;
        Box mdia, minf;
        return findBox(file, trak.body, trak.end, fourCc("mdia"), mdia)
               && findBox(file, mdia.body, mdia.end, fourCc("minf"), minf)
               && findBox(file, minf.body, minf.end, fourCc("stbl"), stbl);
    }
    return false;
}

} // namespace

bool ListedPackets::open(const MediaFile& file, AVStream* video)
{
    video_ = video;
    count_ = video ? avformat_index_get_entries_count(video) : 0;
    runs_.clear();
    run_ = 0;
    runStart_ = 0;
    Box moov, mvex, stbl, sizes, offsets;
    uint64_t samples = 0;
    // Decode stamps that fall back (edits that repeat a part) are told otherwise.
    for (int64_t i = 1; i < count_; ++i)
        if (decodeStamp(i) < decodeStamp(i - 1))
            return false;
    // A fragmented movie lists its later samples as it is read; a compressed one
    // cannot be followed here.
    if (count_ <= 0 || !findBox(file, 0, file.size(), fourCc("moov"), moov)
        || findBox(file, moov.body, moov.end, fourCc("mvex"), mvex) || !sampleTableOf(file, moov, video->id, stbl))
        return false;
    if (!(findBox(file, stbl.body, stbl.end, fourCc("stsz"), sizes)
          || findBox(file, stbl.body, stbl.end, fourCc("stz2"), sizes))
        || !fieldAt(file, sizes.body + 8, 4, samples) || samples != uint64_t(count_))
        return false;
    if (!findBox(file, stbl.body, stbl.end, fourCc("ctts"), offsets))
        return true;   // every sample shown at its decode time
    uint64_t entries = 0;
    if (!fieldAt(file, offsets.body + 4, 4, entries) || entries > uint64_t(count_)
        || int64_t(entries) * 8 > offsets.end - offsets.body - 8)
        return false;
    std::vector<uint8_t> table(size_t(entries) * 8);
    if (!readExactly(file, offsets.body + 8, table.data(), int64_t(table.size())))
        return false;
    runs_.reserve(size_t(entries));
    uint64_t listed = 0;
    for (size_t i = 0; i < size_t(entries); ++i) {
        const auto n = uint32_t(bigEndian(&table[i * 8], 4));
        const auto offset = int32_t(uint32_t(bigEndian(&table[i * 8 + 4], 4)));
        runs_.push_back({n, offset});
        listed += n;
    }
    return listed == uint64_t(count_);
}

int64_t ListedPackets::offsetOf(int64_t i)
{
    if (runs_.empty())
        return 0;
    if (i < runStart_) {
        run_ = 0;
        runStart_ = 0;
    }
    while (run_ < runs_.size() && i >= runStart_ + runs_[run_].first) {
        runStart_ += runs_[run_].first;
        ++run_;
    }
    return run_ < runs_.size() ? runs_[run_].second : 0;
}

bool ListedPackets::learn(int64_t i, const FrameIndex::Packet& read)
{
    if (read.pts == FrameIndex::kNoTime || read.dts == FrameIndex::kNoTime)
        return false;
    shift_ = read.pts - read.dts - offsetOf(i);
    duration_ = read.duration;
    return true;
}

FrameIndex::Packet ListedPackets::packet(int64_t i)
{
    const AVIndexEntry* e = avformat_index_get_entry(video_, int(i));
    FrameIndex::Packet p;
    if (!e)
        return p;
    p.pos = e->pos;
    p.dts = e->timestamp;
    p.pts = e->timestamp + shift_ + offsetOf(i);
    // A packet with a composition offset has the stream's nominal duration, as
    // libavformat fills it in; one without lasts until the next one's decode time.
    if (!runs_.empty())
        p.duration = duration_;
    else if (i + 1 < count_)
        p.duration = int32_t(std::clamp<int64_t>(decodeStamp(i + 1) - e->timestamp, 0, INT32_MAX));
    if (e->flags & AVINDEX_KEYFRAME)
        p.flags |= FrameIndex::kKey;
    if (e->flags & AVINDEX_DISCARD_FRAME)
        p.flags |= FrameIndex::kDiscard;
    return p;
}

bool ListedPackets::agrees(int64_t i, const FrameIndex::Packet& read)
{
    const FrameIndex::Packet listed = packet(i);
    constexpr uint8_t kCompared = FrameIndex::kKey | FrameIndex::kDiscard;
    return listed.pos == read.pos && listed.dts == read.dts && listed.pts == read.pts
           && (listed.flags & kCompared) == (read.flags & kCompared)
           && (i + 1 == count_ || listed.duration == read.duration);
}

bool ListedPackets::isKey(int64_t i) const
{
    const AVIndexEntry* e = avformat_index_get_entry(video_, int(i));
    return e && (e->flags & AVINDEX_KEYFRAME);
}

int64_t ListedPackets::keyAtOrBefore(int64_t i) const
{
    while (i > 0 && !isKey(i))
        --i;
    return std::max<int64_t>(i, 0);
}

int64_t ListedPackets::decodeStamp(int64_t i) const
{
    const AVIndexEntry* e = avformat_index_get_entry(video_, int(i));
    return e ? e->timestamp : FrameIndex::kNoTime;
}

} // namespace mci
