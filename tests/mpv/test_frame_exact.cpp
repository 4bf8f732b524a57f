#include "MpvTestSupport.h"

#include <random>

using namespace keldtest;
using mci::DeviceMode;
using mci::MpvDevice;

namespace {

struct ClipCase {
    ClipKind kind;
    const char* name;
};

class FrameExact : public ::testing::TestWithParam<ClipCase> {
protected:
    void SetUp() override
    {
        useHeadlessDevice();
        clip = StampedClip::get(GetParam().kind);
        ASSERT_FALSE(clip.path.isEmpty()) << "ffmpeg could not make the clip";
        ASSERT_EQ(device.open(clip.path.toStdString()), mci::MCI_OK);
    }

    void expectShows(int64_t frame, const std::string& what)
    {
        EXPECT_EQ(device.position(), frame) << what;
        EXPECT_EQ(frameOnDisplay(device), frame) << what;
    }

    ClipInfo clip;
    MpvDevice device;
};

TEST_P(FrameExact, OpensStoppedOnFrameZeroWithTheStreamsFacts)
{
    EXPECT_EQ(device.length(), clip.frames);
    EXPECT_EQ(device.nominalFrameRate1000(), clip.fps * 1000);
    const mci::Rect src = device.source();
    EXPECT_EQ(src.left, 0);
    EXPECT_EQ(src.top, 0);
    EXPECT_EQ(src.width, clip.width);
    EXPECT_EQ(src.height, clip.height);
    EXPECT_EQ(device.mode(), mci::DeviceMode::Stopped);
    EXPECT_TRUE(device.ready());
    expectShows(0, "after open");
}

TEST_P(FrameExact, EverySeekShowsTheAskedFrame)
{
    const int last = clip.frames - 1;
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> any(1, last - 1);
    std::vector<int> targets = {last, 0, any(rng), any(rng), any(rng), any(rng), any(rng), any(rng), 1, last - 1};
    for (int n : targets) {
        ASSERT_EQ(device.seek(n), mci::MCI_OK);
        expectShows(n, "seek to " + std::to_string(n));
    }
    // Out of range: clamped, never an error and never past the medium.
    ASSERT_EQ(device.seek(clip.frames + 25), mci::MCI_OK);
    expectShows(last, "seek past the end");
    ASSERT_EQ(device.seek(-7), mci::MCI_OK);
    expectShows(0, "seek before the start");
    EXPECT_EQ(device.mode(), mci::DeviceMode::Stopped);
}

TEST_P(FrameExact, StepsMoveExactlyOneFrameAlsoAcrossKeyFrames)
{
    // 43..52 crosses the key frames at 45 (MPEG-2) and 50 (H.264).
    ASSERT_EQ(device.seek(43), mci::MCI_OK);
    for (int n = 44; n <= 52; ++n) {
        ASSERT_EQ(device.step(1), mci::MCI_OK);
        expectShows(n, "step forward to " + std::to_string(n));
    }
    for (int n = 51; n >= 42; --n) {
        ASSERT_EQ(device.step(-1), mci::MCI_OK);
        expectShows(n, "step back to " + std::to_string(n));
    }
    ASSERT_EQ(device.step(5), mci::MCI_OK);
    expectShows(47, "step by 5");
    ASSERT_EQ(device.step(-3), mci::MCI_OK);
    expectShows(44, "step back by 3");
}

TEST_P(FrameExact, StepsStopAtTheEndsOfTheMedium)
{
    ASSERT_EQ(device.step(-1), mci::MCI_OK);
    expectShows(0, "step back at frame 0");
    ASSERT_EQ(device.seek(clip.frames - 1), mci::MCI_OK);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    expectShows(clip.frames - 1, "step forward on the last frame");
    ASSERT_EQ(device.step(-1), mci::MCI_OK);
    expectShows(clip.frames - 2, "step back from the last frame");
}

TEST_P(FrameExact, PlayToStopsOnExactlyThatFrame)
{
    // Near stops (inside what the decoder holds ahead) and one across key frames.
    const int64_t last = clip.frames - 1;
    const std::pair<int64_t, int64_t> plays[] = {{3, 4}, {10, 12}, {last / 3, last / 3 + 25}};
    for (const auto& [from, to] : plays) {
        const std::string what = "play from " + std::to_string(from) + " to " + std::to_string(to);
        ASSERT_EQ(device.seek(from), mci::MCI_OK) << what;
        ASSERT_EQ(device.playTo(false, to), mci::MCI_OK) << what;
        ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; })) << what;
        expectShows(to, what);
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, FrameExact,
                         ::testing::Values(ClipCase {ClipKind::Mp4H264, "mp4_h264_bframes"},
                                           ClipCase {ClipKind::Mp4LongGop, "mp4_h264_long_gop"},
                                           ClipCase {ClipKind::MpegPs, "mpeg2_program_stream"},
                                           ClipCase {ClipKind::AviMjpeg, "avi_mjpeg"},
                                           ClipCase {ClipKind::WebmVp9, "webm_vp9"},
                                           ClipCase {ClipKind::MkvVfr, "mkv_variable_rate"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
