#include "DeviceTestSupport.h"
#include "PrivateDesktop.h"
#include "SkippingTime.h"
#include "mci/frames/FrameServer.h"
#include "mci/frames/PlaybackClock.h"
#include "mci/frames/PlaybackTime.h"
#include "mci/frames/SoundFollower.h"

#include <QProcess>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

using namespace keldtest;
using mci::DeviceMode;
using mci::VideoDevice;
using mci::SoundFollower;

namespace {

class Transport : public ::testing::Test {
protected:
    void SetUp() override
    {
        useHeadlessDevice();
        clip = StampedClip::get(ClipKind::Mp4H264);
        ASSERT_FALSE(clip.path.isEmpty());
        ASSERT_EQ(device.open(clip.path.toStdString()), mci::MCI_OK);
    }

    ClipInfo clip;
    VideoDevice device;
};

TEST_F(Transport, ModeFollowsPlayPauseAndStop)
{
    EXPECT_EQ(device.mode(), DeviceMode::Stopped);
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Playing);
    ASSERT_TRUE(eventually([&] { return device.position() > 3; }));
    ASSERT_EQ(device.pause(), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Paused);
    // Paused, the position is the frame that stays on display.
    const int64_t at = device.position();
    EXPECT_EQ(frameOnDisplay(device), at);
    EXPECT_EQ(device.position(), at);
    ASSERT_EQ(device.resume(), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Playing);
    ASSERT_TRUE(eventually([&] { return device.position() > at + 2; }));
    ASSERT_EQ(device.stop(), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Stopped);
    EXPECT_EQ(frameOnDisplay(device), device.position());
}

TEST_F(Transport, PlayedToTheEndItStaysOnTheLastFrameStopped)
{
    ASSERT_EQ(device.seek(clip.frames - 20), mci::MCI_OK);
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), clip.frames - 1);
    EXPECT_EQ(frameOnDisplay(device), clip.frames - 1);
    // Playing again at the end has nothing to play; a seek brings it back.
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    EXPECT_EQ(device.position(), clip.frames - 1);
    ASSERT_EQ(device.seek(0), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 0);
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Playing);
    ASSERT_TRUE(eventually([&] { return device.position() > 2; }));
}

TEST_F(Transport, PlayToStopsOnThatFrameAndALaterPlayGoesOnPastIt)
{
    ASSERT_EQ(device.seek(5), mci::MCI_OK);
    ASSERT_EQ(device.playTo(false, 20), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Playing);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), 20);
    EXPECT_EQ(frameOnDisplay(device), 20);
    // The stop point belonged to that play only.
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() > 25; }));
    ASSERT_EQ(device.stop(), mci::MCI_OK);
    // Stepping after a play-to also moves freely.
    ASSERT_EQ(device.seek(30), mci::MCI_OK);
    ASSERT_EQ(device.playTo(false, 32), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), 32);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    EXPECT_EQ(device.position(), 33);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 34);
}

TEST_F(Transport, APausedPlayToKeepsItsStopPointForTheResume)
{
    ASSERT_EQ(device.seek(0), mci::MCI_OK);
    ASSERT_EQ(device.playTo(false, 40), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() > 3; }));
    ASSERT_EQ(device.pause(), mci::MCI_OK);
    ASSERT_LT(device.position(), 40);
    ASSERT_EQ(device.resume(), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), 40);
    EXPECT_EQ(frameOnDisplay(device), 40);
}

TEST_F(Transport, PlayToAFrameOnTheWrongSideIsRefusedAndBackwardsToAFrameStopsThere)
{
    ASSERT_EQ(device.seek(50), mci::MCI_OK);
    EXPECT_EQ(device.playTo(false, 49), mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(device.playTo(true, 51), mci::MCIERR_OUTOFRANGE);
    EXPECT_NE(device.mode(), DeviceMode::Playing);
    EXPECT_EQ(device.position(), 50);
    ASSERT_EQ(device.playTo(true, 44), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), 44);
    EXPECT_EQ(frameOnDisplay(device), 44);
    ASSERT_EQ(device.seek(50), mci::MCI_OK);
    // To the frame on display: nothing to play. To the last frame: as a plain play.
    EXPECT_EQ(device.playTo(false, 50), mci::MCI_OK);
    EXPECT_NE(device.mode(), DeviceMode::Playing);
    ASSERT_EQ(device.seek(clip.frames - 10), mci::MCI_OK);
    ASSERT_EQ(device.playTo(false, clip.frames - 1), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), clip.frames - 1);
}

