#pragma once
#include <QImage>
#include <QString>

namespace mci {

// Writes an image as an uncompressed 24-bit Windows bitmap. The file appears
// whole or not at all: it is written under a temporary name and renamed.
class BmpWriter {
public:
    static bool write(const QImage& image, const QString& path);
    static QByteArray encode(const QImage& image);
};

} // namespace mci
