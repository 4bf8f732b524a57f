#pragma once
#include <QtGlobal>

// Time in microseconds against frames of the open medium, from the device's
// nominal frame rate in thousandths of a frame per second. Frame n is on display
// from n / rate up to, not including, (n + 1) / rate: a time names the frame on
// display then, and the time of a frame names that frame again.
class FrameClock {
public:
    // A rate of zero or less counts as 25 frames per second.
    explicit FrameClock(qint64 rate1000 = 25000);

    qint64 Rate1000() const { return rate1000_; }
    // When frame `frame` comes on display (rounded up to the next microsecond).
    qint64 Microseconds(qint64 frame) const;
    // The frame on display at `microseconds`; negative times give frame 0.
    qint64 FrameAt(qint64 microseconds) const;

private:
    qint64 rate1000_;
};
