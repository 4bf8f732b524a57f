#include "StampedClip.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStringList>

namespace keldtest {
namespace {

constexpr int kBits = 16;

struct Recipe {
    const char* name;
    int frames;        // frames of the finished file (0: as ffmpeg decodes it)
    QString rate;      // frames per second, as ffmpeg takes it
    int fps;           // the same as a whole number, 0 when it is none
    QStringList encode;   // everything after the inputs
    bool audioInput;
    bool videoInput;
};

double rateValue(const QString& rate)
{
    const QStringList parts = rate.split('/');
    return parts.size() == 2 ? parts[0].toDouble() / parts[1].toDouble() : rate.toDouble();
}

// Bar b (of 16 across the width) is white when bit b of the frame number is set.
QString stampSource(const QString& rate, int frames, double seconds, int first = 0)
{
    return QStringLiteral("color=c=black:s=320x240:r=%1:d=%2,format=gray,"
                          "geq=lum='if(mod(floor((N+%3)/pow(2\\,floor(X*16/W)))\\,2)\\,235\\,16)',"
                          "format=yuv420p")
        .arg(rate)
        .arg(seconds > 0 ? seconds : double(frames) / rateValue(rate), 0, 'f', 3)
        .arg(first);
}

const QStringList kX264 = {"-c:v", "libx264", "-preset", "veryfast", "-bf", "3"};
// libxvid packs B-frames in AVI as XviD did: a B-frame rides in the packet before it.
const QStringList kXvid = {"-c:v", "libxvid", "-g", "25", "-q:v", "4"};

Recipe recipeFor(ClipKind kind)
{
    switch (kind) {
    case ClipKind::Mp4H264:
        return {"stamp_h264.mp4", 125, "25", 25, kX264 + QStringList{"-g", "50", "-c:a", "aac", "-shortest", "-f", "mp4"}, true, true};
    case ClipKind::Mp4LongGop:
        return {"stamp_h264_longgop.mp4", 150, "25", 25, kX264 + QStringList{"-g", "1000", "-sc_threshold", "0", "-f", "mp4"}, false, true};
    case ClipKind::MpegPs:
        return {"stamp_mpeg2.mpg", 100, "25", 25, {"-c:v", "mpeg2video", "-q:v", "3", "-g", "15", "-bf", "2", "-f", "vob"}, false, true};
    case ClipKind::AviMjpeg:
        return {"stamp_mjpeg.avi", 75, "25", 25, {"-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", "-f", "avi"}, false, true};
    case ClipKind::WebmVp9:
        return {"stamp_vp9.webm", 90, "30", 30,
                {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-g", "60", "-b:v", "400k", "-f", "webm"},
                false, true};
    case ClipKind::MkvVfr:
        // Every odd frame lasts twice as long: 40, 80, 40, 80 ms ...
        return {"stamp_vfr.mkv", 60, "25", 25,
                kX264 + QStringList{"-g", "30", "-vf", "setpts='(N+floor(N/2))/25/TB'", "-fps_mode", "vfr", "-f", "matroska"}, false, true};
    case ClipKind::AudioOnly:
        return {"audio_only.wav", 0, "0", 0, {"-c:a", "pcm_s16le", "-f", "wav"}, true, false};
    case ClipKind::AviMpeg4:
        return {"stamp_mpeg4_bframes.avi", 120, "25", 25, {"-c:v", "mpeg4", "-bf", "2", "-g", "30", "-q:v", "3", "-f", "avi"}, false, true};
    case ClipKind::TsRestart:
        return {"stamp_restart.ts", 160, "25", 25, kX264 + QStringList{"-g", "40", "-f", "mpegts"}, false, true};
    case ClipKind::Mp4Fps120:
        return {"stamp_120fps.mp4", 240, "120", 120, kX264 + QStringList{"-g", "60", "-f", "mp4"}, false, true};
    case ClipKind::Mp4Fps240:
        return {"stamp_240fps.mp4", 360, "240", 240, kX264 + QStringList{"-g", "100", "-f", "mp4"}, false, true};
    case ClipKind::Mp4Vfr:
        return {"stamp_vfr.mp4", 90, "25", 0,
                kX264 + QStringList{"-g", "40", "-vf", "setpts='(N+floor(N/3))/25/TB'", "-fps_mode", "vfr", "-f", "mp4"}, false, true};
    case ClipKind::MovEditList:
        return {"stamp_editlist.mov", 0, "30000/1001", 0, kX264 + QStringList{"-g", "30", "-f", "mov"}, false, true};
    case ClipKind::MpegEs:
        return {"stamp_mpeg2.m2v", 100, "25", 25, {"-c:v", "mpeg2video", "-q:v", "3", "-g", "15", "-bf", "2", "-f", "mpeg2video"}, false, true};
    case ClipKind::OggTheora:
        return {"stamp_theora.ogv", 100, "25", 25, {"-c:v", "libtheora", "-q:v", "7", "-g", "40", "-f", "ogg"}, false, true};
    case ClipKind::MkvHevc10:
        return {"stamp_hevc10.mkv", 100, "25", 25,
                {"-c:v", "libx265", "-preset", "ultrafast", "-pix_fmt", "yuv420p10le", "-x265-params",
                 "keyint=40:bframes=3:log-level=error", "-f", "matroska"},
                false, true};
    case ClipKind::AviPackedBf1:
        return {"stamp_packed_bf1.avi", 60, "25", 25, kXvid + QStringList{"-bf", "1", "-c:a", "libmp3lame", "-shortest", "-f", "avi"}, true, true};
    case ClipKind::AviPackedBf2:
        return {"stamp_packed_bf2.avi", 60, "30000/1001", 0,
                kXvid + QStringList{"-bf", "2", "-c:a", "libmp3lame", "-shortest", "-f", "avi"}, true, true};
    case ClipKind::AviPackedBf3:
        return {"stamp_packed_bf3.avi", 60, "25", 25, kXvid + QStringList{"-bf", "3", "-c:a", "libmp3lame", "-shortest", "-f", "avi"}, true, true};
    case ClipKind::MovQtrle:
        return {"stamp_qtrle.mov", 50, "25", 25, {"-c:v", "qtrle", "-pix_fmt", "rgb24", "-g", "20", "-f", "mov"}, false, true};
    case ClipKind::AviMsvideo1:
        return {"stamp_msvideo1.avi", 50, "25", 25, {"-c:v", "msvideo1", "-pix_fmt", "rgb555le", "-g", "20", "-f", "avi"}, false, true};
    case ClipKind::MovSmc:
        return {"stamp_smc.mov", 50, "25", 25, {"-c:v", "smc", "-pix_fmt", "pal8", "-g", "20", "-f", "mov"}, false, true};
    case ClipKind::MovCinepak:
        return {"stamp_cinepak.mov", 50, "25", 25, {"-c:v", "cinepak", "-g", "20", "-f", "mov"}, false, true};
    case ClipKind::Mpeg1:
        return {"stamp_mpeg1.mpg", 73, "25", 25, {"-c:v", "mpeg1video", "-q:v", "3", "-g", "12", "-bf", "2", "-f", "mpeg"}, false, true};
    case ClipKind::MpegPsIntra:
        return {"stamp_mpeg2_intra.mpg", 60, "25", 25, {"-c:v", "mpeg2video", "-q:v", "3", "-g", "1", "-f", "vob"}, false, true};
    case ClipKind::MovSvq1:
        return {"stamp_svq1.mov", 50, "25", 25, {"-c:v", "svq1", "-g", "20", "-f", "mov"}, false, true};
    case ClipKind::AviNoIndex:
        return {"stamp_noindex.avi", 60, "25", 25, kXvid + QStringList{"-bf", "2", "-f", "avi"}, false, true};
    case ClipKind::MkvHold:
        // Frame 20 stays 3 s on screen: 40 ms each, then 3000, then 40 ms each again.
        return {"stamp_hold.mkv", 50, "25", 25,
                kX264 + QStringList{"-g", "15", "-vf", "setpts='(N+74*gt(N,20))/25/TB'", "-fps_mode", "vfr", "-f", "matroska"}, false, true};
    case ClipKind::AviSlideShow:
        return {"stamp_slides.avi", 4, "1/20", 0, {"-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", "-f", "avi"}, false, true};
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

namespace {

QStringList inputsFor(const Recipe& r, int frames, int first)
{
    QStringList args = {"-hide_banner", "-loglevel", "error", "-y"};
    const double seconds = r.videoInput ? 0 : 3.0;
    if (r.videoInput)
        args << "-f" << "lavfi" << "-i" << stampSource(r.rate, frames, seconds, first);
    if (r.audioInput)
        args << "-f" << "lavfi" << "-i"
             << QStringLiteral("sine=f=440:d=%1").arg(r.videoInput ? frames / rateValue(r.rate) : 3.0, 0, 'f', 3);
    return args;
}

bool encode(const Recipe& r, int frames, int first, const QString& out)
{
    return runFfmpeg(inputsFor(r, frames, first) + r.encode + QStringList{out});
}

bool appendFile(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    return in.open(QIODevice::ReadOnly) && out.open(QIODevice::Append) && out.write(in.readAll()) == in.size();
}

// Writes the clip to `part`; some kinds take more than one ffmpeg run.
bool make(ClipKind kind, const Recipe& r, const QString& part)
{
    switch (kind) {
    case ClipKind::TsRestart: {
        // Two recordings of 80 frames joined byte for byte: the second's stamps
        // start again at the first's, its pictures carry numbers 80 on.
        const QString second = part + ".second.ts";
        const bool ok = encode(r, r.frames / 2, 0, part) && encode(r, r.frames / 2, r.frames / 2, second)
                        && appendFile(second, part);
        QFile::remove(second);
        return ok;
    }
    case ClipKind::MovEditList: {
        // Copied from 1.3 s on without re-encoding: the head of the first group is
        // decoded for its references and hidden by an edit list.
        const QString whole = part + ".whole.mov";
        const bool ok = encode(r, 300, 0, whole)
                        && runFfmpeg({"-hide_banner", "-loglevel", "error", "-y", "-ss", "1.3", "-i", whole, "-c",
                                      "copy", "-f", "mov", part});
        QFile::remove(whole);
        return ok;
    }
    case ClipKind::AviNoIndex: {
        // The file cut where its index begins, as a recording that was never closed.
        const QString whole = part + ".whole.avi";
        bool ok = encode(r, r.frames, 0, whole);
        QFile in(whole);
        if (ok && in.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = in.readAll();
            const qsizetype idx1 = bytes.lastIndexOf("idx1");
            QFile out(part);
            ok = idx1 > 0 && out.open(QIODevice::WriteOnly) && out.write(bytes.left(idx1)) == idx1;
        }
        QFile::remove(whole);
        return ok;
    }
    default:
        return encode(r, r.frames, 0, part);
    }
}

} // namespace

ClipInfo StampedClip::get(ClipKind kind)
{
    const Recipe r = recipeFor(kind);
    ClipInfo info;
    info.frames = r.frames;
    info.fps = r.fps;
    info.width = r.videoInput ? 320 : 0;
    info.height = r.videoInput ? 240 : 0;
    const QString path = folder() + "/" + r.name;
    if (QFileInfo(path).size() == 0) {
        // Written under a temporary name first so that a parallel run never reads half a clip.
        const QString part = folder() + "/part_" + QString::number(QCoreApplication::applicationPid()) + "_" + r.name;
        if (!make(kind, r, part)) {
            QFile::remove(part);
            return info;
        }
        QFile::remove(path);
        if (!QFile::rename(part, path) && !QFileInfo::exists(path))
            return info;
    }
    info.path = path;
    if (info.frames == 0 && r.videoInput)
        info.frames = decodedStamps(path).size();
    return info;
}

QVector<int> StampedClip::decodedStamps(const QString& path)
{
    static QHash<QString, QVector<int>> known;
    if (known.contains(path))
        return known.value(path);
    QProcess p;
    p.start("ffmpeg", {"-v", "error", "-i", path, "-vsync", "passthrough", "-f", "rawvideo", "-pix_fmt", "gray", "-"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    const QByteArray raw = p.readAllStandardOutput();
    const int frameBytes = 320 * 240;
    QVector<int> stamps;
    for (qsizetype at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
        const QImage frame(reinterpret_cast<const uchar*>(raw.constData() + at), 320, 240, 320,
                           QImage::Format_Grayscale8);
        stamps.push_back(readStamp(frame));
    }
    known.insert(path, stamps);
    return stamps;
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
