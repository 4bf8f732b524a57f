#pragma once
#include <chrono>
#include <cstdint>
#include <vector>

namespace mci {

// What one play did, for diagnosis: pictures shown, pictures dropped to keep up with
// the sound, and how far the sound was ahead of the pictures when each was shown.
// With KELD32_MCI_TRACE set it is written on standard error when play stops, as
// "KELD32 play: shown=N dropped=N skipped=N seconds=S ahead_median=S ahead_max=S";
// without it, nothing is kept but the counts.
class PlayTrace {
public:
    PlayTrace();

    void shown(int64_t frames = 1) { shown_ += frames; }
    void dropped(int64_t frames) { dropped_ += frames; }
    void skipped() { ++skipped_; }
    // The sound's clock and the shown picture's time, in seconds on the medium.
    void heard(double sound, double picture);

    bool on() const { return on_; }
    void write() const;

private:
    const bool on_;
    const std::chrono::steady_clock::time_point began_;
    int64_t shown_ = 0;
    int64_t dropped_ = 0;
    int64_t skipped_ = 0;
    std::vector<float> ahead_;
};

} // namespace mci
