#pragma once
#include <chrono>
#include <memory>
#include <string>

namespace mci {

class MpvHandle;

// The sound of a medium, played by libmpv (no picture). While it plays, its clock
// is the one the pictures follow.
class MpvSound {
public:
    MpvSound();
    ~MpvSound();

    // False when libmpv cannot start or finds no sound in the file.
    bool open(const std::string& path, int volume0to1000, bool silent);
    void close();
    bool isOpen() const { return mpv_ != nullptr; }

    // Moves to `seconds` (exactly) and plays from there; waits at most `timeout`
    // for the sound to start.
    bool playFrom(double seconds, std::chrono::milliseconds timeout);
    // Moves to `seconds` and stays paused.
    bool seek(double seconds, std::chrono::milliseconds timeout);
    void pause();
    // Seconds on the medium's clock, -1 when unknown.
    double clock();
    bool ended();
    double duration();
    void setVolume(int volume0to1000);
    // Play ends at `seconds` as at the end of the medium; negative: at the end.
    void setEnd(double seconds);

private:
    std::unique_ptr<MpvHandle> mpv_;
};

} // namespace mci
