#include "DeviceTestSupport.h"
#include "SkippingTime.h"
#include "mci/MciService.h"
#include "mci/frames/FrameIndex.h"
#include "mci/frames/MediaFile.h"
#include "mci/frames/PacketScanner.h"

#include <algorithm>
#include <random>

using namespace keldtest;
using mci::DeviceMode;
using mci::VideoDevice;

namespace {

struct ClipCase {
    ClipKind kind;
    const char* name;
};

// Frame n of a file is the n-th picture ffmpeg decodes from it; each clip's pictures
// carry stamps, so what is on display is compared with ffmpeg's own decoding.
class FrameExact : public ::testing::TestWithParam<ClipCase> {
protected:
    void SetUp() override
    {
        useHeadlessDevice();
        clip = StampedClip::get(GetParam().kind);
        ASSERT_FALSE(clip.path.isEmpty()) << "ffmpeg could not make the clip";
        truth = StampedClip::decodedStamps(clip.path);
        ASSERT_FALSE(truth.isEmpty()) << "ffmpeg could not decode the clip";
        ASSERT_EQ(device.open(clip.path.toStdString()), mci::MCI_OK);
    }

    void expectShows(int64_t frame, const std::string& what)
    {
        ASSERT_LT(frame, truth.size());
        EXPECT_EQ(device.position(), frame) << what;
        EXPECT_EQ(frameOnDisplay(device), truth[int(frame)]) << what << " (frame " << frame << ")";
    }

    // Frames of the clip's key packets, ascending.
    std::vector<int64_t> keyFrames() const
    {
        mci::FrameIndex index;
        std::vector<int64_t> keys;
        if (index.build(clip.path.toStdString()) != mci::FrameIndex::Result::Ok)
            return keys;
        for (int64_t p = 0; p < index.packetCount(); ++p)
            if ((index.packet(p).flags & mci::FrameIndex::kKey) && index.frameOf(p) >= 0)
                keys.push_back(index.frameOf(p));
        std::sort(keys.begin(), keys.end());
        return keys;
    }

