#include "StampedClip.h"
#include "mci/FrameDecoder.h"
#include "mci/FrameIndex.h"
#include "mci/FramePainter.h"
#include "mci/FrameServer.h"
#include "mci/PlaybackClock.h"

#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <random>

using namespace keldtest;

namespace {

struct Shown {
    int64_t number;
    int stamp;
};

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
    mci::FrameIndex index;
    ASSERT_EQ(index.build(clip.path.toStdString()), mci::FrameIndex::Result::Ok);
    mci::FrameDecoder decoder(index);
    ASSERT_EQ(decoder.open(clip.path.toStdString()), mci::AvInput::Result::Ok);
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

} // namespace
