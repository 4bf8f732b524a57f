#include "mci/frames/SoundFollower.h"

namespace mci {
namespace {

// The sound's clock moves in steps of its output's buffers: its speed is judged over
// spans at least this long.
constexpr double kSpan = 0.2;
// A clock moving at least this fast (and no faster than the inverse) is the sound playing.
constexpr double kMinSpeed = 0.75;
// How much faster than the time passing a followed sound may move away from the
// pictures before it counts as a jump (stamps that restart), not as pictures late.
constexpr double kJump = 0.5;

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

bool SoundFollower::trusted(double lag, double now) const
{
    if (lag < -kBehindJoin)
        return false;
    if (!following_)
        return lag <= kAheadTrust;
    return lag - lastLag_ <= (now - lastAt_) + kJump;
}

SoundFollower::Action SoundFollower::follow(double lag, double now)
{
    following_ = true;
    lastLag_ = lag;
    lastAt_ = now;
    return Action::Follow;
}

SoundFollower::Action SoundFollower::decide(double heard, double pictures, double now)
{
    const double lag = heard - pictures;
    if (heard < 0 || !running(heard, now) || !trusted(lag, now)) {
        if (heard < 0) {
            sampled_ = false;
            running_ = false;
        }
        following_ = false;
        return Action::Own;
    }
    if (lag >= -kBehindWait || (joins_ > 0 && now - joinedAt_ < kAfterJoin))
        return follow(lag, now);
    following_ = false;
    if (joins_ >= kMaxJoins)
        return Action::Own;
    ++joins_;
    joinedAt_ = now;
    // A moved sound must be heard running again before it is trusted.
    sampled_ = false;
    running_ = false;
    return Action::Join;
}

} // namespace mci
