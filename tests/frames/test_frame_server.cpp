#include "Eventually.h"
#include "StampedClip.h"
#include "mci/frames/FrameDecoder.h"
#include "mci/frames/FrameIndex.h"
#include "mci/frames/FrameIndexFile.h"
#include "mci/frames/FramePainter.h"
#include "mci/frames/FrameServer.h"
#include "mci/frames/FreedMemory.h"
#include "mci/frames/IndexStore.h"
#include "mci/frames/MediaFile.h"
#include "mci/frames/PacketScanner.h"
#include "mci/frames/PlaybackClock.h"
#include "mci/frames/StoredIndex.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <random>

using namespace keldtest;

namespace {

struct Shown {
    int64_t number;
    int stamp;
};

// An MPEG program stream of at least `bytes`, made of copies of a stamped clip.
QString programStreamOf(const QString& name, qint64 bytes)
{
    const ClipInfo clip = StampedClip::get(ClipKind::MpegPs);
    QFile part(clip.path);
    if (clip.path.isEmpty() || !part.open(QIODevice::ReadOnly))
        return {};
    const QByteArray one = part.readAll();
    QByteArray big;
    while (big.size() < bytes)
        big += one;
    return StampedClip::writeBytes(name, big);
}

int stampOf(const mci::DecodedFrame& frame)
{
    QImage image(320, 240, QImage::Format_RGB32);
    mci::FramePainter painter;
    painter.paint(frame, {0, 0, 320, 240}, image.bits(), 320, 240, int(image.bytesPerLine()));
    return StampedClip::readStamp(image);
}

class ReversePlay : public ::testing::TestWithParam<ClipKind> {};

// Played backwards, with a cache too small for a whole group of pictures: every
// frame comes once, in order, and is the frame ffmpeg decodes at that place.
TEST_P(ReversePlay, ShowsEveryFrameOnceInOrderAlsoThroughGroupsBiggerThanTheCache)
{
    const ClipInfo clip = StampedClip::get(GetParam());
    ASSERT_FALSE(clip.path.isEmpty());
    const QVector<int> truth = StampedClip::decodedStamps(clip.path);
    mci::FrameServer server(16 * 1024 * 1024);
    ASSERT_EQ(server.open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
    std::mutex mutex;
    std::vector<Shown> shown;
    server.setListener([&](const mci::FramePtr& f) {
        std::lock_guard<std::mutex> lock(mutex);
        shown.push_back({f->number(), stampOf(*f)});
    });
    const int64_t from = server.length() - 1;
    const int64_t to = std::max<int64_t>(0, from - 70);
    server.show(from);
    const auto hasShown = [&](int64_t n) {
        std::lock_guard<std::mutex> lock(mutex);
        return !shown.empty() && shown.back().number == n;
    };
    for (int i = 0; i < 400 && !hasShown(from); ++i)
        QThread::msleep(25);
    ASSERT_TRUE(hasShown(from));
    {
        std::lock_guard<std::mutex> lock(mutex);
        shown.clear();
    }
    mci::PlaybackClock clock(server);
    server.setMotion(mci::Motion::Reverse);
    clock.start(from, -1, to);
    for (int i = 0; i < 600 && clock.running(); ++i)
        QThread::msleep(25);
    ASSERT_FALSE(clock.running()) << "reverse play did not reach its stop point";
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(int64_t(shown.size()), from - to);
    for (size_t i = 0; i < shown.size(); ++i) {
        const int64_t n = from - 1 - int64_t(i);
        EXPECT_EQ(shown[i].number, n);
        EXPECT_EQ(shown[i].stamp, truth[int(n)]) << "frame " << n;
    }
}

class FrameDecoding : public ::testing::TestWithParam<ClipKind> {};

// The decoder itself, with no cache in front: each decoding starts afresh at the group
// of the frame asked for (the frames on either side of the key frames, in a mixed
// order) and names every picture by the frame ffmpeg decodes at that place.
TEST_P(FrameDecoding, DecodingStartedAtAnyGroupNamesItsPicturesRight)
{
    const ClipInfo clip = StampedClip::get(GetParam());
    ASSERT_FALSE(clip.path.isEmpty());
    const QVector<int> truth = StampedClip::decodedStamps(clip.path);
    std::shared_ptr<mci::MediaFile> file;
    ASSERT_EQ(mci::MediaFile::open(clip.path.toStdString(), file), mci::MediaFile::Result::Ok);
    mci::FrameIndex index;
    ASSERT_EQ(mci::PacketScanner().scan(file, index), mci::FrameIndex::Result::Ok);
    mci::FrameDecoder decoder(index);
    ASSERT_EQ(decoder.open(file), mci::AvInput::Result::Ok);
    AVFrame* first = nullptr;
    const int64_t firstPacket = decoder.firstPicture(first);
    const mci::DecodedFrame firstFrame(0, first);   // frees the picture
    ASSERT_GE(firstPacket, 0);
    index.markFirstOutput(firstPacket);
    ASSERT_EQ(index.count(), truth.size());

    std::vector<int64_t> targets;
    for (int64_t p = 0; p < index.packetCount(); ++p)
        if ((index.packet(p).flags & mci::FrameIndex::kKey) && index.frameOf(p) >= 0)
            for (int64_t n = index.frameOf(p) - 1; n <= index.frameOf(p) + 1; ++n)
                if (n >= 0 && n < index.count())
                    targets.push_back(n);
    std::shuffle(targets.begin(), targets.end(), std::mt19937(99));
    targets.resize(std::min<size_t>(targets.size(), 30));
    for (int64_t n : targets) {
        std::vector<Shown> out;
        const auto sink = [&](mci::FramePtr f) {
            out.push_back({f->number(), stampOf(*f)});
            return f->number() < n;
        };
        decoder.run(index.decodeStartFor(n), n, 0, sink, [] { return false; });
        ASSERT_FALSE(out.empty()) << "nothing decoded for frame " << n;
        for (const Shown& s : out)
            EXPECT_EQ(s.stamp, truth[int(s.number)]) << "frame " << s.number << " decoding for " << n;
        EXPECT_EQ(out.back().number, n);
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, FrameDecoding,
                         ::testing::Values(ClipKind::MpegPsIntra, ClipKind::MpegPs, ClipKind::Mpeg1, ClipKind::TsRestart,
                                           ClipKind::AviPackedBf2, ClipKind::MovQtrle));

INSTANTIATE_TEST_SUITE_P(Containers, ReversePlay,
                         ::testing::Values(ClipKind::Mp4LongGop, ClipKind::MpegPs, ClipKind::TsRestart,
                                           ClipKind::AviMpeg4, ClipKind::AviPackedBf2));

// The listener runs outside the server's lock: it may ask the server what it likes.
TEST(FrameServerFaults, TheListenerMayAskTheServerAndFramesArriveInRequestOrder)
{
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4H264);
    mci::FrameServer server(64 * 1024 * 1024);
    ASSERT_EQ(server.open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
    std::mutex mutex;
    std::vector<int64_t> shown;
    server.setListener([&](const mci::FramePtr& f) {
        const bool still = server.motion() == mci::Motion::Still && !server.undecodable(f->number());
        std::lock_guard<std::mutex> lock(mutex);
        shown.push_back(still ? f->number() : -1);
    });
    // Requests faster than decoding: whatever reaches the listener comes in the order
    // asked, and the last request's frame comes last.
    const int64_t asked[] = {100, 7, 63, 3, 124, 51, 90, 12};
    for (const int64_t n : asked)
        server.show(n);
    ASSERT_TRUE(server.waitFor(12, std::chrono::seconds(20)));
    ASSERT_TRUE(keldtest::eventually([&] {
        std::lock_guard<std::mutex> lock(mutex);
        return !shown.empty() && shown.back() == 12;
    }));
    std::lock_guard<std::mutex> lock(mutex);
    size_t at = 0;
    for (const int64_t n : shown) {
        while (at < std::size(asked) && asked[at] != n)
            ++at;
        ASSERT_LT(at, std::size(asked)) << "frame " << n << " came out of order";
    }
}

TEST(FrameServerFaults, ACacheSettingThatIsNoNumberInRangeFallsBackToTheDefault)
{
    const QByteArray saved = qgetenv("KELD32_MCI_CACHE_MIB");
    const int64_t fallback = mci::FrameServer::kDefaultCacheMiB * 1024 * 1024;
    for (const char* bad : {"abc", "16abc", "8", "99999", "-64", " "}) {
        qputenv("KELD32_MCI_CACHE_MIB", bad);
        EXPECT_EQ(mci::FrameServer::cacheBytesFromEnvironment(), fallback) << bad;
    }
    qputenv("KELD32_MCI_CACHE_MIB", "64");
    EXPECT_EQ(mci::FrameServer::cacheBytesFromEnvironment(), 64 * 1024 * 1024);
    qputenv("KELD32_MCI_CACHE_MIB", saved);
}

// MP4 and MOV list every packet in their tables: their frames are numbered without
// reading the packets or running the demuxer's parsers, exactly as when every packet
// is read, and from a fraction of the file.
TEST(ContainerTables, NumberFramesAsAFullReadDoesWithoutReadingThePackets)
{
    for (const ClipKind kind : {ClipKind::Mp4H264, ClipKind::Mp4LongGop, ClipKind::Mp4Vfr, ClipKind::Mp4Fps240,
                                ClipKind::MovEditList, ClipKind::MovQtrle, ClipKind::MovSmc, ClipKind::MovCinepak,
                                ClipKind::MovSvq1}) {
        const ClipInfo clip = StampedClip::get(kind);
        ASSERT_FALSE(clip.path.isEmpty());
        std::shared_ptr<mci::MediaFile> whole, listed;
        ASSERT_EQ(mci::MediaFile::open(clip.path.toStdString(), whole), mci::MediaFile::Result::Ok);
        ASSERT_EQ(mci::MediaFile::open(clip.path.toStdString(), listed), mci::MediaFile::Result::Ok);
        mci::FrameIndex read, tables;
        ASSERT_EQ(mci::PacketScanner(mci::PacketScanner::Contents::Read).scan(whole, read), mci::FrameIndex::Result::Ok);
        ASSERT_EQ(mci::PacketScanner().scan(listed, tables), mci::FrameIndex::Result::Ok);
        ASSERT_EQ(tables.packetCount(), read.packetCount()) << clip.path.toStdString();
        // The demuxer reads the tables without its parsers: the stream's facts stay.
        const auto& f = tables.facts();
        const auto& g = read.facts();
        EXPECT_TRUE(f.width == g.width && f.height == g.height && f.frameRate == g.frameRate
                    && f.timeBase == g.timeBase && f.byteSeek == g.byteSeek
                    && f.orientation.quarterTurns == g.orientation.quarterTurns)
            << clip.path.toStdString();
        for (int64_t p = 0; p < read.packetCount(); ++p) {
            const auto& a = read.packet(p);
            const auto& b = tables.packet(p);
            ASSERT_TRUE(a.pos == b.pos && a.pts == b.pts && a.dts == b.dts && a.flags == b.flags && a.type == b.type
                        && a.duration == b.duration)
                << clip.path.toStdString() << " packet " << p;
        }
        ASSERT_EQ(tables.count(), read.count());
        for (int64_t n = 0; n < read.count(); ++n)
            ASSERT_EQ(tables.packetOf(n), read.packetOf(n)) << clip.path.toStdString() << " frame " << n;
    }
    // A longer medium is numbered from a small part of it: neither its pictures nor its
    // sound (a fifth of the file) are read.
    const QString longer = StampedClip::folder() + "/tables-40s-sound.mp4";
    if (!QFileInfo::exists(longer)) {
        ASSERT_EQ(QProcess::execute("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25",
                                               "-f", "lavfi", "-i", "sine=f=440:r=48000", "-t", "40", "-c:v", "libx264",
                                               "-preset", "ultrafast", "-g", "50", "-c:a", "aac", "-b:a", "192k", "-ac",
                                               "2", longer}),
                  0);
    }
    std::shared_ptr<mci::MediaFile> file;
    ASSERT_EQ(mci::MediaFile::open(longer.toStdString(), file), mci::MediaFile::Result::Ok);
    mci::FrameIndex index, read;
    ASSERT_EQ(mci::PacketScanner().scan(file, index), mci::FrameIndex::Result::Ok);
    EXPECT_EQ(index.count(), 1000);
    EXPECT_LT(file->bytesRead() * 10, file->size());
    // The key packets too: left unread, the packets cannot tell the demuxer's parser.
    // Past its first packets the index comes from the tables alone; a fragmented MP4,
    // whose tables grow as it is read, is read through.
    const QString fragmented = StampedClip::folder() + "/tables-fragmented.mp4";
    if (!QFileInfo::exists(fragmented)) {
        ASSERT_EQ(QProcess::execute("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25",
                                               "-t", "12", "-c:v", "libx264", "-preset", "veryfast", "-g", "25", "-bf",
                                               "2", "-movflags", "frag_keyframe+empty_moov", fragmented}),
                  0);
    }
    for (const QString& path : {longer, fragmented}) {
        mci::FrameIndex tables;
        ASSERT_EQ(mci::PacketScanner().scan(path.toStdString(), tables), mci::FrameIndex::Result::Ok);
        ASSERT_EQ(mci::PacketScanner(mci::PacketScanner::Contents::Read).scan(path.toStdString(), read),
                  mci::FrameIndex::Result::Ok);
        ASSERT_EQ(read.packetCount(), tables.packetCount()) << path.toStdString();
        for (int64_t p = 0; p < read.packetCount(); ++p) {
            const auto& a = read.packet(p);
            const auto& b = tables.packet(p);
            ASSERT_TRUE(a.pos == b.pos && a.pts == b.pts && a.dts == b.dts && a.flags == b.flags
                        && a.duration == b.duration)
                << path.toStdString() << " packet " << p;
        }
        EXPECT_EQ(tables.count(), read.count()) << path.toStdString();
        if (path == longer) {
            EXPECT_EQ(index.keyAtOrBefore(999), read.keyAtOrBefore(999));
        }
    }
}

// A medium opened before and unchanged since takes its index from the store (here
// made shorter on purpose, so that its use shows); once the medium has been
// written to, it is scanned again and the store follows.
TEST(StoredIndexes, AnUnchangedMediumTakesItsStoredIndexAndAChangedOneIsScannedAgain)
{
    QTemporaryDir cache;
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    const QString path = programStreamOf("stored-index.mpg", mci::StoredIndex::kFromBytes);
    ASSERT_FALSE(path.isEmpty());

    mci::FrameServer server;
    ASSERT_EQ(server.open(path.toStdString()), mci::FrameServer::Result::Ok);
    const int64_t scanned = server.length();
    server.close();

    std::shared_ptr<mci::MediaFile> file;
    ASSERT_EQ(mci::MediaFile::open(path.toStdString(), file), mci::MediaFile::Result::Ok);
    const mci::IndexStore store;
    const mci::IndexKey key = mci::IndexKey::of(
        QFileInfo(path).canonicalFilePath().toStdString(), file->size(), file->modifiedTime(),
        [&file](int64_t at, uint8_t* into, int64_t n) { return file->read(at, into, n); });
    const auto payload = store.load(key);
    ASSERT_TRUE(payload) << "the first open stored its index";
    mci::FrameIndex stored, shorter;
    ASSERT_TRUE(mci::FrameIndexFile::decode(*payload, stored));
    EXPECT_EQ(stored.count(), scanned);
    shorter.reset(stored.facts());
    for (int64_t p = 0; p < stored.packetCount() / 2; ++p)
        shorter.add(stored.packet(p));
    shorter.number();
    ASSERT_TRUE(store.save(key, mci::FrameIndexFile::encode(shorter)));

    ASSERT_EQ(server.open(path.toStdString()), mci::FrameServer::Result::Ok);
    EXPECT_EQ(server.length(), shorter.count());
    server.close();

    QFile touch(path);   // written to: same bytes, a new time
    ASSERT_TRUE(touch.open(QIODevice::ReadWrite));
    const QByteArray first = touch.read(1);
    touch.seek(0);
    touch.write(first);
    touch.close();
    ASSERT_EQ(server.open(path.toStdString()), mci::FrameServer::Result::Ok);
    EXPECT_EQ(server.length(), scanned);
    server.close();
    qputenv("XDG_CACHE_HOME", savedCache);
}

// A big medium is indexed in the background: open returns with frame 0, the length
// only grows, and once the scan is through the frames are numbered as an open that
// read everything first numbers them (same pictures at the same numbers); the whole
// index is stored, and a close in the middle of a scan returns.
TEST(BackgroundIndex, GrowsIntoTheWholeScanWithEveryFrameKeepingItsNumber)
{
    QTemporaryDir cache;
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    const std::string path =
        programStreamOf("background-index.mpg", mci::StoredIndex::kFromBytes + 1024 * 1024).toStdString();
    ASSERT_FALSE(path.empty());
    const ClipInfo clip = StampedClip::get(ClipKind::MpegPs);
    const auto stampAt = [](mci::FrameServer& server, int64_t n) {
        server.show(n);
        const mci::FramePtr f = server.waitFor(n, std::chrono::seconds(20));
        return f ? stampOf(*f) : -1;
    };

    qputenv("KELD32_SCAN_AT_OPEN_MIB", "0");
    mci::FrameServer growing;
    ASSERT_EQ(growing.open(path), mci::FrameServer::Result::Ok);
    int64_t length = growing.length();
    EXPECT_GT(length, 0);
    std::vector<std::pair<int64_t, int>> early;   // frames seen while the scan ran
    while (!growing.indexComplete()) {
        ASSERT_FALSE(growing.indexFailed());
        const int64_t now = growing.length();
        ASSERT_GE(now, length);
        length = now;
        if (early.size() < 3)
            early.push_back({now - 1, stampAt(growing, now - 1)});
        QThread::msleep(2);
    }
    EXPECT_EQ(growing.indexedPercent(), 100);
    length = growing.length();

    qputenv("KELD32_SCAN_AT_OPEN_MIB", "1024");
    qputenv("KELD32_INDEX_CACHE_MIB", "0");
    mci::FrameServer whole;
    ASSERT_EQ(whole.open(path), mci::FrameServer::Result::Ok);
    ASSERT_TRUE(whole.indexComplete());
    ASSERT_EQ(whole.length(), length);
    for (const auto& [n, stamp] : early)
        EXPECT_EQ(stampAt(whole, n), stamp) << "frame " << n << " shown while the scan ran";
    for (const int64_t n : {int64_t(0), length / 3, length / 2 + 1, length - 1})
        EXPECT_EQ(stampAt(whole, n), stampAt(growing, n)) << "frame " << n;
    whole.close();
    growing.close();

    // Four scans at once, closed while they run (or just after).
    qputenv("KELD32_SCAN_AT_OPEN_MIB", "0");
    {
        std::vector<std::unique_ptr<mci::FrameServer>> servers;
        for (int i = 0; i < 4; ++i) {
            servers.push_back(std::make_unique<mci::FrameServer>());
            ASSERT_EQ(servers.back()->open(path), mci::FrameServer::Result::Ok);
        }
        servers[1]->close();
        ASSERT_EQ(servers[1]->open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
        EXPECT_TRUE(servers[1]->indexComplete());
    }

    // The scan that went through stored the whole index: a new open takes it.
    qunsetenv("KELD32_INDEX_CACHE_MIB");
    ASSERT_EQ(growing.open(path), mci::FrameServer::Result::Ok);
    EXPECT_TRUE(growing.indexComplete());
    EXPECT_EQ(growing.length(), length);
    growing.close();
    qunsetenv("KELD32_SCAN_AT_OPEN_MIB");
    qputenv("XDG_CACHE_HOME", savedCache);
}

} // namespace

namespace {

// A day of 25 frames a second (2,160,000 packets) in a small MP4: ten minutes of a
// 16x16 picture joined 144 times by stream copy.
QString dayOfFrames()
{
    const QString dir = StampedClip::folder();
    const QString day = dir + "/day-of-frames.mp4";
    if (QFileInfo::exists(day))
        return day;
    const QString ten = dir + "/ten-minutes-16x16.mp4";
    const QString list = dir + "/day-of-frames.txt";
    QFile listFile(list);
    if (!listFile.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < 144; ++i)
        listFile.write(("file '" + ten + "'\n").toUtf8());
    listFile.close();
    const auto ffmpeg = [](const QStringList& args) {
        return QProcess::execute("ffmpeg", QStringList{"-v", "error", "-y"} + args) == 0;
    };
    const bool made =
        ffmpeg({"-f", "lavfi", "-i", "color=c=gray:size=16x16:rate=25", "-t", "600", "-c:v", "libx264", "-preset",
                "ultrafast", "-g", "250", "-bf", "2", ten}) &&
        ffmpeg({"-f", "concat", "-safe", "0", "-i", list, "-c", "copy", day + ".part.mp4"}) &&
        QFile::rename(day + ".part.mp4", day);
    return made ? day : QString();
}

} // namespace

// Past the two million packets where the index once stopped, the length is exact,
// the last frame is there, and the index stays within 16 bytes a packet.
TEST(BackgroundIndex, ADayOfFramesHasItsExactLengthAndItsLastFrame)
{
    const QString day = dayOfFrames();
    ASSERT_FALSE(day.isEmpty());
    qputenv("KELD32_INDEX_CACHE_MIB", "0");
    mci::FrameServer server;
    ASSERT_EQ(server.open(day.toStdString()), mci::FrameServer::Result::Ok);
    for (int i = 0; i < 12000 && !server.indexComplete() && !server.indexFailed(); ++i)
        QThread::msleep(10);
    ASSERT_TRUE(server.indexComplete());
    EXPECT_EQ(server.length(), 2160000);
    const auto index = server.index();
    EXPECT_LE(index->heapBytes(), 16 * index->packetCount());
    server.show(2159999);
    EXPECT_TRUE(server.waitFor(2159999, std::chrono::seconds(20)));
    server.close();
    qunsetenv("KELD32_INDEX_CACHE_MIB");
}

// A demuxer's tables are many small blocks below the heap's top: once freed they stay
// resident unless handed back, and a closed 24-hour file would keep its tens of MB.
TEST(FreedMemory, BlocksFreedBelowTheHeapsTopLeaveTheProcess)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own pages";
#else
    const auto anonKiB = [] {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return -1L;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("RssAnon:"))
                return line.mid(8).trimmed().split(' ').front().toLong();
        return -1L;
    };
    std::vector<char*> blocks;
    for (int i = 0; i < 64 * 1024; ++i) {
        blocks.push_back(new char[1000]);
        std::fill_n(blocks.back(), 1000, char(i));
    }
    char* top = new char[1000];  // keeps the heap from shrinking by itself
    const long full = anonKiB();
    for (char* block : blocks)
        delete[] block;
    mci::giveBackFreedMemory();
    EXPECT_LT(anonKiB(), full - 40 * 1024) << "the freed 64 MB are still resident";
    delete[] top;
#endif
}
