#include "DeviceTestSupport.h"

using namespace keldtest;
using mci::DeviceMode;
using mci::VideoDevice;

namespace {

// Walks a stretch frame by frame and checks every frame on display.
class Navigation : public ::testing::Test {
protected:
    void openClip(ClipKind kind)
    {
        useHeadlessDevice();
        clip = StampedClip::get(kind);
        ASSERT_FALSE(clip.path.isEmpty()) << "ffmpeg could not make the clip";
        ASSERT_EQ(device.open(clip.path.toStdString()), mci::MCI_OK);
    }

    // Steps one frame at a time from `from` to `to`, checking each landing.
    void walk(int from, int to)
    {
        const int dir = to < from ? -1 : 1;
        for (int n = from + dir; n != to + dir; n += dir) {
            ASSERT_EQ(device.step(dir), mci::MCI_OK) << "step to " << n;
            ASSERT_EQ(device.position(), n) << "position after the step to " << n;
            ASSERT_EQ(frameOnDisplay(device), n) << "frame shown after the step to " << n;
        }
    }

    void TearDown() override
    {
        device.close();
        qunsetenv("KELD32_MCI_CACHE_MIB");
    }

    ClipInfo clip;
    VideoDevice device;
};

TEST_F(Navigation, BackThroughWholeGroupsOfPicturesAndForwardAgainNoFrameSkippedOrRepeated)
{
    openClip(ClipKind::Mp4H264);   // key frames near 0, 50, 100
    ASSERT_EQ(device.seek(108), mci::MCI_OK);
    ASSERT_EQ(frameOnDisplay(device), 108);
    walk(108, 38);   // crosses two key frames backwards
    walk(38, 108);   // and forwards again from where the back steps ended
    // A back step after forward steps starts afresh and is still exact.
    walk(108, 104);
}

TEST_F(Navigation, BackStepsInAGroupBiggerThanTheCacheStayExact)
{
    // 16 MiB holds about 130 frames of 320x240: the single group of 150 frames of this
    // clip does not fit, and is decoded in stretches.
    qputenv("KELD32_MCI_CACHE_MIB", "16");
    openClip(ClipKind::Mp4LongGop);
    ASSERT_EQ(device.seek(clip.frames - 1), mci::MCI_OK);
    walk(clip.frames - 1, clip.frames - 40);
    walk(clip.frames - 40, clip.frames - 35);
}

TEST_F(Navigation, BackStepsWorkWhereTheEngineCannotPlayBackwards)
{
    openClip(ClipKind::MpegPs);
    ASSERT_EQ(device.seek(33), mci::MCI_OK);
    walk(33, 12);   // key frames every 15
}

TEST_F(Navigation, ASeekReportsItsTargetAtOnceAndShowsItWhenAsked)
{
    openClip(ClipKind::Mp4LongGop);
    ASSERT_EQ(device.seek(140), mci::MCI_OK);
    // While the frame is still being decoded, the position already is the frame that will show.
    EXPECT_EQ(device.position(), 140);
    const DeviceMode mode = device.mode();
    EXPECT_TRUE(mode == DeviceMode::Seeking || mode == DeviceMode::Stopped);
    EXPECT_EQ(frameOnDisplay(device), 140);
    EXPECT_EQ(device.mode(), DeviceMode::Stopped);
    EXPECT_EQ(device.position(), 140);
}

TEST_F(Navigation, ABurstOfSeeksEndsOnTheFrameOfTheLastOne)
{
    openClip(ClipKind::Mp4LongGop);
    // Dragging the track bar: each seek supersedes the one before.
    for (int n : {20, 130, 75, 149, 3, 98, 121})
        ASSERT_EQ(device.seek(n), mci::MCI_OK);
    EXPECT_EQ(device.position(), 121);
    EXPECT_EQ(frameOnDisplay(device), 121);
    // Every other command after a burst acts on the last seek's frame.
    ASSERT_EQ(device.seek(60), mci::MCI_OK);
    ASSERT_EQ(device.seek(61), mci::MCI_OK);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 62);
    ASSERT_EQ(device.seek(90), mci::MCI_OK);
    ASSERT_EQ(device.step(-1), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 89);
    ASSERT_EQ(device.seek(10), mci::MCI_OK);
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() > 12; }));
    ASSERT_EQ(device.pause(), mci::MCI_OK);
    EXPECT_GT(device.position(), 12);
}

TEST_F(Navigation, ReversePlayAfterBackStepsAndPlayForwardAfterReversePlayKeepFramesExact)
{
    openClip(ClipKind::Mp4H264);
    ASSERT_EQ(device.seek(80), mci::MCI_OK);
    walk(80, 76);
    ASSERT_EQ(device.play(true), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() < 70; }));
    ASSERT_EQ(device.pause(), mci::MCI_OK);
    const int at = int(device.position());
    EXPECT_EQ(frameOnDisplay(device), at);
    walk(at, at + 3);
    walk(at + 3, at - 2);
}

} // namespace
