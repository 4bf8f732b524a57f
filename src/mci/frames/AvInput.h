#pragma once
#include "mci/frames/MediaFile.h"
#include "mci/frames/UnreadRanges.h"

#include <memory>
#include <string>

struct AVFormatContext;
struct AVIOContext;
struct AVStream;

namespace mci {

// One libavformat input on a local file, and its best video stream. The file is
// read through the descriptor of a MediaFile, never reopened by name; what the
// container refers to (playlists, references) may only be a local file as well.
class AvInput {
public:
    enum class Result { Ok, NotFound, Invalid };

    AvInput() = default;
    ~AvInput();
    AvInput(const AvInput&) = delete;
    AvInput& operator=(const AvInput&) = delete;

    Result open(const std::string& path);
    // Another input on a file already open: the same bytes, whatever its name does.
    Result open(std::shared_ptr<MediaFile> file);
    // The same file read again from its start (a new demuxer on the same descriptor).
    Result reopen();
    // What open() checks before reading anything: a regular file, not empty. A pipe
    // or a device node would block or never end.
    static Result check(const std::string& path);
    void close();

    // Null when no file is open (or reading it again failed).
    AVFormatContext* context() const { return ctx_; }
    const std::shared_ptr<MediaFile>& file() const { return file_; }
    // -1 when the file has no video (cover art does not count).
    int videoStream() const { return video_; }
    AVStream* video() const;
    bool hasAudio() const { return audio_; }

    // Only the video stream's packets are read from now on.
    void discardAllButVideo();

    // The absolute "file:" form of a path.
    static std::string fileUrl(const std::string& path);

    // For the opens from now on: where the file is a MOV or MP4, the demuxer's parsers
    // are left out. Its sample tables give every packet's bounds and stamps, so the
    // parsers, which look into every packet, add nothing there but their time.
    void leaveOutParsersInMov(bool leaveOut) { movWithoutParsers_ = leaveOut; }
    bool parsersLeftOut() const;
    // The open file is a MOV, an MP4 or another of their family.
    bool isMov() const;

    // From now on the contents of these ranges are not read: zeros stand for them.
    void leaveUnread(std::shared_ptr<const UnreadRanges> ranges) { unread_ = std::move(ranges); }

private:
    static int readPacket(void* opaque, uint8_t* buf, int size);
    static int64_t seek(void* opaque, int64_t offset, int whence);
    // Loops that do not read (probing the streams) end too once the file is abandoned.
    static int interrupted(void* opaque);

    std::shared_ptr<MediaFile> file_;
    std::shared_ptr<const UnreadRanges> unread_;
    int64_t offset_ = 0;   // where the demuxer reads next
    AVIOContext* io_ = nullptr;
    AVFormatContext* ctx_ = nullptr;
    int video_ = -1;
    bool audio_ = false;
    bool movWithoutParsers_ = false;
};

} // namespace mci
