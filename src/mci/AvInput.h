#pragma once
#include <string>

struct AVFormatContext;
struct AVStream;

namespace mci {

// One libavformat input on a local file, and its best video stream. The name is
// always handed over as an absolute path behind the "file:" protocol, and only that
// protocol may be used, so a local name that looks like a URL ("http:/x", "-") is
// never read as one.
class AvInput {
public:
    enum class Result { Ok, NotFound, Invalid };

    AvInput() = default;
    ~AvInput();
    AvInput(const AvInput&) = delete;
    AvInput& operator=(const AvInput&) = delete;

    Result open(const std::string& path);
    void close();

    AVFormatContext* context() const { return ctx_; }
    // -1 when the file has no video (cover art does not count).
    int videoStream() const { return video_; }
    AVStream* video() const;
    bool hasAudio() const { return audio_; }

    // Only the video stream's packets are read from now on.
    void discardAllButVideo();

    // The absolute "file:" form of a path.
    static std::string fileUrl(const std::string& path);

private:
    AVFormatContext* ctx_ = nullptr;
    int video_ = -1;
    bool audio_ = false;
};

} // namespace mci
