#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

namespace mci {

// A medium opened once, by name, and from then on read only through that descriptor:
// whatever happens to the name afterwards (renamed, deleted, another file put in its
// place), every reader sees the file that was opened, or learns that it changed.
class MediaFile {
public:
    enum class Result { Ok, NotFound, Invalid };

    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    // Only a regular file that is not empty is opened: a pipe or a device node would
    // block or never end.
    static Result open(const std::string& path, std::shared_ptr<MediaFile>& file);

    const std::string& path() const { return path_; }
    // The size when it was opened; nothing past it is read.
    int64_t size() const { return size_; }
    // When it was last written before it was opened, in nanoseconds.
    int64_t modifiedTime() const { return modified_; }
    // Up to `bytes` bytes at `offset`; 0 at the end, -1 on an error (errno set).
    int64_t read(int64_t offset, uint8_t* into, int64_t bytes) const;
    // Bytes read from the file so far, by every reader.
    int64_t bytesRead() const { return bytesRead_.load(); }
    // True once the file is shorter than it was, or was written to, since it was opened.
    bool changed() const;
    // From now on every read fails (ECANCELED): an open that was asked to end stops
    // wherever it reads next. For good: the file is not read again.
    void abandon() { abandoned_ = true; }
    bool abandoned() const { return abandoned_.load(); }

private:
    MediaFile(std::string path, int fd, int64_t size, int64_t modified);

    std::string path_;
    int fd_;
    int64_t size_;
    int64_t modified_;   // nanoseconds
    mutable std::atomic<int64_t> bytesRead_ {0};
    std::atomic<bool> abandoned_ {false};
};

} // namespace mci
