#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool IsSmallRegularFile(const struct stat& st, qint64 maxBytes)
{
    return S_ISREG(st.st_mode) && st.st_size <= maxBytes;
}

// Up to maxBytes + 1 bytes, so that a file that grew past the bound is seen.
bool ReadUpTo(int fd, qint64 maxBytes, QByteArray& bytes)
{
    QByteArray buffer;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        buffer.append(chunk, n);
        if (buffer.size() > maxBytes)
            return false;
    }
    bytes = buffer;
    return true;
}

} // namespace

bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // Looked at before opening, since opening a device can already act on it.
    if (name.isEmpty() || ::stat(name.constData(), &st) != 0 || !IsSmallRegularFile(st, maxBytes))
        return false;
    // Non-blocking, and checked again on what was opened: the name may have been
    // replaced by a FIFO in between, whose open would otherwise wait for a writer.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !IsSmallRegularFile(st, maxBytes))
        return false;
    return ReadUpTo(fd.get(), maxBytes, bytes);
}
