#pragma once
#include <QString>
#include <vector>

// Broken and hostile media files, generated into the test folder once.
struct BadMedium {
    QString what;   // for the test's messages
    QString path;
};

class BadMedia {
public:
    // Every kind: missing, empty, noise, cut MP4 and MKV, huge dimensions, no frames,
    // sound only, a folder. Each path has a video extension. Empty when one cannot be made.
    static std::vector<BadMedium> all();
    // A file of the picture kind the player opens in every test afterwards.
    static QString goodClip();
    static int goodClipFrames();
};
