#pragma once
#include <QImage>
#include <QString>
#include <QVector>

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
    // Files whose time stamps mislead: exactness is checked against ffmpeg's decoding.
    AviMpeg4,     // MPEG-4 Part 2 with B-frames in AVI (decode-order stamps)
    TsRestart,    // two H.264 transport streams joined: the stamps restart half-way
    Mp4Fps120,    // H.264 at 120 frames per second
    Mp4Fps240,    // H.264 at 240 frames per second
    Mp4Vfr,       // H.264 in MP4, every third frame lasts twice as long
    MovEditList,  // 29.97 H.264 MOV cut off a key frame: an edit list hides the head
    MpegEs,       // MPEG-2 elementary stream (.m2v): no time stamps at all
    OggTheora,    // Theora in Ogg
    MkvHevc10,    // HEVC 10-bit in Matroska, B-frames
    // Old writers: pictures stored the way XviD, QuickTime and VCD tools stored them.
    AviPackedBf1,   // XviD MPEG-4 in AVI, packed B-frames (1 between references), MP3 sound
    AviPackedBf2,   // the same at 29.97 frames per second, 2 B-frames
    AviPackedBf3,   // the same at 25, 3 B-frames
    MovQtrle,       // QuickTime Animation: intra-coded pictures between rare key packets
    AviMsvideo1,    // Microsoft Video 1, the same way
    MovSmc,         // Apple Graphics (8-bit palette), the same way
    MovCinepak,     // Cinepak in MOV
    Mpeg1,          // MPEG-1 system stream (.mpg), GOP 12, B-frames; the last frame is a key frame
    MpegPsIntra,    // MPEG-2 program stream of key frames only: pictures share the stream's blocks
    MovSvq1,        // Sorenson Video 1 in MOV
    AviNoIndex,     // XviD AVI with packed B-frames whose index (idx1) was never written
    MkvHold,        // H.264 in Matroska, one picture held for 3 s in the middle
    AviSlideShow,   // MJPEG in AVI at 1/20 frame per second
};

struct ClipInfo {
    QString path;
    int frames = 0;
    int fps = 0;      // nominal frames per second (0: not a whole number)
    int width = 0;
    int height = 0;
};

class StampedClip {
public:
    // Where clips are written: $KELD_TEST_TMP, else the system temp folder.
    static QString folder();

    // Generates the clip once and reuses it afterwards; an empty path on failure.
    static ClipInfo get(ClipKind kind);

    // The stamps of every frame as ffmpeg decodes the file (-vsync passthrough), in
    // order: frame n of the file shows decodedStamps(path)[n]. Empty on failure.
    static QVector<int> decodedStamps(const QString& path);

    // The frame number stamped into an image, or -1 if the bars cannot be read.
    static int readStamp(const QImage& image);
    static int readStamp(const QString& imagePath);

    // A file holding the given bytes (an empty or corrupt medium).
    static QString writeBytes(const QString& name, const QByteArray& bytes);
    // The first `bytes` bytes of a clip, under a new name.
    static QString truncatedCopy(ClipKind kind, const QString& name, qint64 bytes);
};

} // namespace keldtest