TEST_F(Transport, ReversePlayMovesBackwardsAndResumesBackwards)
{
    ASSERT_EQ(device.seek(100), mci::MCI_OK);
    ASSERT_EQ(device.play(true), mci::MCI_OK);
    EXPECT_EQ(device.mode(), DeviceMode::Playing);
    ASSERT_TRUE(eventually([&] { return device.position() < 95; }));
    ASSERT_EQ(device.pause(), mci::MCI_OK);
    const int64_t at = device.position();
    EXPECT_EQ(frameOnDisplay(device), at);
    ASSERT_EQ(device.resume(), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() < at - 3; }));
    // Forward again: exact frames still.
    ASSERT_EQ(device.seek(60), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 60);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 61);
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() > 65; }));
}

TEST_F(Transport, ReversePlayEndsStoppedOnTheFirstFrame)
{
    ASSERT_EQ(device.seek(15), mci::MCI_OK);
    ASSERT_EQ(device.play(true), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), 0);
    EXPECT_EQ(frameOnDisplay(device), 0);
    // Forward from there: exact again.
    ASSERT_EQ(device.seek(10), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 10);
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 11);
}

TEST_F(Transport, StepWhilePlayingStopsThenStepsFromTheFrameShown)
{
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() > 5; }));
    ASSERT_EQ(device.step(1), mci::MCI_OK);
    EXPECT_NE(device.mode(), DeviceMode::Playing);
    const int64_t at = device.position();
    EXPECT_EQ(frameOnDisplay(device), at);
    ASSERT_EQ(device.step(-1), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), at - 1);
}

TEST_F(Transport, VolumeMapsToTheDeviceRange)
{
    EXPECT_EQ(device.volume(), 1000);
    EXPECT_EQ(device.setVolume(250), mci::MCI_OK);
    EXPECT_EQ(device.volume(), 250);
    EXPECT_EQ(device.setVolume(1001), mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(device.setVolume(-1), mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(device.volume(), 250);
}

// The first play after an open, with a sound server whose new stream is heard only
// after about two seconds (PulseAudio's null sink, woken from its sleep): the pictures
// start on time, and the sound joins them.
TEST(SoundStart, TheFirstPlayAfterAnOpenKeepsTimeWhileTheSoundServerStarts)
{
    PrivateDesktop desktop;
    if (!desktop.start())
        GTEST_SKIP() << "no private sound server: " << desktop.why().toStdString();
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4H264);   // 5 s, with sound
    ASSERT_FALSE(clip.path.isEmpty());
    VideoDevice device;
    ASSERT_EQ(device.open(clip.path.toStdString()), mci::MCI_OK);
    using Clock = std::chrono::steady_clock;
    const auto began = Clock::now();
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    QThread::msleep(2000);
    const int64_t moved = device.position();
    const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
    // Four fifths of the frames the wall clock allows, measured around the reading.
    EXPECT_GE(double(moved), 0.8 * elapsed * clip.fps) << "after " << elapsed << " s";
    ASSERT_EQ(device.stop(), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), device.position());
}

// When the pictures keep to the sound: only a sound heard running; one that runs
// behind them is moved to them, never waited for.
TEST(SoundFollowing, ASoundThatHasNotStartedIsNotWaitedFor)
{
    SoundFollower follower;
    // The sound's clock stands still at its start while the pictures move on.
    for (double t = 0; t < 2; t += 0.04)
        ASSERT_EQ(follower.decide(0.1, t, t), SoundFollower::Action::Own) << "at " << t;
}

TEST(SoundFollowing, ASoundRunningBehindJoinsThePicturesAndIsThenFollowed)
{
    SoundFollower follower;
    double t = 0;
    SoundFollower::Action action = SoundFollower::Action::Own;
    // Heard from 2 s on, two seconds behind the pictures.
    for (; t < 3 && action == SoundFollower::Action::Own; t += 0.04)
        action = follower.decide(t < 2 ? 0 : t - 2, t, t);
    ASSERT_EQ(action, SoundFollower::Action::Join);
    EXPECT_LT(t, 2.6);
    // Moved, it must run again before the pictures keep to it; 30 ms behind is followed.
    const double joined = t;
    EXPECT_EQ(follower.decide(joined - 0.03, t, t), SoundFollower::Action::Own);
    for (; t < joined + 1 && action != SoundFollower::Action::Follow; t += 0.04)
        action = follower.decide(t - 0.03, t, t);
    EXPECT_EQ(action, SoundFollower::Action::Follow);
    // Slightly ahead is followed too; far ahead (stamps that restart) is not the same stretch.
    EXPECT_EQ(follower.decide(t + 0.1, t, t), SoundFollower::Action::Follow);
    t += 0.04;
    EXPECT_EQ(follower.decide(t + 30, t, t), SoundFollower::Action::Own);
}

