#include "DeviceTestSupport.h"
#include "SmallClip.h"
#include "mci/BmpWriter.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <cstdlib>

using namespace keldtest;
using mci::VideoDevice;

namespace {

quint32 le32(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16
           | quint32(uchar(b[at + 3])) << 24;
}

TEST(Capture, WritesA24BitBitmapAtSourceSizeOfTheFrameOnDisplay)
{
    useHeadlessDevice();
    VideoDevice device;
    ASSERT_EQ(device.open(StampedClip::get(ClipKind::WebmVp9).path.toStdString()), mci::MCI_OK);
    ASSERT_EQ(device.seek(45), mci::MCI_OK);
    const QString path = StampedClip::folder() + "/capture45.bmp";
    QFile::remove(path);
    ASSERT_EQ(device.capture(path.toStdString()), mci::MCI_OK);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 18), 320u);
    EXPECT_EQ(le32(bytes, 22), 240u);
    EXPECT_EQ(uchar(bytes[28]), 24);          // bits per pixel
    EXPECT_EQ(le32(bytes, 30), 0u);           // uncompressed
    EXPECT_EQ(bytes.size(), 54 + 320 * 3 * 240);
    EXPECT_EQ(StampedClip::readStamp(path), 45);
}

TEST(Capture, AnUnwritablePathFailsWithoutLeavingAFile)
{
    useHeadlessDevice();
    VideoDevice device;
    ASSERT_EQ(device.open(StampedClip::get(ClipKind::AviMjpeg).path.toStdString()), mci::MCI_OK);
    const QString missingDir = StampedClip::folder() + "/no/such/dir/wcap0001.bmp";
    EXPECT_EQ(device.capture(missingDir.toStdString()), mci::MCIERR_FILE_WRITE);
    EXPECT_FALSE(QFileInfo::exists(missingDir));
    // A folder in the way of the file name.
    const QString folder = StampedClip::folder() + "/in_the_way.bmp";
    QDir().mkpath(folder);
    EXPECT_EQ(device.capture(folder.toStdString()), mci::MCIERR_FILE_WRITE);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(device.capture(""), mci::MCIERR_FILENAME_REQUIRED);
    // Nothing open: an error, not a crash.
    VideoDevice closed;
    EXPECT_NE(closed.capture((StampedClip::folder() + "/x.bmp").toStdString()), mci::MCI_OK);
}

TEST(BmpWriter, RowsAreStoredBottomUpInBlueGreenRedAndPaddedToFourBytes)
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 0, 0));   // top left red
    img.setPixel(1, 0, qRgb(0, 255, 0));
    img.setPixel(2, 0, qRgb(0, 0, 255));
    img.setPixel(0, 1, qRgb(10, 20, 30));  // bottom left
    img.setPixel(1, 1, qRgb(0, 0, 0));
    img.setPixel(2, 1, qRgb(0, 0, 0));
    const QByteArray b = mci::BmpWriter::encode(img);
    const int row = 12;   // 3 pixels x 3 bytes, padded to 12
    ASSERT_EQ(b.size(), 54 + 2 * row);
    EXPECT_EQ(le32(b, 2), quint32(b.size()));
    // First stored row is the bottom one.
    EXPECT_EQ(uchar(b[54]), 30);
    EXPECT_EQ(uchar(b[55]), 20);
    EXPECT_EQ(uchar(b[56]), 10);
    EXPECT_EQ(uchar(b[54 + row + 2]), 255);   // red of the top-left pixel, stored last of three
    EXPECT_EQ(uchar(b[54 + row]), 0);
    // Qt reads it back as the same picture.
    const QImage back = QImage::fromData(b, "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(back.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(back.pixel(0, 1), qRgb(10, 20, 30));
}

TEST(Capture, WritesTheWholeFrameOfAnySizeAlsoTheSmallest)
{
    useHeadlessDevice();
    for (const QSize size : {QSize(1, 1), QSize(7, 7), QSize(2, 64), QSize(250, 180)}) {
        const QString clip = smallClip(size.width(), size.height());
        ASSERT_FALSE(clip.isEmpty());
        VideoDevice device;
        ASSERT_EQ(device.open(clip.toStdString()), mci::MCI_OK);
        const QString path = StampedClip::folder() + "/capture_small.bmp";
        QFile::remove(path);
        ASSERT_EQ(device.capture(path.toStdString()), mci::MCI_OK);
        const QImage image(path);
        EXPECT_EQ(image.size(), size);
    }
}

// A picture stored on its side (a phone held upright) is shown and captured upright,
// and its source size is the upright one: exactly as ffmpeg turns it.
TEST(Capture, PicturesStoredOnTheirSideAreShownUprightAsFfmpegTurnsThem)
{
    useHeadlessDevice();
    const ClipInfo clip = StampedClip::get(ClipKind::AviMjpeg);
    ASSERT_FALSE(clip.path.isEmpty());
    for (const int degrees : {90, 180, 270}) {
        const QString turned = StampedClip::folder() + QStringLiteral("/turned%1.mov").arg(degrees);
        const QString truth = StampedClip::folder() + QStringLiteral("/turned%1.png").arg(degrees);
        QFile::remove(turned);
        QFile::remove(truth);
        ASSERT_EQ(QProcess::execute("ffmpeg", {"-v", "error", "-y", "-i", clip.path, "-c", "copy", "-metadata:s:v:0",
                                               QStringLiteral("rotate=%1").arg(degrees), turned}),
                  0);
        ASSERT_EQ(QProcess::execute("ffmpeg", {"-v", "error", "-y", "-i", turned, "-vf", "select=eq(n\\,7)",
                                               "-vsync", "passthrough", "-frames:v", "1", truth}),
                  0);
        VideoDevice device;
        ASSERT_EQ(device.open(turned.toStdString()), mci::MCI_OK);
        ASSERT_EQ(device.seek(7), mci::MCI_OK);
        const QImage expected = QImage(truth).convertToFormat(QImage::Format_RGB32);
        const mci::Rect source = device.source();
        EXPECT_EQ(QSize(source.width, source.height), expected.size()) << degrees;
        const QString shot = StampedClip::folder() + "/turned.bmp";
        QFile::remove(shot);
        ASSERT_EQ(device.capture(shot.toStdString()), mci::MCI_OK);
        const QImage captured = QImage(shot).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(captured.size(), expected.size()) << degrees;
        // The same conversion on both sides but for rounding: far apart when turned wrongly.
        double difference = 0;
        for (int y = 0; y < captured.height(); ++y)
            for (int x = 0; x < captured.width(); ++x) {
                const QRgb a = captured.pixel(x, y), b = expected.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(difference / (3.0 * captured.width() * captured.height()), 6.0) << degrees;
    }
}

} // namespace
