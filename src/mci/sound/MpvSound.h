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
    bool open(const std::string& path, bool silent);
    void close();
    bool isOpen() const { return mpv_ != nullptr; }

    // Moves to `seconds` (exactly) and plays from there; waits at most `timeout`
    // for the sound to start.
    bool playFrom(double seconds, std::chrono::milliseconds timeout);
    // Moves a playing sound to `seconds`; returns at once, the sound goes on from there.
    void jumpTo(double seconds);
    // Moves to `seconds` and stays paused.
    bool seek(double seconds, std::chrono::milliseconds timeout);
    void pause();
    // Seconds on the medium's clock, -1 when unknown or the sound has ended. Safe to
    // call from another thread than the one that controls the sound.
    double clock();
    bool ended();
    double duration();
    // MCI's volume, 0..1000, kept across opens; false (and unchanged) outside it.
    bool setVolume(int volume0to1000);
    int volume() const { return volume_; }
    // Play ends at `seconds` as at the end of the medium; negative: at the end.
    void setEnd(double seconds);

private:
    std::unique_ptr<MpvHandle> mpv_;
    int volume_ = 1000;
};

} // namespace mci