// Pictures decoded too slowly stand still while the sound runs on: they keep following
// it however far behind they are, or they would never catch up; a sound whose clock
// jumps ahead (stamps that restart) is not followed.
TEST(SoundFollowing, PicturesThatFallBehindAFollowedSoundKeepFollowingItButNotAJump)
{
    SoundFollower follower;
    double t = 0;
    for (; t < 1; t += 0.04)
        follower.decide(t, t, t);
    ASSERT_EQ(follower.decide(t, t, t), SoundFollower::Action::Follow);
    const double stuck = t;
    for (; t < stuck + 5; t += 0.04)
        ASSERT_EQ(follower.decide(t, stuck, t), SoundFollower::Action::Follow) << t - stuck << " s behind";
    EXPECT_EQ(follower.decide(t + 20, stuck, t + 0.04), SoundFollower::Action::Own);
}

TEST(SoundFollowing, ASoundStillBehindAfterAJoinIsFollowedAndOneThatNeverCatchesUpIsGivenUp)
{
    SoundFollower follower;
    int joins = 0;
    int followed = 0;
    // A sound that runs, but always a second behind wherever it is moved (an output
    // with a long latency): the pictures slow down to it for a while after each join.
    for (double t = 0; t < 30; t += 0.04) {
        const SoundFollower::Action action = follower.decide(t - 1, t, t);
        joins += action == SoundFollower::Action::Join;
        followed += action == SoundFollower::Action::Follow;
    }
    EXPECT_EQ(joins, SoundFollower::kMaxJoins);
    EXPECT_GT(followed * 0.04, (SoundFollower::kMaxJoins - 1) * (SoundFollower::kAfterJoin - 0.5));
    // Given up while behind; once the pictures are the ones behind, they follow it again.
    EXPECT_EQ(follower.decide(29.0, 28.9, 30.0), SoundFollower::Action::Follow);
    SoundFollower ended;
    for (double t = 0; t < 1; t += 0.04)
        EXPECT_EQ(ended.decide(-1, t, t), SoundFollower::Action::Own);
}

// Ten frames at 25 per second, except that frame 3 lasts three seconds (a still in a
// variable-rate recording, a slide show).
QString clipWithALongHold()
{
    const QString path = StampedClip::folder() + "/long_hold.mkv";
    if (QFile::exists(path))
        return path;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25", "-frames:v", "10",
                            "-vf", "setpts=N/25/TB+gte(N\\,4)*3/TB", "-fps_mode", "passthrough", "-c:v", "libx264",
                            "-preset", "ultrafast", "-g", "5", "-f", "matroska", path + ".part"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    return QFile::rename(path + ".part", path) ? path : QString();
}

// The frames a clock showed, each with its time on the clock's own time.
class ShownFrames {
public:
    ShownFrames(mci::FrameServer& server, mci::PlaybackTime& time)
    {
        server.setListener([this, &time](const mci::FramePtr& frame) {
            std::lock_guard<std::mutex> guard(mutex_);
            shown_.push_back({frame->number(), std::chrono::duration<double>(time.now().time_since_epoch()).count()});
        });
    }
    int64_t last()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return shown_.empty() ? -1 : shown_.back().first;
    }
    std::vector<std::pair<int64_t, double>> take()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return std::exchange(shown_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<int64_t, double>> shown_;
};

// Real time run faster by a factor: the position moves at its pace while decoding,
// as on a real medium, runs far ahead of it.
class FastTime : public mci::PlaybackTime {
public:
    explicit FastTime(int factor) : factor_(factor), start_(Clock::now()) {}
    Clock::time_point now() override { return start_ + (Clock::now() - start_) * factor_; }
    bool sleepUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, Clock::time_point t,
                    const std::function<bool()>& stopped) override
    {
        return !wake.wait_until(lock, start_ + (t - start_) / factor_, stopped);
    }

private:
    const int factor_;
    const Clock::time_point start_;
};

