#include "shell/FrameClock.h"

namespace {

// Microseconds per second times the thousandths of the rate.
constexpr qint64 kScale = 1000000LL * 1000;

} // namespace

FrameClock::FrameClock(qint64 rate1000) : rate1000_(rate1000 > 0 ? rate1000 : 25000) {}

qint64 FrameClock::Microseconds(qint64 frame) const
{
    if (frame <= 0)
        return 0;
    // Rounding up keeps the time inside the frame; rounding down would name the
    // frame before it whenever the rate does not divide a second evenly (29.97).
    const __int128 scaled = static_cast<__int128>(frame) * kScale;
    return static_cast<qint64>((scaled + rate1000_ - 1) / rate1000_);
}

qint64 FrameClock::FrameAt(qint64 microseconds) const
{
    if (microseconds <= 0)
        return 0;
    return static_cast<qint64>(static_cast<__int128>(microseconds) * rate1000_ / kScale);
}
