#include "mci/BmpWriter.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace mci {
namespace {

void put16(QByteArray& out, int offset, quint16 v)
{
    out[offset] = char(v & 0xff);
    out[offset + 1] = char(v >> 8);
}

void put32(QByteArray& out, int offset, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((v >> (8 * i)) & 0xff);
}

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

QByteArray BmpWriter::encode(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int w = image.width();
    const int h = image.height();
    const int rowBytes = (w * 3 + 3) & ~3;   // rows are padded to four bytes
    const int headerBytes = 14 + 40;
    QByteArray out(headerBytes + rowBytes * h, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, quint32(out.size()));
    put32(out, 10, headerBytes);
    put32(out, 14, 40);
    put32(out, 18, quint32(w));
    put32(out, 22, quint32(h));   // positive height: rows stored bottom-up
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, quint32(rowBytes * h));
    put32(out, 38, 2835);         // 72 dpi
    put32(out, 42, 2835);
    for (int y = 0; y < h; ++y) {
        const uchar* src = image.constScanLine(y);
        char* dst = out.data() + headerBytes + (h - 1 - y) * rowBytes;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = char(src[3 * x + 2]);
            dst[3 * x + 1] = char(src[3 * x + 1]);
            dst[3 * x + 2] = char(src[3 * x]);
        }
    }
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
    if (!writeAll(file, encode(image)) || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace mci
