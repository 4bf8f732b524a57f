#include "mci/SoundFollower.h"

namespace mci {
namespace {

// The sound's clock moves in steps of its output's buffers: its speed is judged over
// spans at least this long.
constexpr double kSpan = 0.2;
// A clock moving at least this fast (and no faster than the inverse) is the sound playing.
constexpr double kMinSpeed = 0.75;

} // namespace

bool SoundFollower::running(double heard, double now)
{
    if (!sampled_) {
        sampled_ = true;
        sampleHeard_ = heard;
        sampleAt_ = now;
        return running_;
    }
    const double span = now - sampleAt_;
    if (span < kSpan)
        return running_;
    const double speed = (heard - sampleHeard_) / span;
    running_ = speed >= kMinSpeed && speed <= 1 / kMinSpeed;
    sampleHeard_ = heard;
    sampleAt_ = now;
    return running_;
}

SoundFollower::Action SoundFollower::decide(double heard, double pictures, double now)
{
    if (heard < 0 || joins_ >= kMaxJoins) {
        sampled_ = false;
        running_ = false;
        return Action::Own;
    }
    if (!running(heard, now))
        return Action::Own;
    const double lag = heard - pictures;
    if (lag > kAheadTrust || lag < -kBehindJoin)
        return Action::Own;
    if (lag >= -kBehindWait || (joins_ > 0 && now - joinedAt_ < kAfterJoin))
        return Action::Follow;
    ++joins_;
    joinedAt_ = now;
    // A moved sound must be heard running again before it is trusted.
    sampled_ = false;
    running_ = false;
    return Action::Join;
}

} // namespace mci
