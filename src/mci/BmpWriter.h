#pragma once
#include <QImage>
#include <QString>

namespace mci {

// Writes an image as an uncompressed 24-bit Windows bitmap. The file appears
// whole or not at all: it is written under a temporary name beside it, every
// write and the sync to disk checked, and renamed over the name; on any failure
// an earlier file of that name stays as it was.
//
// Only a regular file (also at the end of symbolic links) is replaced, or a new
// name made. A FIFO, a device node, a folder, a socket, or a link to one of them
// or to nothing, is refused: a capture must never block on a FIFO, nor put a
// picture file where a device was (as root, /dev/null).
class BmpWriter {
public:
    // False when the path is refused or anything fails.
    static bool write(const QImage& image, const QString& path);
    static QByteArray encode(const QImage& image);
};

} // namespace mci
