// The painter on decoded frames: what reaches the window, in every pixel format,
// and nothing outside the rows it is given.
#include "SmallClip.h"
#include "StampedClip.h"
#include "mci/frames/FramePainter.h"
#include "mci/frames/FrameServer.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace keldtest;

namespace {

TEST(FramePainter, AMagnifiedAndPannedDestinationShowsThatPartOfThePictureAndBlackAround)
{
    // Frame 74 = bits 1, 3 and 6: bars 1, 3 and 6 of 16 (20 pixels each) are white.
    mci::FrameServer server;
    ASSERT_EQ(server.open(StampedClip::get(ClipKind::AviMjpeg).path.toStdString()), mci::FrameServer::Result::Ok);
    server.show(74);
    const mci::FramePtr frame = server.waitFor(74, std::chrono::seconds(10));
    ASSERT_TRUE(frame);
    QImage window(320, 240, QImage::Format_RGB32);
    mci::FramePainter painter;
    const auto white = [&](int x) { return qGray(window.pixel(x, 120)) > 128; };
    // Twice the size, moved 40 pixels left: bar b spans 40 pixels from 40 b - 40.
    ASSERT_TRUE(painter.paint(*frame, {-40, 0, 640, 480}, window.bits(), 320, 240, int(window.bytesPerLine())));
    for (int b = 1; b < 8; ++b)
        EXPECT_EQ(white(40 * b - 20), ((74 >> b) & 1) != 0) << "bar " << b;
    // A small destination: the picture inside it, black around it.
    ASSERT_TRUE(painter.paint(*frame, {160, 60, 160, 120}, window.bits(), 320, 240, int(window.bytesPerLine())));
    EXPECT_EQ(qGray(window.pixel(10, 10)), 0);
    EXPECT_EQ(qGray(window.pixel(150, 200)), 0);
    EXPECT_EQ(white(160 + 10 * 3 + 5), true);    // bar 3, now 10 pixels wide
    EXPECT_EQ(white(160 + 10 * 2 + 5), false);
}

// swscale's vector code writes past the end of the rows it is given: into the
// next row, the black border, or the heap beyond the last row. Every byte outside
// what a paint may touch carries a mark that must survive it.
TEST(FramePainter, WritesNoByteOutsideItsRowsAtAnySizeAndPixelFormat)
{
    const QList<QSize> sizes = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {12, 12}, {24, 24},
                                {2, 64}, {40, 30}, {90, 60}, {120, 90}, {200, 150}, {250, 180}, {33, 17}};
    const int formats[] = {mci::FramePainter::formatFor({32, 0xff0000, 0xff00, 0xff, false}),
                           mci::FramePainter::formatFor({16, 0xf800, 0x7e0, 0x1f, false}),
                           mci::FramePainter::formatFor({16, 0x7c00, 0x3e0, 0x1f, false}),
                           mci::FramePainter::formatFor({24, 0xff0000, 0xff00, 0xff, false})};
    constexpr uint8_t kMark = 0xa5;
    constexpr int kGuard = 64;
    for (const QSize& size : sizes) {
        const QString clip = smallClip(size.width(), size.height());
        ASSERT_FALSE(clip.isEmpty()) << "ffmpeg could not make the clip";
        mci::FrameServer server;
        ASSERT_EQ(server.open(clip.toStdString()), mci::FrameServer::Result::Ok) << clip.toStdString();
        server.show(0);
        const mci::FramePtr frame = server.waitFor(0, std::chrono::seconds(10));
        ASSERT_TRUE(frame);
        for (const int format : formats) {
            mci::FramePainter painter;
            ASSERT_TRUE(painter.setFormat(format));
            const int bpp = painter.bytesPerPixel();
            const int w = size.width();
            const int h = size.height();
            // The whole target, exactly w x h, followed by guard bytes.
            std::vector<uint8_t> exact(size_t(w) * h * bpp + kGuard, kMark);
            EXPECT_TRUE(painter.paint(*frame, {0, 0, w, h}, exact.data(), w, h, w * bpp));
            for (size_t i = size_t(w) * h * bpp; i < exact.size(); ++i)
                ASSERT_EQ(exact[i], kMark) << w << "x" << h << " format " << format << ": byte " << i;
            // A destination one pixel in from every side of a target with longer rows:
            // the border must be black and the bytes past each row untouched.
            const int tw = w + 2;
            const int th = h + 2;
            const int stride = tw * bpp + 8;
            std::vector<uint8_t> framed(size_t(stride) * th + kGuard, kMark);
            painter.paint(*frame, {1, 1, w, h}, framed.data(), tw, th, stride);
            for (int y = 0; y < th; ++y) {
                const uint8_t* row = framed.data() + size_t(y) * stride;
                for (int x = tw * bpp; x < stride; ++x)
                    ASSERT_EQ(row[x], kMark) << w << "x" << h << " format " << format << ": row " << y;
                const int rightBorder = (tw - 1) * bpp;
                ASSERT_NE(row[rightBorder], kMark) << w << "x" << h << " format " << format << ": row " << y;
            }
            // An image of the painter's own with room after it (a window's) is converted
            // into straight: the same pixels and black border as through the scratch,
            // nothing written past the room.
            const int ownStride = (tw * bpp + 15) / 16 * 16;
            for (const mci::PictureRect dest : {mci::PictureRect {1, 1, w, h}, mci::PictureRect {0, 0, tw, th}}) {
                std::vector<uint8_t> through(size_t(stride) * th, kMark);
                painter.paint(*frame, dest, through.data(), tw, th, stride);
                std::vector<uint8_t> owned(size_t(ownStride) * th + mci::FramePainter::kRoom + kGuard + 16, kMark);
                const size_t skew = (16 - reinterpret_cast<uintptr_t>(owned.data()) % 16) % 16;
                uint8_t* image = owned.data() + skew;
                painter.paint(*frame, dest, image, tw, th, ownStride, mci::FramePainter::kRoom);
                for (int y = 0; y < th; ++y)
                    ASSERT_EQ(std::memcmp(image + size_t(y) * ownStride, through.data() + size_t(y) * stride,
                                          size_t(tw) * bpp),
                              0)
                        << w << "x" << h << " format " << format << " at " << dest.left << ": row " << y;
                for (size_t i = size_t(ownStride) * th + mci::FramePainter::kRoom + skew; i < owned.size(); ++i)
                    ASSERT_EQ(owned[i], kMark) << w << "x" << h << " format " << format << ": byte " << i;
            }
        }
    }
}

