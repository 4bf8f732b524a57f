#include "BadMedia.h"

#include "StampedClip.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

using keldtest::ClipKind;
using keldtest::StampedClip;

namespace {

QString folder()
{
    const QString dir = StampedClip::folder() + QStringLiteral("/robust");
    QDir().mkpath(dir);
    return dir;
}

// Runs ffmpeg once for a file that StampedClip has no kind for.
QString ffmpegFile(const QString& name, const QStringList& args)
{
    const QString path = folder() + QLatin1Char('/') + name;
    if (QFileInfo::exists(path))
        return path;
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-y", "-loglevel", "error"} + args + QStringList{path});
    p.waitForFinished(120000);
    return p.exitCode() == 0 && QFileInfo::exists(path) ? path : QString();
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator rng(11);
    for (char& c : bytes)
        c = char(rng.bounded(256));
    return bytes;
}

// A YUV4MPEG2 header claiming a 60000 x 60000 picture, followed by a few bytes of one frame.
QByteArray hugeHeader()
{
    return QByteArray("YUV4MPEG2 W60000 H60000 F25:1 Ip A1:1 C420jpeg\nFRAME\n") + noise(4096);
}

} // namespace

std::vector<BadMedium> BadMedia::all()
{
    const qint64 mp4Size = QFileInfo(StampedClip::get(ClipKind::Mp4H264).path).size();
    const QString dirAvi = folder() + QStringLiteral("/a folder.avi");
    QDir().mkpath(dirAvi);
    return {
        {"missing file", folder() + QStringLiteral("/no such file.mp4")},
        {"empty file", StampedClip::writeBytes(QStringLiteral("robust_empty.mp4"), {})},
        {"random bytes", StampedClip::writeBytes(QStringLiteral("robust_noise.avi"), noise(32 * 1024))},
        {"truncated mp4", StampedClip::truncatedCopy(ClipKind::Mp4H264, QStringLiteral("robust_cut.mp4"), mp4Size / 3)},
        {"truncated mkv", StampedClip::truncatedCopy(ClipKind::MkvVfr, QStringLiteral("robust_cut.mkv"), 700)},
        {"huge dimensions", StampedClip::writeBytes(QStringLiteral("robust_huge.avi"), hugeHeader())},
        {"zero frames", ffmpegFile(QStringLiteral("robust_zero.mkv"),
                                   {"-f", "lavfi", "-i", "color=size=64x48:rate=25", "-frames:v", "0", "-c:v",
                                    "mpeg4"})},
        {"audio only", ffmpegFile(QStringLiteral("robust_sound.mp4"),
                                  {"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:a", "aac"})},
        {"directory", dirAvi},
    };
}

QString BadMedia::goodClip()
{
    return StampedClip::get(ClipKind::AviMjpeg).path;
}

int BadMedia::goodClipFrames()
{
    return StampedClip::get(ClipKind::AviMjpeg).frames;
}
