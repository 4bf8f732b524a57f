#include "MpvTestSupport.h"
#include "mci/BmpWriter.h"
#include "mci/FrameIndex.h"

#include <QFileInfo>

using namespace keldtest;
using mci::MpvDevice;

namespace {

quint32 le32(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16
           | quint32(uchar(b[at + 3])) << 24;
}

TEST(Capture, WritesA24BitBitmapAtSourceSizeOfTheFrameOnDisplay)
{
    useHeadlessDevice();
    MpvDevice device;
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
    MpvDevice device;
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
    MpvDevice closed;
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

TEST(FrameIndex, VariableRateFramesKeepTheirOwnTimes)
{
    mci::FrameIndex index;
    ASSERT_EQ(index.build(StampedClip::get(ClipKind::MkvVfr).path.toStdString()), mci::FrameIndex::Result::Ok);
    ASSERT_EQ(index.count(), 60);
    // Durations alternate 40 and 80 ms: frame 2 starts at 120 ms, frame 3 at 160 ms.
    EXPECT_NEAR(index.timeOf(3) - index.timeOf(2), 0.040, 1e-6);
    EXPECT_NEAR(index.timeOf(4) - index.timeOf(3), 0.080, 1e-6);
    const double t2 = index.timeOf(2);
    EXPECT_EQ(index.frameAtTime(t2 - 0.005, 0, 60), 1);
    EXPECT_EQ(index.frameAtTime(t2, 0, 60), 2);
    EXPECT_EQ(index.frameAtTime(t2 + 0.030, 0, 60), 2);
    EXPECT_EQ(index.frameAtTime(-5, 0, 60), 0);
    EXPECT_EQ(index.frameAtTime(1e6, 0, 60), 59);
}

TEST(FrameIndex, MissingAndUnreadableFilesAreTold)
{
    mci::FrameIndex index;
    EXPECT_EQ(index.build(StampedClip::folder().toStdString() + "/nothing_here.mp4"), mci::FrameIndex::Result::NotFound);
    EXPECT_EQ(index.build(StampedClip::folder().toStdString()), mci::FrameIndex::Result::Invalid);
    EXPECT_FALSE(index.hasVideo());
    EXPECT_EQ(index.count(), 0);
}

} // namespace