// On a 16- or 15-bit display the picture is drawn in the screen's own format.
TEST(FramePainter, PaintsSixteenAndFifteenBitPixelsThatShowThePicture)
{
    mci::FrameServer server;
    ASSERT_EQ(server.open(StampedClip::get(ClipKind::AviMjpeg).path.toStdString()), mci::FrameServer::Result::Ok);
    server.show(74);
    const mci::FramePtr frame = server.waitFor(74, std::chrono::seconds(10));
    ASSERT_TRUE(frame);
    const std::pair<mci::FramePainter::PixelMasks, QImage::Format> formats[] = {
        {{16, 0xf800, 0x7e0, 0x1f, false}, QImage::Format_RGB16},
        {{16, 0x7c00, 0x3e0, 0x1f, false}, QImage::Format_RGB555},
        {{32, 0xff, 0xff00, 0xff0000, false}, QImage::Format_RGBX8888}};
    for (const auto& [format, qtFormat] : formats) {
        QImage window(320, 240, qtFormat);
        window.fill(Qt::red);
        mci::FramePainter painter;
        ASSERT_TRUE(painter.setFormat(mci::FramePainter::formatFor(format)));
        ASSERT_TRUE(painter.paint(*frame, {0, 0, 320, 240}, window.bits(), 320, 240, int(window.bytesPerLine())));
        EXPECT_EQ(StampedClip::readStamp(window), 74) << "bits " << format.bitsPerPixel;
        EXPECT_LT(qGray(window.pixel(10, 120)), 32) << "bits " << format.bitsPerPixel;   // bar 0 is black
    }
    // An 8-bit palette, or masks no format has, are refused rather than drawn wrong.
    mci::FramePainter painter;
    EXPECT_EQ(mci::FramePainter::formatFor({8, 0, 0, 0, false}), -1);
    EXPECT_EQ(mci::FramePainter::formatFor({16, 0xf00, 0xf0, 0xf, false}), -1);
    EXPECT_FALSE(painter.setFormat(-1));
}

