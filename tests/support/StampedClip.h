#pragma once
#include <QImage>
#include <QString>

// Test clips made with ffmpeg, each frame carrying its own number as 16 vertical
// bars (bar b white = bit b set), so a captured frame tells which frame it is.
namespace keldtest {

enum class ClipKind {
    Mp4H264,      // H.264 with B-frames, key frame every 50, AAC audio
    Mp4LongGop,   // H.264 with B-frames, a single key frame
    MpegPs,       // MPEG-2 program stream (.mpg), GOP 15
    AviMjpeg,     // Motion JPEG in AVI, every frame a key frame
    WebmVp9,      // VP9 in WebM, key frame every 60
    MkvVfr,       // H.264 in Matroska, frame durations alternate 40 / 80 ms
    AudioOnly,    // a WAV file without video
};

struct ClipInfo {
    QString path;
    int frames = 0;
    int fps = 0;      // nominal frames per second
    int width = 0;
    int height = 0;
};

class StampedClip {
public:
    // Where clips are written: $KELD_TEST_TMP, else the system temp folder.
    static QString folder();

    // Generates the clip once and reuses it afterwards; an empty path on failure.
    static ClipInfo get(ClipKind kind);

    // The frame number stamped into an image, or -1 if the bars cannot be read.
    static int readStamp(const QImage& image);
    static int readStamp(const QString& imagePath);

    // A file holding the given bytes (an empty or corrupt medium).
    static QString writeBytes(const QString& name, const QByteArray& bytes);
    // The first `bytes` bytes of a clip, under a new name.
    static QString truncatedCopy(ClipKind kind, const QString& name, qint64 bytes);
};

} // namespace keldtest
