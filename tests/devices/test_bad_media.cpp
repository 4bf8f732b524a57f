#include "DeviceTestSupport.h"
#include "mci/MciService.h"
#include "mci/SoundDevice.h"
#include "mci/frames/FrameServer.h"

#include <QRandomGenerator>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace keldtest;
using mci::VideoDevice;

namespace {

class BadMedia : public ::testing::Test {
protected:
    void SetUp() override { useHeadlessDevice(); }

    // A failed open leaves a device that opens a good file and shows its frames.
    void expectUsableAfterwards(VideoDevice& device)
    {
        EXPECT_FALSE(device.hasElement());
        EXPECT_EQ(device.mode(), mci::DeviceMode::NotReady);
        const ClipInfo good = StampedClip::get(ClipKind::AviMjpeg);
        ASSERT_EQ(device.open(good.path.toStdString()), mci::MCI_OK);
        ASSERT_EQ(device.seek(7), mci::MCI_OK);
        EXPECT_EQ(frameOnDisplay(device), 7);
    }
};

TEST_F(BadMedia, EachBrokenFileFailsWithItsCodeAndTheDeviceOpensTheNextOne)
{
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator rng(7);
    for (auto& c : noise)
        c = char(rng.bounded(256));
    const QString mkvHead = StampedClip::truncatedCopy(ClipKind::MkvVfr, "cut_head.mkv", 600);
    const QString mp4Half = StampedClip::truncatedCopy(
        ClipKind::Mp4H264, "cut_half.mp4", QFileInfo(StampedClip::get(ClipKind::Mp4H264).path).size() / 2);
    const QString dir = StampedClip::folder() + "/a_folder.avi";
    QDir().mkpath(dir);
    // A pipe nobody writes to: opening it for reading would wait for ever.
    const QString pipe = StampedClip::folder() + "/a_pipe.mp4";
    QFile::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);

    const struct {
        QString path;
        mci::ErrorCode code;
    } cases[] = {
        {StampedClip::folder() + "/no_such_file.avi", mci::MCIERR_FILE_NOT_FOUND},
        {StampedClip::writeBytes("empty.avi", {}), mci::MCIERR_INVALID_FILE},
        {StampedClip::writeBytes("noise.avi", noise), mci::MCIERR_INVALID_FILE},
        {mp4Half, mci::MCIERR_INVALID_FILE},   // index (moov) at the end, cut away
        {mkvHead, mci::MCIERR_INVALID_FILE},   // headers only, not one frame
        {dir, mci::MCIERR_INVALID_FILE},
        {pipe, mci::MCIERR_INVALID_FILE},
        {StampedClip::get(ClipKind::AudioOnly).path, mci::MCIERR_INVALID_FILE},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.path.isEmpty());
        VideoDevice device;
        EXPECT_EQ(device.open(c.path.toStdString()), c.code) << c.path.toStdString();
        expectUsableAfterwards(device);
    }
}

TEST_F(BadMedia, ACutMatroskaFilePlaysTheFramesItHas)
{
    const ClipInfo full = StampedClip::get(ClipKind::MkvVfr);
    const QString half = StampedClip::truncatedCopy(ClipKind::MkvVfr, "cut_half.mkv", QFileInfo(full.path).size() / 2);
    VideoDevice device;
    ASSERT_EQ(device.open(half.toStdString()), mci::MCI_OK);
    const int64_t frames = device.length();
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, full.frames);
    // Asking past what is there shows the last frame that is there.
    ASSERT_EQ(device.seek(full.frames), mci::MCI_OK);
    EXPECT_EQ(device.position(), frames - 1);
    const int shown = frameOnDisplay(device);
    EXPECT_GE(shown, frames - 2);   // a cut last packet may not decode
    EXPECT_LE(shown, frames - 1);
}

