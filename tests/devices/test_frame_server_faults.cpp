#include "DeviceTestSupport.h"
#include "StampedClip.h"
#include "mci/MciService.h"

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace keldtest;

namespace {

// A 4K frame in a 16 MiB cache is bigger than half of it: the cache still holds the
// frame on display and the next one, so play moves and ends, and a seek lands.
TEST(FrameServerFaults, FramesBiggerThanHalfTheCacheStillPlayAndShow)
{
    keldtest::useHeadlessDevice();
    const QString path = StampedClip::folder() + "/big_4k.mp4";
    if (!QFileInfo::exists(path)) {
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                "testsrc2=size=3840x2160:rate=25:duration=0.24", "-c:v", "libx264", "-preset",
                                "ultrafast", "-bf", "2", "-g", "6", "-pix_fmt", "yuv420p", path});
        ASSERT_TRUE(ffmpeg.waitForFinished(120000));
        ASSERT_EQ(ffmpeg.exitCode(), 0);
    }
    const QByteArray saved = qgetenv("KELD32_MCI_CACHE_MIB");
    qputenv("KELD32_MCI_CACHE_MIB", "16");
    {
        mci::VideoDevice device;
        ASSERT_EQ(device.open(path.toStdString()), mci::MCI_OK);
        ASSERT_EQ(device.length(), 6);
        ASSERT_EQ(device.play(false), mci::MCI_OK);
        ASSERT_TRUE(keldtest::eventually([&] { return device.mode() == mci::DeviceMode::Stopped; }));
        EXPECT_EQ(device.position(), 5);
        EXPECT_EQ(device.frameShown(), 5);
        for (const int64_t n : {2, 0, 4, 1}) {
            ASSERT_EQ(device.seek(n), mci::MCI_OK);
            EXPECT_TRUE(keldtest::eventually([&] { return device.frameShown() == n; })) << n;
        }
        ASSERT_EQ(device.play(true), mci::MCI_OK);
        ASSERT_TRUE(keldtest::eventually([&] { return device.mode() == mci::DeviceMode::Stopped; }));
        EXPECT_EQ(device.frameShown(), 0);
    }
    qputenv("KELD32_MCI_CACHE_MIB", saved);
}

// Random commands with a fixed seed through the service on the real device: every
// seek or step with "wait" lands on its frame, whatever came just before it.
TEST(FrameServerFaults, RandomCommandsNeverLoseARequest)
{
    keldtest::useHeadlessDevice();
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4H264);
    mci::MciService service;
    std::string reply;
    const auto send = [&](const std::string& command) { return service.send(command, reply); };
    ASSERT_EQ(send("open \"" + clip.path.toStdString() + "\" type mpegvideo alias vid"), mci::MCI_OK);
    ASSERT_EQ(send("set vid time format frames"), mci::MCI_OK);
    QRandomGenerator rng(20261208);
    int64_t expected = 0;
    for (int i = 0; i < 600; ++i) {
        const int64_t n = rng.bounded(clip.frames);
        switch (rng.bounded(6)) {
        case 0:
        case 1:
            ASSERT_EQ(send("seek vid to " + std::to_string(n) + " wait"), mci::MCI_OK) << "command " << i;
            expected = n;
            break;
        case 2: {
            const int by = int(rng.bounded(-5, 6));
            ASSERT_EQ(send("step vid by " + std::to_string(by) + " wait"), mci::MCI_OK) << "command " << i;
            expected = std::clamp<int64_t>(expected + by, 0, clip.frames - 1);
            break;
        }
        case 3:
            // Requests while the worker is busy: not waited for, superseded at once.
            ASSERT_EQ(send("seek vid to " + std::to_string(n)), mci::MCI_OK);
            ASSERT_EQ(send("step vid by 1"), mci::MCI_OK);
            expected = std::min<int64_t>(n + 1, clip.frames - 1);
            ASSERT_EQ(send("seek vid to " + std::to_string(expected) + " wait"), mci::MCI_OK) << "command " << i;
            break;
        case 4:
            ASSERT_EQ(send("play vid"), mci::MCI_OK);
            ASSERT_EQ(send("stop vid"), mci::MCI_OK);
            ASSERT_EQ(send("status vid position"), mci::MCI_OK);
            expected = std::stoll(reply);
            ASSERT_EQ(send("seek vid to " + reply + " wait"), mci::MCI_OK) << "command " << i;
            break;
        default:
            ASSERT_EQ(send("status vid mode"), mci::MCI_OK);
            break;
        }
        ASSERT_EQ(send("status vid position"), mci::MCI_OK);
        ASSERT_EQ(reply, std::to_string(expected)) << "command " << i;
    }
    EXPECT_EQ(send("close vid"), mci::MCI_OK);
}

// The window answers its user during an open: a close from the interface thread
// ends the open on the worker wherever it is (headers, index, frame 0). Either the
// open finished first and works, or it ended with nothing left open.
TEST(FrameServerFaults, ACloseFromAnotherThreadEndsAnOpenWhereverItIs)
{
    keldtest::useHeadlessDevice();
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4H264);
    const std::string open = "open \"" + clip.path.toStdString() + "\" type mpegvideo alias vid";
    mci::MciService service;
    int cancelled = 0;
    for (int i = 0; i < 24; ++i) {
        mci::ErrorCode opened = mci::MCI_OK;
        std::thread opener([&] {
            std::string reply;
            opened = service.send(open, reply);
        });
        std::this_thread::sleep_for(std::chrono::microseconds(i * 500));
        std::string reply;
        const mci::ErrorCode closed = service.send("close vid", reply);
        opener.join();
        if (opened == mci::MCIERR_OPEN_CANCELLED) {
            ++cancelled;
            EXPECT_EQ(closed, mci::MCI_OK) << i;
        } else {
            ASSERT_EQ(opened, mci::MCI_OK) << i;
        }
        // A close that came before the open began left the opened device working.
        if (service.send("set vid time format frames", reply) == mci::MCI_OK) {
            ASSERT_EQ(service.send("status vid length", reply), mci::MCI_OK);
            EXPECT_EQ(reply, std::to_string(clip.frames)) << i;
            EXPECT_EQ(service.send("close vid", reply), mci::MCI_OK);
        }
    }
    EXPECT_GT(cancelled, 0);
    std::printf("%d of 24 opens ended by the close\n", cancelled);
    std::string reply;
    ASSERT_EQ(service.send(open, reply), mci::MCI_OK);
    ASSERT_EQ(service.send("set vid time format frames", reply), mci::MCI_OK);
    ASSERT_EQ(service.send("status vid length", reply), mci::MCI_OK);
    EXPECT_EQ(reply, std::to_string(clip.frames));
    EXPECT_EQ(service.send("close vid", reply), mci::MCI_OK);
}

} // namespace