// Playing forward through a medium longer than the cache, each picture is decoded
// once: the frames passed make room for those about to be shown, and decoding runs
// on without going back to the key frame (a single one here).
TEST(ForwardPlay, DecodesEachPictureOnceAlsoThroughMoreFramesThanTheCacheHolds)
{
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4LongGop);
    ASSERT_FALSE(clip.path.isEmpty());
    mci::FrameServer server(4 * 1024 * 1024);   // about 30 of its pictures
    ASSERT_EQ(server.open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
    ASSERT_LT(server.cache().capacity(0), clip.frames / 2);
    FastTime time(10);
    ShownFrames frames(server, time);
    mci::PlaybackClock clock(server, time);
    server.setMotion(mci::Motion::Forward);
    clock.start(0, 1, -1);
    ASSERT_TRUE(eventually([&] { return !clock.running(); }));
    const auto shown = frames.take();
    ASSERT_EQ(int64_t(shown.size()), clip.frames - 1);
    EXPECT_LE(server.picturesDecoded(), clip.frames + clip.frames / 10);
}

// A sound that runs on the clock's own time from where play begins it.
class TimedSound {
public:
    explicit TimedSound(mci::PlaybackTime& time) : time_(time) {}

    mci::PlaybackClock::Sound sound()
    {
        return {[this](double at) {
                    moveTo(at);
                    return true;
                },
                [this] { return at(); }, [this](double at) { moveTo(at); }};
    }
    double at()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return from_ + std::chrono::duration<double>(time_.now() - began_).count();
    }

private:
    void moveTo(double at)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        from_ = at;
        began_ = time_.now();
    }

    mci::PlaybackTime& time_;
    std::mutex mutex_;
    double from_ = 0;
    mci::PlaybackTime::Clock::time_point began_ {};
};

// Pictures that take time to reach the screen (a decoder or a display too slow for
// the medium): each one shown costs `cost(frame)` seconds of the clock's time. Records
// each frame with where the sound was when it was shown.
class SlowPictures {
public:
    struct Shown {
        int64_t frame;
        double heard;
    };
    SlowPictures(mci::FrameServer& server, SkippingTime& time, TimedSound& sound, std::function<double(int64_t)> cost)
        : cost_(std::move(cost))
    {
        server.setListener([this, &time, &sound](const mci::FramePtr& frame) {
            {
                std::lock_guard<std::mutex> guard(mutex_);
                shown_.push_back({frame->number(), sound.at()});
            }
            time.advance(std::chrono::duration_cast<mci::PlaybackTime::Clock::duration>(
                std::chrono::duration<double>(cost_(frame->number()))));
        });
    }
    std::vector<Shown> take()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return std::exchange(shown_, {});
    }

private:
    const std::function<double(int64_t)> cost_;
    std::mutex mutex_;
    std::vector<Shown> shown_;
};

// Plays a medium forward to its end with sound on a skipping clock, each picture
// taking as long to show as `cost(frame, heard)` says; what was shown, and dropped.
struct SlowPlay {
    std::vector<SlowPictures::Shown> shown;
    int64_t dropped = 0;
};

SlowPlay playWithSlowPictures(mci::FrameServer& server, const std::function<double(int64_t, double)>& cost)
{
    SkippingTime time;
    TimedSound sound(time);
    SlowPictures pictures(server, time, sound, [&](int64_t n) { return cost(n, sound.at()); });
    mci::PlaybackClock clock(server, time);
    server.setMotion(mci::Motion::Forward);
    clock.start(0, 1, -1, sound.sound());
    EXPECT_TRUE(eventually([&] { return !clock.running(); }));
    clock.stop();
    server.setListener({});
    return {pictures.take(), clock.droppedFrames()};
}

// Each picture takes three frame periods to show: play keeps to the sound, dropping
// the pictures whose time has passed, and every picture shown (once the sound is
// heard running) is the very one the sound is at.
TEST(ForwardPlay, PicturesLateForTheSoundAreDroppedAndEachOneShownIsTheOneTheSoundIsAt)
{
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4H264);
    ASSERT_FALSE(clip.path.isEmpty());
    mci::FrameServer server;
    ASSERT_EQ(server.open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
    const mci::FrameIndex& index = *server.index();
    const SlowPlay play = playWithSlowPictures(server, [](int64_t, double) { return 0.12; });
    const auto& shown = play.shown;
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().frame, clip.frames - 1);
    EXPECT_LT(int64_t(shown.size()), clip.frames / 2);
    EXPECT_EQ(play.dropped + int64_t(shown.size()), clip.frames - 1);
    for (size_t i = 1; i < shown.size(); ++i) {
        const auto [n, heard] = shown[i];
        ASSERT_GT(n, shown[i - 1].frame);
        if (heard < 1.0 || n + 1 >= clip.frames)
            continue;
        EXPECT_LE(index.timeOf(n), heard + 0.001) << "frame " << n;
        EXPECT_GT(index.timeOf(n + 1), heard) << "frame " << n;
    }
}

