#include "shell/FrameClock.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// A desktop's position in microseconds must name the frame on display at that
// time, and the position reported for a frame must name that frame again, at
// rates that do not divide a second evenly too.
TEST(FrameClock, MicrosecondsNameTheFrameOnDisplayAndBack)
{
    for (const qint64 rate1000 : {25000LL, 29970LL, 23976LL, 59940LL, 120000LL}) {
        const FrameClock clock(rate1000);
        for (qint64 frame = 0; frame < 20000; ++frame)
            ASSERT_EQ(frame, clock.FrameAt(clock.Microseconds(frame))) << "rate " << rate1000;
    }
    // 4 s at 29.97 frames per second is inside frame 119 (3.9706 s to 4.0040 s);
    // whole frames per second would say 116.
    EXPECT_EQ(119, FrameClock(29970).FrameAt(4000000));
    EXPECT_EQ(100, FrameClock(25000).FrameAt(4000000));
    EXPECT_EQ(99, FrameClock(25000).FrameAt(3999999));
    // A one-hour NTSC clip's length, and times no clip reaches, without overflow.
    EXPECT_EQ(3600000000LL, FrameClock(29970).Microseconds(107892));
    EXPECT_EQ(0, FrameClock(25000).FrameAt(-5));
    EXPECT_GT(FrameClock(25000).FrameAt(std::numeric_limits<qint64>::max()), 0);
}

} // namespace