TEST_F(BadMedia, WaveAudioPlaysSoundOnlyAndCountsMilliseconds)
{
    const ClipInfo audio = StampedClip::get(ClipKind::AudioOnly);
    mci::SoundDevice device;
    ASSERT_EQ(device.open(audio.path.toStdString()), mci::MCI_OK);
    EXPECT_EQ(device.length(), 3000);
    EXPECT_EQ(device.nominalFrameRate1000(), 1000 * 1000);
    EXPECT_FALSE(device.capabilities().hasVideo);
    EXPECT_FALSE(device.capabilities().canReverse);
    ASSERT_EQ(device.seek(1500), mci::MCI_OK);
    EXPECT_EQ(device.position(), 1500);
    EXPECT_EQ(device.capture((StampedClip::folder() + "/wave.bmp").toStdString()), mci::MCIERR_UNSUPPORTED_FUNCTION);
    EXPECT_EQ(device.play(true), mci::MCIERR_UNSUPPORTED_FUNCTION);
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    EXPECT_EQ(device.mode(), mci::DeviceMode::Playing);
    ASSERT_TRUE(eventually([&] { return device.position() > 1600; }));
}

TEST_F(BadMedia, ABareDeviceAnswersCapabilitiesButHasNothingToPlay)
{
    VideoDevice device;
    ASSERT_EQ(device.open(""), mci::MCI_OK);
    EXPECT_TRUE(device.ready());
    EXPECT_TRUE(device.capabilities().canStretch);
    EXPECT_FALSE(device.hasElement());
    EXPECT_NE(device.play(false), mci::MCI_OK);
    EXPECT_NE(device.seek(3), mci::MCI_OK);
    EXPECT_EQ(device.length(), 0);
}

TEST_F(BadMedia, MpegProgramStreamsPlayBackwardsToo)
{
    VideoDevice device;
    ASSERT_EQ(device.open(StampedClip::get(ClipKind::MpegPs).path.toStdString()), mci::MCI_OK);
    EXPECT_TRUE(device.capabilities().canReverse);
    ASSERT_EQ(device.seek(40), mci::MCI_OK);
    ASSERT_EQ(device.play(true), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.mode() == mci::DeviceMode::Stopped; }));
    EXPECT_EQ(device.position(), 0);
    EXPECT_EQ(frameOnDisplay(device), 0);
}

TEST_F(BadMedia, AHeaderThatClaimsABillionSecondsOpensWithTheFramesItHas)
{
    // The Matroska segment's duration (element 0x4489, an 8-byte float in
    // milliseconds) says a billion seconds; the file holds 60 frames.
    const ClipInfo clip = StampedClip::get(ClipKind::MkvVfr);
    QFile in(clip.path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    const int at = bytes.indexOf(QByteArray("\x44\x89\x88", 3));
    ASSERT_GT(at, 0);
    const double claimed = 1e12;
    quint64 bits = 0;
    std::memcpy(&bits, &claimed, sizeof bits);
    for (int i = 0; i < 8; ++i)
        bytes[at + 3 + i] = char(bits >> (56 - 8 * i));
    const QString liar = StampedClip::writeBytes("billion_seconds.mkv", bytes);
    VideoDevice device;
    ASSERT_EQ(device.open(liar.toStdString()), mci::MCI_OK);
    EXPECT_EQ(device.length(), 60);
    ASSERT_EQ(device.seek(59), mci::MCI_OK);
    EXPECT_EQ(frameOnDisplay(device), 59);
}

TEST_F(BadMedia, LocalNamesThatLookLikeAddressesOrStandardInputAreOpenedAsFiles)
{
    const ClipInfo clip = StampedClip::get(ClipKind::AviMjpeg);
    const QString root = StampedClip::folder() + "/names_like_urls";
    QDir().mkpath(root + "/http:/127.0.0.1:8765");
    const QString dash = root + "/-";
    const QString url = root + "/http:/127.0.0.1:8765/x.avi";
    for (const QString& copy : {dash, url}) {
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(clip.path, copy));
    }
    const QString before = QDir::currentPath();
    QDir::setCurrent(root);
    for (const char* name : {"-", "http:/127.0.0.1:8765/x.avi", "./-"}) {
        VideoDevice device;
        EXPECT_EQ(device.open(name), mci::MCI_OK) << name;
        EXPECT_EQ(device.length(), clip.frames) << name;
        ASSERT_EQ(device.seek(9), mci::MCI_OK);
        EXPECT_EQ(frameOnDisplay(device), 9) << name;
    }
    QDir::setCurrent(before);
}

// A copy of a clip under a name of its own, for a test that changes the file.
QString copyOf(ClipKind kind, const QString& name)
{
    const QString path = StampedClip::folder() + "/" + name;
    QFile::remove(path);
    return QFile::copy(StampedClip::get(kind).path, path) ? path : QString();
}