// One picture stalls the screen until the sound is 0.3 s short of the last key frame,
// seconds ahead (a decoder far behind): play goes on at that key frame, holds it until
// its time, and the pictures between are never decoded.
TEST(ForwardPlay, FarBehindTheSoundPlayGoesOnAtTheNextKeyFrameWithoutDecodingThePicturesBetween)
{
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4H264);   // key frames about 2 s apart
    ASSERT_FALSE(clip.path.isEmpty());
    mci::FrameServer server;
    ASSERT_EQ(server.open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
    const mci::FrameIndex& index = *server.index();
    const int64_t key = index.frameOf(index.decodeStartFor(clip.frames - 1));
    const int64_t keyBefore = index.frameOf(index.decodeStartFor(key - 1));
    ASSERT_GT(keyBefore, 30);
    ASSERT_GT(index.timeOf(key) - index.timeOf(keyBefore), 1.0);
    const double stallUntil = index.timeOf(key) - 0.3;
    const auto shown =
        playWithSlowPictures(server, [&](int64_t n, double heard) { return n == 20 ? stallUntil - heard : 0.0; }).shown;
    const auto stalled = std::find_if(shown.begin(), shown.end(), [](const auto& s) { return s.frame == 20; });
    ASSERT_NE(stalled, shown.end());
    ASSERT_LT(stalled + 2, shown.end());
    EXPECT_EQ(stalled[1].frame, key);
    EXPECT_EQ(stalled[2].frame, key + 1);
    EXPECT_GE(stalled[2].heard, index.timeOf(key + 1) - 0.001);
    EXPECT_EQ(shown.back().frame, clip.frames - 1);
    EXPECT_LT(server.picturesDecoded(), clip.frames - 30);
}

// The same in a single group of pictures (no key frame ahead): play goes on at the
// frame the sound is at, and on the way only the pictures others refer to are decoded.
TEST(ForwardPlay, FarBehindTheSoundInALongGroupOnlyThePicturesReferredToAreDecodedOnTheWay)
{
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4LongGop);   // 150 frames, one key frame
    ASSERT_FALSE(clip.path.isEmpty());
    mci::FrameServer server;
    ASSERT_EQ(server.open(clip.path.toStdString()), mci::FrameServer::Result::Ok);
    const double stallUntil = server.index()->timeOf(120);
    const auto shown =
        playWithSlowPictures(server, [&](int64_t n, double heard) { return n == 20 ? stallUntil - heard : 0.0; }).shown;
    const auto stalled = std::find_if(shown.begin(), shown.end(), [](const auto& s) { return s.frame == 20; });
    ASSERT_LT(stalled + 1, shown.end());
    EXPECT_EQ(stalled[1].frame, 120);
    EXPECT_EQ(shown.back().frame, clip.frames - 1);
    EXPECT_LT(server.picturesDecoded(), clip.frames - 20);
}

TEST(LongHolds, AFrameIsHeldAsLongAsItsStampsSayForwardAndBackward)
{
    const QString path = clipWithALongHold();
    ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make the clip";
    mci::FrameServer server;
    ASSERT_EQ(server.open(path.toStdString()), mci::FrameServer::Result::Ok);
    ASSERT_EQ(server.length(), 10);
    SkippingTime time;
    ShownFrames frames(server, time);
    mci::PlaybackClock clock(server, time);
    // Held for: each frame until the next one's stamp; frame 3 for 3.04 s.
    const auto holdOf = [](int64_t n) { return n == 3 ? 3.04 : 0.04; };
    for (const int direction : {1, -1}) {
        const int64_t from = direction > 0 ? 0 : 9;
        server.show(from);
        ASSERT_TRUE(eventually([&] { return frames.last() == from; }));
        frames.take();
        clock.start(from, direction, -1);
        ASSERT_TRUE(eventually([&] { return !clock.running(); }));
        const auto shown = frames.take();
        ASSERT_EQ(shown.size(), 9u) << "direction " << direction;
        for (size_t i = 0; i < shown.size(); ++i) {
            const int64_t before = from + direction * int64_t(i);
            ASSERT_EQ(shown[i].first, before + direction);
            if (i > 0) {
                EXPECT_NEAR(shown[i].second - shown[i - 1].second, holdOf(before), 0.001)
                    << "frame " << before << " held, direction " << direction;
            }
        }
    }
}

} // namespace