    ClipInfo clip;
    QVector<int> truth;
    // Play runs as fast as the frames come: what is checked is where it stops.
    SkippingTime time;
    VideoDevice device {time};
};

TEST_P(FrameExact, OpensStoppedOnFrameZeroWithTheStreamsFacts)
{
    EXPECT_EQ(device.length(), truth.size());
    if (clip.fps > 0) {
        EXPECT_EQ(device.nominalFrameRate1000(), clip.fps * 1000);
    }
    const mci::Rect src = device.source();
    EXPECT_EQ(src.left, 0);
    EXPECT_EQ(src.top, 0);
    EXPECT_EQ(src.width, clip.width);
    EXPECT_EQ(src.height, clip.height);
    EXPECT_EQ(device.mode(), mci::DeviceMode::Stopped);
    EXPECT_TRUE(device.ready());
    expectShows(0, "after open");
}

// A big medium is indexed in the background, and the index grows while frames are
// shown: each part handed over must number its frames as the whole scan does.
TEST_P(FrameExact, AnIndexReadInPiecesNumbersItsFramesAsTheWholeScanDoes)
{
    mci::FrameIndex whole;
    ASSERT_EQ(whole.build(clip.path.toStdString()), mci::FrameIndex::Result::Ok);
    std::shared_ptr<mci::MediaFile> file;
    ASSERT_EQ(mci::MediaFile::open(clip.path.toStdString(), file), mci::MediaFile::Result::Ok);
    mci::PacketScanner scanner;
    ASSERT_EQ(scanner.open(file), mci::FrameIndex::Result::Ok);
    int64_t before = 0;   // frames numbered before the end was read
    while (!scanner.done()) {
        ASSERT_EQ(scanner.read(7), mci::FrameIndex::Result::Ok);
        const std::shared_ptr<mci::FrameIndex> part = scanner.snapshot();
        ASSERT_LE(part->count(), whole.count());
        if (!scanner.done())
            before = part->count();
        for (int64_t n = 0; n < part->count(); ++n)
            ASSERT_EQ(part->packetOf(n), whole.packetOf(n)) << "frame " << n << " of " << part->count();
    }
    EXPECT_EQ(scanner.snapshot()->count(), whole.count());
    // Whole groups are handed over as they are read, not all at the end.
    if (whole.keyAtOrBefore(whole.packetCount() - 1) > 7) {
        EXPECT_GT(before, 0);
    }
}

TEST_P(FrameExact, EverySeekShowsTheAskedFrame)
{
    const int last = int(truth.size()) - 1;
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> any(1, last - 1);
    std::vector<int> targets = {last, 0, any(rng), any(rng), any(rng), any(rng), any(rng), any(rng), 1, last - 1};
    for (int n : targets) {
        ASSERT_EQ(device.seek(n), mci::MCI_OK);
        expectShows(n, "seek to " + std::to_string(n));
    }
    // Out of range: clamped, never an error and never past the medium.
    ASSERT_EQ(device.seek(last + 25), mci::MCI_OK);
    expectShows(last, "seek past the end");
    ASSERT_EQ(device.seek(-7), mci::MCI_OK);
    expectShows(0, "seek before the start");
    EXPECT_EQ(device.mode(), mci::DeviceMode::Stopped);
}

TEST_P(FrameExact, SeeksAroundKeyFramesInAnyOrderShowTheAskedFrame)
{
    // The frames on either side of a key frame, asked for across the file in a mixed
    // order: each seek starts decoding afresh at another group, or runs on from one.
    const std::vector<int64_t> keys = keyFrames();
    const int64_t last = truth.size() - 1;
    std::vector<int64_t> targets;
    for (int64_t k : keys)
        for (int64_t n : {k - 1, k, k + 1, k + 2})
            if (n >= 0 && n <= last)
                targets.push_back(n);
    std::mt19937 rng(77);
    std::shuffle(targets.begin(), targets.end(), rng);
    targets.resize(std::min<size_t>(targets.size(), 40));
    for (int64_t n : targets) {
        ASSERT_EQ(device.seek(n), mci::MCI_OK);
        expectShows(n, "seek to " + std::to_string(n));
    }
}

TEST_P(FrameExact, StepsWalkBackAcrossTwoGroupsAndForwardAgainEveryFrameOnce)
{
    const std::vector<int64_t> keys = keyFrames();
    const int64_t last = truth.size() - 1;
    // From a little past the third key frame to a little before the second, and back.
    const int64_t top = std::min(last, keys.size() > 2 ? keys[2] + 3 : last);
    const int64_t bottom = std::max<int64_t>(0, keys.size() > 1 ? keys[1] - 3 : 0);
    ASSERT_EQ(device.seek(top), mci::MCI_OK);
    for (int64_t n = top - 1; n >= bottom; --n) {
        ASSERT_EQ(device.step(-1), mci::MCI_OK);
        expectShows(n, "step back to " + std::to_string(n));
    }
    for (int64_t n = bottom + 1; n <= top; ++n) {
        ASSERT_EQ(device.step(1), mci::MCI_OK);
        expectShows(n, "step forward to " + std::to_string(n));
    }
    ASSERT_EQ(device.step(-5), mci::MCI_OK);
    expectShows(top - 5, "step back by 5");
    ASSERT_EQ(device.step(3), mci::MCI_OK);
    expectShows(top - 2, "step by 3");
}

TEST_P(FrameExact, StepsStopAtTheEndsOfTheMedium)
{
    const int64_t last = truth.size() - 1;
    ASSERT_EQ(device.step(-1), mci::MCI_OK);
    expectShows(0, "step back at frame 0");
    ASSERT_EQ(device.seek(last), mci::MCI_OK);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    expectShows(last, "step forward on the last frame");
    ASSERT_EQ(device.step(-1), mci::MCI_OK);
    expectShows(last - 1, "step back from the last frame");
}

TEST_P(FrameExact, PlayToStopsOnExactlyThatFrameEitherWay)
{
    // Near stops (inside what is decoded ahead) and one across key frames.
    const int64_t last = truth.size() - 1;
    const std::pair<int64_t, int64_t> plays[] = {{3, 4}, {10, 12}, {last / 3, last / 3 + 25}, {last / 2, last / 2 - 20}};
    for (const auto& [from, to] : plays) {
        const std::string what = "play from " + std::to_string(from) + " to " + std::to_string(to);
        ASSERT_EQ(device.seek(from), mci::MCI_OK) << what;
        ASSERT_EQ(device.playTo(to < from, to), mci::MCI_OK) << what;
        ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; })) << what;
        expectShows(to, what);
    }
}

