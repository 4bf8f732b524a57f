#pragma once
#include "StampedClip.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>

namespace keldtest {

// A one-frame clip of a test pattern at that size, in the most common 4:2:0 format.
// Made under a name of this process's own and then renamed: the frames and the
// device tests ask for the same sizes and may run at the same time.
inline QString smallClip(int width, int height)
{
    const QString size = QString("%1x%2").arg(width).arg(height);
    const QString path = StampedClip::folder() + "/small_" + size + ".mkv";
    if (!QFileInfo::exists(path)) {
        const QString part = StampedClip::folder() + "/part_" + QString::number(QCoreApplication::applicationPid())
                             + "_small_" + size + ".mkv";
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                "testsrc=size=" + size + ":rate=25:duration=0.04", "-pix_fmt", "yuv420p",
                                "-c:v", "ffv1", part});
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0 || !QFile::rename(part, path)) {
            QFile::remove(part);
            if (!QFileInfo::exists(path))   // the other one made it first
                return {};
        }
    }
    return path;
}

} // namespace keldtest