// The file is read through what was opened, whatever happens to its name: deleted,
// or another file put in its place, the device shows the opened file's frames,
// also where it must read the file from its start again (frame 1's group).
TEST_F(BadMedia, AFileDeletedOrReplacedWhileOpenStillShowsItsOwnFrames)
{
    // A small cache: frame 1 is then no longer at hand after the seek to 110.
    const QByteArray saved = qgetenv("KELD32_MCI_CACHE_MIB");
    qputenv("KELD32_MCI_CACHE_MIB", "16");
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "deleted");
        const QString path = copyOf(ClipKind::Mp4H264, "doomed.mp4");
        ASSERT_FALSE(path.isEmpty());
        VideoDevice device;
        ASSERT_EQ(device.open(path.toStdString()), mci::MCI_OK);
        ASSERT_EQ(device.seek(110), mci::MCI_OK);
        EXPECT_EQ(frameOnDisplay(device), 110);
        ASSERT_TRUE(QFile::remove(path));
        if (replace) {
            QByteArray other(int(QFileInfo(StampedClip::get(ClipKind::Mp4H264).path).size()), '\0');
            QRandomGenerator rng(11);
            for (auto& c : other)
                c = char(rng.bounded(256));
            ASSERT_EQ(StampedClip::writeBytes("doomed.mp4", other), path);
        }
        for (const int n : {1, 60, 3, 124}) {
            ASSERT_EQ(device.seek(n), mci::MCI_OK);
            EXPECT_EQ(frameOnDisplay(device), n);
        }
        ASSERT_EQ(device.seek(0), mci::MCI_OK);
        ASSERT_EQ(device.play(false), mci::MCI_OK);
        ASSERT_TRUE(eventually([&] { return device.mode() == mci::DeviceMode::Stopped; }));
        EXPECT_EQ(device.position(), 124);
    }
    qputenv("KELD32_MCI_CACHE_MIB", saved);
}

// A file cut short or written to while it plays: play stops, and every later request
// for a picture is refused with a read error, at once.
TEST_F(BadMedia, AFileCutWhileItPlaysStopsThePlayAndRefusesPictures)
{
    const QString path = copyOf(ClipKind::TsRestart, "cut_while_playing.ts");
    ASSERT_FALSE(path.isEmpty());
    VideoDevice device;
    ASSERT_EQ(device.open(path.toStdString()), mci::MCI_OK);
    const int64_t length = device.length();
    ASSERT_EQ(device.play(false), mci::MCI_OK);
    ASSERT_TRUE(eventually([&] { return device.position() > 5; }));
    ASSERT_EQ(::truncate(path.toLocal8Bit().constData(), QFileInfo(path).size() / 3), 0);
    ASSERT_TRUE(eventually([&] { return device.mode() == mci::DeviceMode::Stopped; }));
    EXPECT_LT(device.position(), length - 1);
    EXPECT_EQ(device.length(), length);
    EXPECT_EQ(device.seek(length - 1), mci::MCIERR_FILE_READ);
    EXPECT_EQ(device.step(1), mci::MCIERR_FILE_READ);
    EXPECT_EQ(device.play(false), mci::MCIERR_FILE_READ);
    EXPECT_EQ(frameOnDisplay(device), -2);
    EXPECT_NE(device.mode(), mci::DeviceMode::Playing);
    EXPECT_NE(device.mode(), mci::DeviceMode::Seeking);
}

