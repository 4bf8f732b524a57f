#include "MpvTestSupport.h"
#include "mci/MpvAudioDevice.h"

#include <QRandomGenerator>

#include <cstring>

using namespace keldtest;
using mci::MpvDevice;

namespace {

class BadMedia : public ::testing::Test {
protected:
    void SetUp() override { useHeadlessDevice(); }

    // A failed open leaves a device that opens a good file and shows its frames.
    void expectUsableAfterwards(MpvDevice& device)
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
        {StampedClip::get(ClipKind::AudioOnly).path, mci::MCIERR_INVALID_FILE},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.path.isEmpty());
        MpvDevice device;
        EXPECT_EQ(device.open(c.path.toStdString()), c.code) << c.path.toStdString();
        expectUsableAfterwards(device);
    }
}

TEST_F(BadMedia, ACutMatroskaFilePlaysTheFramesItHas)
{
    const ClipInfo full = StampedClip::get(ClipKind::MkvVfr);
    const QString half = StampedClip::truncatedCopy(ClipKind::MkvVfr, "cut_half.mkv", QFileInfo(full.path).size() / 2);
    MpvDevice device;
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
    mci::MpvAudioDevice device;
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
    MpvDevice device;
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
    MpvDevice device;
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
    MpvDevice device;
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
        MpvDevice device;
        EXPECT_EQ(device.open(name), mci::MCI_OK) << name;
        EXPECT_EQ(device.length(), clip.frames) << name;
        ASSERT_EQ(device.seek(9), mci::MCI_OK);
        EXPECT_EQ(frameOnDisplay(device), 9) << name;
    }
    QDir::setCurrent(before);
}

} // namespace
