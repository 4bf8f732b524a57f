#include "StampedClip.h"
#include "mci/FramePainter.h"
#include "mci/FrameServer.h"
#include "mci/PlaybackClock.h"

#include <QThread>
#include <gtest/gtest.h>

#include <mutex>

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

INSTANTIATE_TEST_SUITE_P(Containers, ReversePlay,
                         ::testing::Values(ClipKind::Mp4LongGop, ClipKind::MpegPs, ClipKind::TsRestart,
                                           ClipKind::AviMpeg4));

} // namespace
