// Frame indexes kept on disk: what comes back is exactly what was stored, and a
// file that is damaged, cut short, foreign or made for another state of the medium
// is never taken for an index.
#include "mci/frames/FrameIndexFile.h"
#include "mci/frames/IndexStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <random>
#include <sys/stat.h>

using mci::FrameIndex;
using mci::FrameIndexFile;
using mci::IndexKey;
using mci::IndexStore;

namespace {

// Stamps that restart, packets without stamps or positions, open groups and
// edit-list discards: what a scan can produce.
FrameIndex awkwardIndex()
{
    FrameIndex index;
    index.reset({"mpegts", 1.0 / 90000, 29.97, 720, 480, true, {1, true}});
    const char types[] = {'I', 'B', 'B', 'P', 'B', 'P'};
    for (int64_t p = 0; p < 600; ++p) {
        FrameIndex::Packet k;
        k.type = types[p % 6];
        k.flags = k.type == 'I' ? FrameIndex::kKey : 0;
        if (p == 1)
            k.flags |= FrameIndex::kDiscard;
        k.pos = p % 97 == 5 ? -1 : 188 * p * 7;
        const int64_t restart = p >= 300 ? -300 : 0;   // a second recording from 0 again
        k.pts = p % 53 == 7 ? FrameIndex::kNoTime : (p + restart + (k.type == 'B' ? -1 : 1)) * 3003 + 5'000'000'000;
        k.dts = p % 89 == 3 ? FrameIndex::kNoTime : (p + restart) * 3003;
        k.duration = p % 7 == 0 ? 0 : 3003;
        index.add(k);
    }
    index.number();
    return index;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

IndexKey keyFor(const char* path)
{
    return {path, 123456789, 1700000000123456789, 0x1111, 0x2222};
}

TEST(IndexStore, AnIndexReadBackNumbersEveryFrameAsTheScanDid)
{
    const FrameIndex original = awkwardIndex();
    const std::string bytes = FrameIndexFile::encode(original);
    EXPECT_LT(bytes.size(), size_t(original.packetCount()) * 16) << "a few bytes a packet";
    FrameIndex back;
    ASSERT_TRUE(FrameIndexFile::decode(bytes, back));
    EXPECT_EQ(back.facts().formatName, "mpegts");
    EXPECT_EQ(back.frameRate(), 29.97);
    EXPECT_TRUE(back.facts().byteSeek);
    EXPECT_EQ(back.facts().orientation.quarterTurns, 1);
    EXPECT_TRUE(back.facts().orientation.mirrored);
    ASSERT_EQ(back.packetCount(), original.packetCount());
    ASSERT_EQ(back.count(), original.count());
    for (int64_t p = 0; p < original.packetCount(); ++p) {
        EXPECT_EQ(back.packet(p).pos, original.packet(p).pos) << p;
        EXPECT_EQ(back.packet(p).pts, original.packet(p).pts) << p;
        EXPECT_EQ(back.packet(p).dts, original.packet(p).dts) << p;
        EXPECT_EQ(back.packet(p).flags, original.packet(p).flags) << p;
        EXPECT_EQ(back.packet(p).type, original.packet(p).type) << p;
        EXPECT_EQ(back.packet(p).duration, original.packet(p).duration) << p;
    }
    for (int64_t n = 0; n < original.count(); ++n) {
        ASSERT_EQ(back.packetOf(n), original.packetOf(n)) << n;
        ASSERT_EQ(back.millisecondsOf(n), original.millisecondsOf(n)) << n;
    }
}

TEST(IndexStore, BytesThatNoScanProducedDecodeToNothing)
{
    const std::string good = FrameIndexFile::encode(awkwardIndex());
    std::mt19937 random(7);
    for (size_t cut = 0; cut < good.size(); cut += 1 + cut / 3) {
        FrameIndex index;
        EXPECT_FALSE(FrameIndexFile::decode(good.substr(0, cut), index)) << "cut at " << cut;
        EXPECT_EQ(index.packetCount(), 0);
    }
    for (int round = 0; round < 200; ++round) {
        std::string junk(size_t(random() % 300), '\0');
        for (char& c : junk)
            c = char(random());
        FrameIndex index;
        if (!FrameIndexFile::decode(junk, index)) {
            EXPECT_EQ(index.packetCount(), 0);
        }
    }
    // A count far beyond the bytes that follow is refused before anything is reserved.
    std::string huge = good.substr(0, 40);
    FrameIndex index;
    EXPECT_FALSE(FrameIndexFile::decode(huge + std::string(9, '\xff'), index));
}

TEST(IndexStore, AStoredIndexIsUsedOnlyWhileItsFileIsWholeAndTheMediumUnchanged)
{
    QTemporaryDir dir;
    const IndexStore store(dir.path().toStdString() + "/KELD32", 64 << 20);
    const IndexKey key = keyFor("/films/a.mkv");
    const std::string payload = FrameIndexFile::encode(awkwardIndex());
    ASSERT_TRUE(store.save(key, payload));
    ASSERT_EQ(store.load(key).value_or(""), payload);

    // The medium changed: another size, time, head or tail, or another file.
    const std::vector<std::function<void(IndexKey&)>> changes = {
        [](IndexKey& k) { k.size += 1; },    [](IndexKey& k) { k.modifiedNs += 1; },
        [](IndexKey& k) { k.head ^= 1; },    [](IndexKey& k) { k.tail ^= 1; },
        [](IndexKey& k) { k.path += "x"; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        IndexKey other = key;
        changes[i](other);
        EXPECT_FALSE(store.load(other)) << "change " << i;
    }

    // The index file itself damaged, cut short, or replaced by something else.
    const std::string file = store.fileFor(key);
    const std::string whole = readAll(file);
    for (size_t at = 0; at < whole.size(); at += 1 + at / 5) {
        std::string damaged = whole;
        damaged[at] = char(damaged[at] ^ 0x10);
        writeAll(file, damaged);
        EXPECT_FALSE(store.load(key)) << "byte " << at << " changed";
        writeAll(file, whole.substr(0, at));
        EXPECT_FALSE(store.load(key)) << "cut at " << at;
    }
    writeAll(file, "[mci extensions]\nmkv=mpegvideo\n");
    EXPECT_FALSE(store.load(key));
    // The next save replaces what could not be used.
    ASSERT_TRUE(store.save(key, payload));
    EXPECT_EQ(store.load(key).value_or(""), payload);
}

TEST(IndexStore, TheFolderKeepsToItsBoundDroppingTheLeastRecentlyUsedFirst)
{
    QTemporaryDir dir;
    const std::string payload(100 * 1024, 'p');
    const IndexStore store(dir.path().toStdString(), 350 * 1024);
    const IndexKey a = keyFor("/a"), b = keyFor("/b"), c = keyFor("/c"), d = keyFor("/d");
    ASSERT_TRUE(store.save(a, payload));
    ASSERT_TRUE(store.save(b, payload));
    ASSERT_TRUE(store.save(c, payload));
    // Times on disk may be coarse: make the order plain.
    const auto age = [&](const IndexKey& k, int seconds) {
        const std::string f = store.fileFor(k);
        struct timespec t[2] = {{1000000000 + seconds, 0}, {1000000000 + seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, f.c_str(), t, 0), 0);
    };
    age(a, 1);
    age(b, 2);
    age(c, 3);
    ASSERT_TRUE(store.load(a));   // a is used again: b is now the oldest
    ASSERT_TRUE(store.save(d, payload));
    EXPECT_TRUE(store.load(a));
    EXPECT_FALSE(store.load(b));
    EXPECT_TRUE(store.load(c));
    EXPECT_TRUE(store.load(d));
}

TEST(IndexStore, TheKeyFollowsTheFirstAndLastMiBOfTheMedium)
{
    std::string medium(3 << 20, 'm');
    const auto reader = [&medium](int64_t offset, uint8_t* into, int64_t bytes) -> int64_t {
        const int64_t n = std::min<int64_t>(bytes, int64_t(medium.size()) - offset);
        std::copy_n(medium.data() + offset, n, into);
        return n;
    };
    const IndexKey before = IndexKey::of("/m", int64_t(medium.size()), 1, reader);
    medium[medium.size() - 10] = 'x';
    const IndexKey tailChanged = IndexKey::of("/m", int64_t(medium.size()), 1, reader);
    medium[5] = 'x';
    const IndexKey headChanged = IndexKey::of("/m", int64_t(medium.size()), 1, reader);
    EXPECT_EQ(before.head, tailChanged.head);
    EXPECT_NE(before.tail, tailChanged.tail);
    EXPECT_NE(tailChanged.head, headChanged.head);
}

} // namespace
