#pragma once

namespace mci {

// Decides, frame by frame during forward play, whether the pictures follow the sound's
// clock. The pictures never wait for a sound that has not started: a sound output can
// take seconds to start (a sound server waking its sink), and the pictures start on
// time without it. Once the sound is heard running, the pictures follow it; if it runs
// far behind them, it is moved to where the pictures are (it joins them), and a little
// behind, the pictures slow down to it. Pictures that fall behind a sound they follow
// (decoded too slowly) keep following it however far, so that they catch up.
class SoundFollower {
public:
    enum class Action {
        Own,      // the pictures keep their own time
        Follow,   // the pictures keep to the sound's clock
        Join,     // the sound should move to the pictures' time; they keep their own meanwhile
    };

    // `heard`: the sound's clock in seconds on the medium (negative: unknown or ended);
    // `pictures`: where the pictures are now on the same clock; `now`: wall-clock seconds.
    Action decide(double heard, double pictures, double now);

    // Sound found ahead of the pictures by more than this is not the same stretch of
    // the medium (time stamps that restart): the pictures keep their own time then.
    // A sound already followed stays followed as long as it moves away from the
    // pictures no faster than the time passes (they fell behind, it did not jump).
    static constexpr double kAheadTrust = 1.0;
    // Sound further behind the pictures than this joins them instead of being waited
    // for (a sound output that took long to start); within it the pictures slow down to it.
    static constexpr double kBehindWait = 0.25;
    // ... up to this far: beyond it the stamps have jumped, and moving the sound there
    // would put it on another stretch of the medium.
    static constexpr double kBehindJoin = 10.0;
    // For this long after a join, what the sound is still behind is its output's own
    // start, which another join would only repeat: the pictures slow down to it.
    static constexpr double kAfterJoin = 3.0;
    // Joins after which the pictures no longer move the sound: they keep their own
    // time while it is behind them, and follow it again once they are behind it.
    static constexpr int kMaxJoins = 3;

private:
    bool running(double heard, double now);
    bool trusted(double lag, double now) const;
    Action follow(double lag, double now);

    bool sampled_ = false;
    double sampleHeard_ = 0;
    double sampleAt_ = 0;
    bool running_ = false;
    int joins_ = 0;
    double joinedAt_ = 0;
    bool following_ = false;
    double lastLag_ = 0;
    double lastAt_ = 0;
};

} // namespace mci
