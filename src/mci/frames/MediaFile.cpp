#include "mci/frames/MediaFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mci {
namespace {

int64_t modifiedNs(const struct stat& s)
{
    return int64_t(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
}

} // namespace

MediaFile::MediaFile(std::string path, int fd, int64_t size, int64_t modified)
    : path_(std::move(path)), fd_(fd), size_(size), modified_(modified)
{
}

MediaFile::~MediaFile()
{
    ::close(fd_);
}

MediaFile::Result MediaFile::open(const std::string& path, std::shared_ptr<MediaFile>& file)
{
    file.reset();
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0)
        return Result::NotFound;
    // Checked before open(2): opening a FIFO for reading waits for a writer.
    if (!S_ISREG(s.st_mode) || s.st_size == 0)
        return Result::Invalid;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? Result::NotFound : Result::Invalid;
    // The name may have changed between the two looks: what counts is what was opened.
    if (::fstat(fd, &s) != 0 || !S_ISREG(s.st_mode) || s.st_size == 0) {
        ::close(fd);
        return Result::Invalid;
    }
    file.reset(new MediaFile(path, fd, int64_t(s.st_size), modifiedNs(s)));
    return Result::Ok;
}

int64_t MediaFile::read(int64_t offset, uint8_t* into, int64_t bytes) const
{
    if (offset < 0 || offset >= size_ || bytes <= 0)
        return 0;
    if (bytes > size_ - offset)
        bytes = size_ - offset;
    if (abandoned_) {
        errno = ECANCELED;
        return -1;
    }
    for (;;) {
        const ssize_t got = ::pread(fd_, into, size_t(bytes), off_t(offset));
        if (got > 0)
            bytesRead_ += got;
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool MediaFile::changed() const
{
    struct stat s {};
    if (::fstat(fd_, &s) != 0)
        return true;
    return int64_t(s.st_size) < size_ || modifiedNs(s) != modified_;
}

} // namespace mci
