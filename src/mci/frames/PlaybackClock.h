#pragma once
#include "mci/frames/DecodedFrame.h"
#include "mci/frames/PlaybackTime.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace mci {

class FrameServer;
class SoundFollower;

// Plays frames one after another, forward or backward, each held as long as its time
// stamps say: a frame is shown once the frame server has it, and a late frame moves
// the rest along. Forward play with sound keeps to the sound's clock once the sound
// runs (SoundFollower): pictures whose time on it has passed are dropped (CatchUp),
// so the pictures never drift behind the sound. Without sound, and backwards, every
// frame is shown.
class PlaybackClock {
public:
    // The sound that goes with forward play: started (at a time on the medium's
    // clock) once the first frame to show is decoded, so that a slow first frame does
    // not leave the pictures behind it; then asked where it is (-1: unknown), and moved
    // to where the pictures are when it runs behind them. Called on the clock's thread.
    struct Sound {
        std::function<bool(double)> begin;
        std::function<double()> clock;
        std::function<void(double)> join;
    };

    // `time`: what the clock goes by (tests drive their own).
    explicit PlaybackClock(FrameServer& server, PlaybackTime& time = PlaybackTime::steady())
        : server_(server), time_(time)
    {
    }
    ~PlaybackClock();
    PlaybackClock(const PlaybackClock&) = delete;
    PlaybackClock& operator=(const PlaybackClock&) = delete;

    // From the frame on display on, one frame at a time in `direction` (+1, -1),
    // up to and including `last` (or to the end of the medium).
    void start(int64_t from, int direction, int64_t last, Sound sound = {});
    // Halts; returns once no further frame will be shown.
    void stop();
    // Playing (false once it has shown its last frame, or was stopped).
    bool running() const { return running_; }
    // Returns once the play has ended, or after `bound`; true when it has ended.
    bool waitEnded(std::chrono::milliseconds bound);
    int direction() const { return direction_; }

    // Frames shown late (more than a frame period) since the start; passed over
    // (they could not be decoded); dropped to keep up with the sound.
    int64_t lateFrames() const { return late_; }
    int64_t skippedFrames() const { return skipped_; }
    int64_t droppedFrames() const { return dropped_; }

private:
    struct Play;
    void run(int64_t from, int64_t last, Sound sound);
    // Forward play to the end while the index still grows.
    bool awaitsIndex(int64_t last) const;
    int64_t endOf(int64_t last) const;
    FramePtr waitForFrame(int64_t frame);
    int64_t keepToSound(Play& play, int64_t current);
    void noteShown(Play& play, int64_t next);
    // How long `frame` stays on display before the next one in the play's direction.
    double holdOf(int64_t frame) const;
    bool sleepUntil(std::chrono::steady_clock::time_point t);
    void markEnded();

    FrameServer& server_;
    PlaybackTime& time_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable ended_;   // running_ has turned false
    std::atomic<bool> stop_ {false};
    std::atomic<bool> running_ {false};
    std::atomic<int> direction_ {0};
    std::atomic<int64_t> late_ {0};
    std::atomic<int64_t> skipped_ {0};
    std::atomic<int64_t> dropped_ {0};
};

} // namespace mci
