#pragma once
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>

namespace mci {

class MpvHandle;

// The sound of a medium, played by libmpv (no picture). While it plays, its clock
// is the one the pictures follow.
//
// It loads in the background: the pictures need not wait for libmpv to read the
// file's headers again (an MP4's tables can take a second). Everything but the
// volume, pausing and mayPlay() waits for the load to end, so that whoever starts
// the sound (the clock's thread) waits for it, not the caller of play.
class MpvSound {
public:
    MpvSound();
    ~MpvSound();

    void open(const std::string& path, bool silent);
    void close();
    // False when libmpv could not start or found no sound in the file.
    bool isOpen();
    // isOpen() without waiting: true while the sound still loads.
    bool mayPlay();

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
    static std::unique_ptr<MpvHandle> load(const std::string& path, int volume, bool silent);
    // Takes the loaded sound over; the first call after open() waits for it.
    void settle();
    bool loading() const;

    std::unique_ptr<MpvHandle> mpv_;
    std::future<std::unique_ptr<MpvHandle>> loading_;
    int loadedVolume_ = 1000;
    std::atomic<int> volume_ {1000};
    std::mutex handOver_;   // the loaded sound taken over against the volume set
};

} // namespace mci
