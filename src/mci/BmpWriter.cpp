#include "mci/BmpWriter.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace mci {
namespace {

// What the bitmaps have always said of themselves: 72 dpi.
constexpr int kDotsPerMeter = 2835;

// A new name, or a regular file (links followed); see the class comment.
bool isReplaceable(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode) && ::stat(name.constData(), &st) != 0)
        return false;
    return S_ISREG(st.st_mode);
}

bool writeAll(QSaveFile& file, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

// Qt writes an RGB888 image as a 24-bit bitmap with the 40-byte header, rows
// bottom-up in blue, green, red and padded to four bytes.
QByteArray BmpWriter::encode(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_RGB888);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly) || !QImageWriter(&buffer, "bmp").write(image))
        return {};
    return out;
}

bool BmpWriter::write(const QImage& image, const QString& path)
{
    if (image.isNull() || path.isEmpty() || !isReplaceable(path))
        return false;
    QSaveFile file(path);
    // Unbuffered, so that every write reports its own failure: a buffered one
    // loses the error of its final flush and a full disk left a 0-byte file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = encode(image);
    if (bytes.isEmpty() || !writeAll(file, bytes) || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace mci
