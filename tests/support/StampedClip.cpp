#include "StampedClip.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace keldtest {
namespace {

constexpr int kBits = 16;

struct Recipe {
    const char* name;
    int frames;
    int fps;
    QStringList encode;   // everything after the inputs
    bool audioInput;
    bool videoInput;
};

// Bar b (of 16 across the width) is white when bit b of the frame number is set.
QString stampSource(int fps, int frames)
{
    return QStringLiteral("color=c=black:s=320x240:r=%1:d=%2,format=gray,"
                          "geq=lum='if(mod(floor(N/pow(2\\,floor(X*16/W)))\\,2)\\,235\\,16)',"
                          "format=yuv420p")
        .arg(fps)
        .arg(double(frames) / fps, 0, 'f', 3);
}

Recipe recipeFor(ClipKind kind)
{
    const QStringList x264 = {"-c:v", "libx264", "-preset", "veryfast", "-bf", "3"};
    switch (kind) {
    case ClipKind::Mp4H264:
        return {"stamp_h264.mp4", 125, 25, x264 + QStringList{"-g", "50", "-c:a", "aac", "-shortest"}, true, true};
    case ClipKind::Mp4LongGop:
        return {"stamp_h264_longgop.mp4", 150, 25, x264 + QStringList{"-g", "1000", "-sc_threshold", "0"}, false, true};
    case ClipKind::MpegPs:
        return {"stamp_mpeg2.mpg", 100, 25,
                {"-c:v", "mpeg2video", "-q:v", "3", "-g", "15", "-bf", "2", "-f", "vob"}, false, true};
    case ClipKind::AviMjpeg:
        return {"stamp_mjpeg.avi", 75, 25, {"-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p"}, false, true};
    case ClipKind::WebmVp9:
        return {"stamp_vp9.webm", 90, 30,
                {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-g", "60", "-b:v", "400k"},
                false, true};
    case ClipKind::MkvVfr:
        // Every odd frame lasts twice as long: 40, 80, 40, 80 ms ...
        return {"stamp_vfr.mkv", 60, 25,
                x264 + QStringList{"-g", "30", "-vf", "setpts='(N+floor(N/2))/25/TB'", "-fps_mode", "vfr"}, false, true};
    case ClipKind::AudioOnly:
        return {"audio_only.wav", 0, 0, {"-c:a", "pcm_s16le"}, true, false};
    }
    return {};
}

bool runFfmpeg(const QStringList& args)
{
    QProcess p;
    p.start("ffmpeg", args);
    if (!p.waitForFinished(120000))
        return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

QString StampedClip::folder()
{
    QString dir = qEnvironmentVariable("KELD_TEST_TMP");
    if (dir.isEmpty())
        dir = QDir::tempPath() + "/keld-test";
    QDir().mkpath(dir);
    return dir;
}

ClipInfo StampedClip::get(ClipKind kind)
{
    const Recipe r = recipeFor(kind);
    ClipInfo info;
    info.frames = r.frames;
    info.fps = r.fps;
    info.width = r.videoInput ? 320 : 0;
    info.height = r.videoInput ? 240 : 0;
    const QString path = folder() + "/" + r.name;
    if (QFileInfo(path).size() > 0) {
        info.path = path;
        return info;
    }
    // Written under a temporary name first so that a parallel run never reads half a clip.
    const QString part = folder() + "/part_" + QString::number(QCoreApplication::applicationPid()) + "_" + r.name;
    QStringList args = {"-hide_banner", "-loglevel", "error", "-y"};
    const double seconds = r.videoInput ? double(r.frames) / r.fps : 3.0;
    if (r.videoInput)
        args << "-f" << "lavfi" << "-i" << stampSource(r.fps, r.frames);
    if (r.audioInput)
        args << "-f" << "lavfi" << "-i" << QStringLiteral("sine=f=440:d=%1").arg(seconds, 0, 'f', 3);
    args << r.encode;
    if (kind == ClipKind::MpegPs)
        args << part;
    else
        args << "-f" << (kind == ClipKind::Mp4H264 || kind == ClipKind::Mp4LongGop ? "mp4"
                         : kind == ClipKind::AviMjpeg                              ? "avi"
                         : kind == ClipKind::WebmVp9                               ? "webm"
                         : kind == ClipKind::MkvVfr                                ? "matroska"
                                                                                   : "wav")
             << part;
    if (!runFfmpeg(args)) {
        QFile::remove(part);
        return info;
    }
    QFile::remove(path);
    if (!QFile::rename(part, path) && !QFileInfo::exists(path))
        return info;
    info.path = path;
    return info;
}

int StampedClip::readStamp(const QImage& image)
{
    if (image.isNull() || image.width() < kBits)
        return -1;
    int value = 0;
    const int y = image.height() / 2;
    for (int b = 0; b < kBits; ++b) {
        const int x = (2 * b + 1) * image.width() / (2 * kBits);
        const int gray = qGray(image.pixel(x, y));
        if (gray > 80 && gray < 170)
            return -1;   // neither black nor white: not a stamped frame
        if (gray >= 170)
            value |= 1 << b;
    }
    return value;
}

int StampedClip::readStamp(const QString& imagePath)
{
    return readStamp(QImage(imagePath));
}

QString StampedClip::writeBytes(const QString& name, const QByteArray& bytes)
{
    const QString path = folder() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    f.write(bytes);
    return path;
}

QString StampedClip::truncatedCopy(ClipKind kind, const QString& name, qint64 bytes)
{
    const ClipInfo clip = get(kind);
    QFile src(clip.path);
    if (clip.path.isEmpty() || !src.open(QIODevice::ReadOnly))
        return {};
    return writeBytes(name, src.read(bytes));
}

} // namespace keldtest