// Milliseconds as the caller sees them follow the frames' own times.
class FrameTimes : public ::testing::Test {
protected:
    void SetUp() override { useHeadlessDevice(); }
    void open(ClipKind kind)
    {
        const ClipInfo clip = StampedClip::get(kind);
        ASSERT_FALSE(clip.path.isEmpty()) << "ffmpeg could not make the clip";
        ASSERT_EQ(send("open \"" + clip.path.toStdString() + "\" type mpegvideo alias vid"), mci::MCI_OK);
        ASSERT_EQ(send("set vid time format milliseconds"), mci::MCI_OK);
    }
    std::string status(const std::string& item)
    {
        EXPECT_EQ(send("status vid " + item), mci::MCI_OK) << item;
        return reply;
    }
    mci::ErrorCode send(const std::string& command) { return service.send(command, reply); }

    mci::MciService service;
    std::string reply;
};

TEST_F(FrameTimes, APictureHeldForSecondsCountsAsLongAsItIsShown)
{
    // Frames 0-20 last 40 ms, frame 20 stays 3 s, frames 21-49 last 40 ms again.
    open(ClipKind::MkvHold);
    EXPECT_EQ(status("length"), "4960");
    ASSERT_EQ(send("seek vid to 2000 wait"), mci::MCI_OK);
    EXPECT_EQ(status("position"), "800");
    ASSERT_EQ(send("set vid time format frames"), mci::MCI_OK);
    EXPECT_EQ(status("position"), "20");
    ASSERT_EQ(send("seek vid to 21 wait"), mci::MCI_OK);
    ASSERT_EQ(send("set vid time format milliseconds"), mci::MCI_OK);
    EXPECT_EQ(status("position"), "3800");
    ASSERT_EQ(send("seek vid to end wait"), mci::MCI_OK);
    EXPECT_EQ(status("position"), "4920");
}

TEST_F(FrameTimes, ASlideShowKeepsItsRateOfAPictureIn20Seconds)
{
    open(ClipKind::AviSlideShow);
    EXPECT_EQ(status("nominal frame rate"), "50");
    EXPECT_EQ(status("length"), "80000");
    ASSERT_EQ(send("seek vid to 59999 wait"), mci::MCI_OK);
    EXPECT_EQ(status("position"), "40000");
}

INSTANTIATE_TEST_SUITE_P(Containers, FrameExact,
                         ::testing::Values(ClipCase {ClipKind::Mp4H264, "mp4_h264_bframes"},
                                           ClipCase {ClipKind::Mp4LongGop, "mp4_h264_long_gop"},
                                           ClipCase {ClipKind::MpegPs, "mpeg2_program_stream"},
                                           ClipCase {ClipKind::MpegEs, "mpeg2_elementary_stream"},
                                           ClipCase {ClipKind::AviMjpeg, "avi_mjpeg"},
                                           ClipCase {ClipKind::AviMpeg4, "avi_mpeg4_bframes"},
                                           ClipCase {ClipKind::WebmVp9, "webm_vp9"},
                                           ClipCase {ClipKind::MkvVfr, "mkv_variable_rate"},
                                           ClipCase {ClipKind::Mp4Vfr, "mp4_variable_rate"},
                                           ClipCase {ClipKind::TsRestart, "ts_stamps_restart"},
                                           ClipCase {ClipKind::Mp4Fps120, "mp4_120fps"},
                                           ClipCase {ClipKind::Mp4Fps240, "mp4_240fps"},
                                           ClipCase {ClipKind::MovEditList, "mov_2997_edit_list"},
                                           ClipCase {ClipKind::OggTheora, "ogg_theora"},
                                           ClipCase {ClipKind::MkvHevc10, "mkv_hevc_10bit"},
                                           ClipCase {ClipKind::AviPackedBf1, "avi_xvid_packed_bf1"},
                                           ClipCase {ClipKind::AviPackedBf2, "avi_xvid_packed_bf2_2997"},
                                           ClipCase {ClipKind::AviPackedBf3, "avi_xvid_packed_bf3"},
                                           ClipCase {ClipKind::MovQtrle, "mov_qtrle"},
                                           ClipCase {ClipKind::AviMsvideo1, "avi_msvideo1"},
                                           ClipCase {ClipKind::MovSmc, "mov_smc"},
                                           ClipCase {ClipKind::MovCinepak, "mov_cinepak"},
                                           ClipCase {ClipKind::Mpeg1, "mpeg1_system_stream"},
                                           ClipCase {ClipKind::MpegPsIntra, "mpeg2_program_stream_intra"},
                                           ClipCase {ClipKind::MovSvq1, "mov_sorenson_video_1"},
                                           ClipCase {ClipKind::AviNoIndex, "avi_without_index"},
                                           ClipCase {ClipKind::MkvHold, "mkv_held_picture"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