// A one-frame clip of a lavfi source encoded with these output options; empty on failure.
QString encodedClip(const QString& name, const QString& source, const QStringList& options)
{
    const QString path = StampedClip::folder() + "/colours_" + name;
    QFile::remove(path);
    QStringList args = {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i", source, "-frames:v", "1"};
    args << options << path;
    return QProcess::execute("ffmpeg", args) == 0 ? path : QString();
}

// ffmpeg's own picture of the clip's first frame in B, G, R, A bytes at its size.
QByteArray ffmpegBgra(const QString& path, const QStringList& filters = {})
{
    QProcess ffmpeg;
    QStringList args = {"-hide_banner", "-loglevel", "error", "-i", path, "-frames:v", "1"};
    if (!filters.isEmpty())
        args << "-vf" << filters.join(',');
    args << "-f" << "rawvideo" << "-pix_fmt" << "bgra" << "-";
    ffmpeg.start("ffmpeg", args);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    return ffmpeg.readAllStandardOutput();
}

// The clip's first frame as the window shows it, at the picture's own size.
QImage painted(const QString& path, QSize size)
{
    mci::FrameServer server;
    if (server.open(path.toStdString()) != mci::FrameServer::Result::Ok)
        return {};
    server.show(0);
    const mci::FramePtr frame = server.waitFor(0, std::chrono::seconds(10));
    if (!frame)
        return {};
    const int w = size.width();
    const int h = size.height();
    QImage image(w, h, QImage::Format_RGB32);   // B, G, R, A bytes on this machine
    mci::FramePainter painter;
    if (!painter.paint(*frame, {0, 0, w, h}, image.bits(), w, h, int(image.bytesPerLine())))
        return {};
    return image;
}

// Mean absolute difference of blue, green and red between the image and B, G, R, A bytes.
std::array<double, 3> meanDifference(const QImage& image, const QByteArray& bgra)
{
    std::array<double, 3> sum {};
    for (int y = 0; y < image.height(); ++y) {
        const uchar* a = image.constScanLine(y);
        const uchar* b = reinterpret_cast<const uchar*>(bgra.constData()) + qsizetype(y) * image.width() * 4;
        for (int x = 0; x < image.width() * 4; x += 4)
            for (int c = 0; c < 3; ++c)
                sum[size_t(c)] += std::abs(int(a[x + c]) - int(b[x + c]));
    }
    for (double& s : sum)
        s /= double(image.width()) * image.height();
    return sum;
}

// Saturated bars are where a wrong matrix shows: BT.709 read as BT.601 is 12 levels
// off in green on average, 2 in blue; full range read as limited 5 to 23. With the
// right conversion 8-bit 4:2:0, 4:2:2 and 4:4:4 at even sizes come out identical to
// ffmpeg's; 10-bit and odd sizes differ by up to 0.75 (ffmpeg interpolates chroma
// bicubically, the painter bilinearly), hence the bound.
constexpr double kColourTolerance = 1.0;

TEST(FramePainter, ColoursAreFfmpegsForEveryMatrixRangeDepthAndSubsampling)
{
    struct Case {
        const char* name;
        QString source;
        QSize size;
        QStringList options;
    };
    const QString bars = "smptebars=size=320x240:rate=25";
    const QString odd = "smptebars=size=317x181:rate=25";
    const QSize barsSize(320, 240), oddSize(317, 181);
    const Case cases[] = {
        {"bt601.mkv", bars, barsSize, {"-pix_fmt", "yuv420p", "-colorspace", "bt470bg", "-color_range", "tv", "-c:v", "ffv1"}},
        {"bt709.mkv", bars, barsSize, {"-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_range", "tv", "-c:v", "ffv1"}},
        {"bt709_full.mkv", bars, barsSize, {"-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_range", "pc", "-c:v", "ffv1"}},
        {"jpeg.avi", bars, barsSize, {"-pix_fmt", "yuvj420p", "-c:v", "mjpeg", "-q:v", "2"}},
        {"bt709_10bit.mkv", bars, barsSize, {"-pix_fmt", "yuv420p10le", "-colorspace", "bt709", "-c:v", "ffv1"}},
        {"bt709_10bit_hevc.mkv", bars, barsSize,
         {"-pix_fmt", "yuv420p10le", "-colorspace", "bt709", "-c:v", "libx265", "-x265-params", "log-level=none:lossless=1"}},
        {"bt601_422.mkv", bars, barsSize, {"-pix_fmt", "yuv422p", "-colorspace", "smpte170m", "-c:v", "ffv1"}},
        {"bt709_444.mkv", bars, barsSize, {"-pix_fmt", "yuv444p", "-colorspace", "bt709", "-c:v", "ffv1"}},
        {"bt709_422_x264.mkv", bars, barsSize, {"-pix_fmt", "yuv422p", "-colorspace", "bt709", "-c:v", "libx264", "-qp", "0"}},
        {"odd_bt601.mkv", odd, oddSize, {"-pix_fmt", "yuv420p", "-colorspace", "bt470bg", "-c:v", "ffv1"}},
        {"odd_bt709_422.mkv", odd, oddSize, {"-pix_fmt", "yuv422p", "-colorspace", "bt709", "-c:v", "ffv1"}},
        {"odd_bt709_444_10bit.mkv", odd, oddSize, {"-pix_fmt", "yuv444p10le", "-colorspace", "bt709", "-c:v", "ffv1"}},
    };
    for (const Case& c : cases) {
        const QString clip = encodedClip(c.name, c.source, c.options);
        ASSERT_FALSE(clip.isEmpty()) << c.name;
        const QImage image = painted(clip, c.size);
        ASSERT_FALSE(image.isNull()) << c.name;
        const QByteArray truth = ffmpegBgra(clip);
        ASSERT_EQ(truth.size(), qsizetype(image.width()) * image.height() * 4) << c.name;
        const std::array<double, 3> d = meanDifference(image, truth);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_LT(d[size_t(channel)], kColourTolerance) << c.name << " channel " << "BGR"[channel];
    }
}

// BT.2020 primaries shown as BT.709 ones are paler: 9 to 33 levels off on average on
// these bars. Mapped, they differ from ffmpeg's colorspace filter by up to 0.25 in
// 4:4:4 and 0.87 in 4:2:0 (the filter's output is subsampled again before ffmpeg
// turns it into RGB), hence the bound. An HDR transfer is shown as it is: exactly
// ffmpeg's plain conversion.
constexpr double kMappedTolerance = 2.0;

TEST(FramePainter, WideGamutPicturesAreMappedToTheDisplaysPrimariesAsFfmpegDoesButHdrIsNot)
{
    const QString bars = "smptebars=size=320x240:rate=25";
    // BT.709 bars carried in BT.2020: every colour inside the display's gamut.
    const QString toBt2020 = "colorspace=all=bt2020:iall=bt709:format=";
    const QStringList bt2020 = {"-colorspace", "bt2020nc", "-color_primaries", "bt2020", "-c:v", "ffv1"};
    struct Case {
        const char* name;
        QStringList options;
        QStringList truth;   // ffmpeg's filters
    };
    const Case cases[] = {
        {"bt2020_444.mkv",
         QStringList {"-vf", toBt2020 + "yuv444p10", "-pix_fmt", "yuv444p10le", "-color_trc", "bt2020-10"} + bt2020,
         {"colorspace=all=bt709"}},
        {"bt2020_420.mkv", QStringList {"-vf", toBt2020 + "yuv420p", "-pix_fmt", "yuv420p", "-color_trc", "bt709"} + bt2020,
         {"colorspace=all=bt709"}},
        {"bt2020_pq.mkv", QStringList {"-pix_fmt", "yuv444p10le", "-color_trc", "smpte2084"} + bt2020, {}},
    };
    for (const Case& c : cases) {
        const QString clip = encodedClip(c.name, bars, c.options);
        ASSERT_FALSE(clip.isEmpty()) << c.name;
        const QImage image = painted(clip, {320, 240});
        ASSERT_FALSE(image.isNull()) << c.name;
        const QByteArray truth = ffmpegBgra(clip, c.truth);
        ASSERT_EQ(truth.size(), 320 * 240 * 4) << c.name;
        const std::array<double, 3> d = meanDifference(image, truth);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_LT(d[size_t(channel)], kMappedTolerance) << c.name << " channel " << "BGR"[channel];
    }
}

} // namespace
