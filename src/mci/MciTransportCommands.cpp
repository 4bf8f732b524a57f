#include "mci/MciTransportCommands.h"

#include "mci/MciContext.h"
#include "mci/MciInstance.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <limits>

namespace mci {

namespace {

// A position keyword's value in frames: "start", "end" or a number in the time format.
int64_t framesOf(MciInstance& instance, const MciValue& value)
{
    if (value.isStart)
        return 0;
    if (value.isEnd)
        return std::max<int64_t>(0, instance.device->length() - 1);
    return instance.toFrames(value.number);
}

// "wait": the command returns once the device has finished what it started. The
// device wakes the wait when something changes (MciDevice::awaitChange); the mode
// is looked at again then, and at least every kLookAgain for a change it does not
// announce. A play may last as long as its medium; a seek that has not landed
// within kLandingBound reports the driver's failure instead of holding the caller.
constexpr std::chrono::milliseconds kLookAgain {20};
constexpr std::chrono::seconds kLandingBound {30};

bool waitWhile(MciDevice& device, std::initializer_list<DeviceMode> modes,
               std::chrono::steady_clock::duration deadline = std::chrono::steady_clock::duration::max())
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto busy = [&] {
        const DeviceMode now = device.mode();
        return std::find(modes.begin(), modes.end(), now) != modes.end();
    };
    while (busy()) {
        const Clock::duration waited = Clock::now() - start;
        if (waited > deadline)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - waited);
        device.awaitChange(std::clamp(left, std::chrono::milliseconds(1), kLookAgain));
    }
    return true;
}

// A step count far beyond any medium (over two years of frames at 25 per second)
// that a device can still add to a position without overflowing: "by" any larger
// number, or its reverse, lands on an end instead of wrapping round.
constexpr int64_t MaxStep = std::numeric_limits<int32_t>::max();

int64_t stepFrames(const MciCommand& command)
{
    const int64_t by = command.has(Kw::By) ? command.get(Kw::By).number : 1;
    const int64_t frames = std::clamp<int64_t>(by, -MaxStep, MaxStep);
    return command.has(Kw::Reverse) ? -frames : frames;
}

} // namespace

ErrorCode handlePlay(MciContext& context, const MciCommand& command, std::string&)
{
    MciInstance& instance = *context.instance;
    if (command.has(Kw::From)) {
        if (const ErrorCode error = instance.device->seek(framesOf(instance, command.get(Kw::From))))
            return error;
    }
    const bool reverse = command.has(Kw::Reverse);
    const ErrorCode error = command.has(Kw::To)
                                ? instance.device->playTo(reverse, framesOf(instance, command.get(Kw::To)))
                                : instance.device->play(reverse);
    if (error == MCI_OK && command.has(Kw::Wait))
        waitWhile(*instance.device, {DeviceMode::Playing, DeviceMode::Seeking});
    return error;
}

ErrorCode handleStop(MciContext& context, const MciCommand&, std::string&)
{
    return context.instance->device->stop();
}

ErrorCode handlePause(MciContext& context, const MciCommand&, std::string&)
{
    return context.instance->device->pause();
}

ErrorCode handleResume(MciContext& context, const MciCommand&, std::string&)
{
    return context.instance->device->resume();
}

namespace {

// "wait" after a seek or step: until the frame is on display. One that never comes
// reports the driver's failure after a while instead of holding the caller.
ErrorCode awaitLanding(MciDevice& device, const MciCommand& command, ErrorCode error)
{
    if (error != MCI_OK || !command.has(Kw::Wait))
        return error;
    if (!waitWhile(device, {DeviceMode::Seeking}, kLandingBound))
        return MCIERR_DRIVER;
    return device.landed();
}

} // namespace

ErrorCode handleSeek(MciContext& context, const MciCommand& command, std::string&)
{
    if (!command.has(Kw::To))
        return MCIERR_MISSING_PARAMETER;
    MciInstance& instance = *context.instance;
    return awaitLanding(*instance.device, command, instance.device->seek(framesOf(instance, command.get(Kw::To))));
}

ErrorCode handleStep(MciContext& context, const MciCommand& command, std::string&)
{
    // "by" counts frames whatever the time format, as MCI's digital-video step does.
    MciDevice& device = *context.instance->device;
    return awaitLanding(device, command, device.step(stepFrames(command)));
}

} // namespace mci
