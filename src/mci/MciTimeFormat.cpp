#include "mci/MciTimeFormat.h"

namespace mci {

namespace {

// floor(a * b / c) for c > 0, with the product in 128 bits so long media cannot overflow.
int64_t mulDivFloor(int64_t a, int64_t b, int64_t c)
{
    const __int128 p = static_cast<__int128>(a) * b;
    __int128 q = p / c;
    if ((p % c != 0) && (p < 0))
        --q;
    return static_cast<int64_t>(q);
}

int64_t mulDivCeil(int64_t a, int64_t b, int64_t c)
{
    return -mulDivFloor(-a, b, c);
}

} // namespace

bool MciTimeFormat::fromName(const std::string& name, TimeFormat& format)
{
    if (name == "frames") {
        format = TimeFormat::Frames;
        return true;
    }
    if (name == "milliseconds" || name == "ms") {
        format = TimeFormat::Milliseconds;
        return true;
    }
    return false;
}

std::string MciTimeFormat::name(TimeFormat format)
{
    return format == TimeFormat::Frames ? "frames" : "milliseconds";
}

int64_t MciTimeFormat::toCaller(TimeFormat format, int64_t frames, int64_t frameRate1000)
{
    if (format == TimeFormat::Frames || frameRate1000 <= 0)
        return frames;
    return mulDivCeil(frames, 1000000, frameRate1000);
}

int64_t MciTimeFormat::toFrames(TimeFormat format, int64_t value, int64_t frameRate1000)
{
    if (format == TimeFormat::Frames || frameRate1000 <= 0)
        return value;
    return mulDivFloor(value, frameRate1000, 1000000);
}

} // namespace mci