// Damaged copies of clips, made the same way each run.
QString damagedCopy(ClipKind kind, const QString& name, quint32 seed, const char* how)
{
    QFile in(StampedClip::get(kind).path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = in.readAll();
    QRandomGenerator rng(seed);
    const int size = int(bytes.size());
    if (std::strcmp(how, "flips") == 0) {
        // A bit flipped every 1 to 4 KiB past the first 4 KiB (the headers stay readable).
        for (int at = 4096 + int(rng.bounded(1024, 4096)); at < size; at += int(rng.bounded(1024, 4096)))
            bytes[at] = char(bytes[at] ^ (1 << rng.bounded(8)));
    } else if (std::strcmp(how, "zeros") == 0) {
        for (int at = size / 3; at < size / 3 + 24 * 1024 && at < size; ++at)
            bytes[at] = 0;
    } else {
        bytes.truncate(size * 2 / 3 + 77);   // in the middle of a packet
    }
    return StampedClip::writeBytes(name, bytes);
}

// After seeks across a damaged MPEG program stream the worker comes to rest: a job
// that brings nothing new (frames cached already, a frame that never comes) is not
// repeated for ever.
TEST(DamagedProgramStream, TheWorkerComesToRestAfterSeeks)
{
    const QString path = damagedCopy(ClipKind::MpegPs, "rest_flips.mpg", 2, "flips");
    ASSERT_FALSE(path.isEmpty());
    mci::FrameServer server(16 * 1024 * 1024);
    ASSERT_EQ(server.open(path.toStdString()), mci::FrameServer::Result::Ok);
    // At each position in turn, the job count comes to stand still once the cache
    // holds what the position needs.
    for (int64_t n = 0; n < server.length(); ++n) {
        server.show(n);
        int64_t before = -1;
        const bool rests = eventually([&] {
            const int64_t now = server.jobsRun();
            const bool still = now == before;
            before = now;
            return still;
        }, 40);
        ASSERT_TRUE(rests) << "frame " << n << ": " << server.jobsRun() << " jobs";
    }
}

struct Damage {
    ClipKind kind;
    quint32 seed;
    const char* how;
    const char* name;
};

class DamagedMedia : public ::testing::TestWithParam<Damage> {
protected:
    void SetUp() override { useHeadlessDevice(); }
};

// Packets that decode to no picture: play goes past them and ends, a seek or a capture
// of such a frame is refused at once, a seek to any other frame shows it, and the
// mode never stays "seeking" or "playing" with nothing moving. The length stays the
// count of frames the file holds; a frame that cannot be decoded keeps its number.
TEST_P(DamagedMedia, PlayEndsAndEveryFrameIsShownOrRefusedAtOnce)
{
    const Damage d = GetParam();
    const QString path = damagedCopy(d.kind, d.name, d.seed, d.how);
    ASSERT_FALSE(path.isEmpty());
    mci::MciService service;
    std::string reply;
    const auto send = [&](const std::string& command) { return service.send(command, reply); };
    if (send("open \"" + path.toStdString() + "\" type mpegvideo alias vid") != mci::MCI_OK)
        return;   // refused whole: as good an answer as any for a damaged file
    ASSERT_EQ(send("set vid time format frames"), mci::MCI_OK);
    ASSERT_EQ(send("status vid length"), mci::MCI_OK);
    const int length = std::stoi(reply);
    ASSERT_GT(length, 0);
    ASSERT_EQ(send("play vid wait"), mci::MCI_OK);
    ASSERT_EQ(send("status vid mode"), mci::MCI_OK);
    EXPECT_EQ(reply, "stopped");
    int refused = 0;
    for (int n = length - 1; n >= 0; n -= 3) {
        const mci::ErrorCode landed = send("seek vid to " + std::to_string(n) + " wait");
        ASSERT_TRUE(landed == mci::MCI_OK || landed == mci::MCIERR_FILE_READ) << "frame " << n << ": " << landed;
        ASSERT_EQ(send("status vid mode"), mci::MCI_OK);
        EXPECT_EQ(reply, "stopped") << "frame " << n;
        ASSERT_EQ(send("status vid position"), mci::MCI_OK);
        EXPECT_EQ(reply, std::to_string(n));
        const std::string bmp = (StampedClip::folder() + "/damaged.bmp").toStdString();
        EXPECT_EQ(send("capture vid as \"" + bmp + "\""), landed) << "frame " << n;
        refused += landed != mci::MCI_OK;
    }
    EXPECT_LT(refused, length / 3);
    EXPECT_EQ(send("close vid"), mci::MCI_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedMedia,
    ::testing::Values(Damage {ClipKind::Mp4H264, 1, "flips", "flips.mp4"},
                      Damage {ClipKind::MpegPs, 2, "flips", "flips.mpg"},
                      Damage {ClipKind::TsRestart, 3, "flips", "flips.ts"},
                      Damage {ClipKind::TsRestart, 4, "zeros", "zeros.ts"},
                      Damage {ClipKind::AviMpeg4, 5, "flips", "flips.avi"},
                      Damage {ClipKind::MpegPs, 6, "cut", "cut.mpg"}),
    [](const ::testing::TestParamInfo<Damage>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

} // namespace
