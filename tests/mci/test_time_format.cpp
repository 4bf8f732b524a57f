#include "mci/MciTimeFormat.h"

#include <gtest/gtest.h>

using namespace mci;

TEST(TimeFormat, FramesPassUnchanged)
{
    EXPECT_EQ(MciTimeFormat::toCaller(TimeFormat::Frames, 1234, 29970), 1234);
    EXPECT_EQ(MciTimeFormat::toFrames(TimeFormat::Frames, 1234, 29970), 1234);
}

TEST(TimeFormat, MillisecondsAtWholeRates)
{
    EXPECT_EQ(MciTimeFormat::toCaller(TimeFormat::Milliseconds, 25, 25000), 1000);
    EXPECT_EQ(MciTimeFormat::toFrames(TimeFormat::Milliseconds, 1000, 25000), 25);
    // A time inside a frame names that frame.
    EXPECT_EQ(MciTimeFormat::toFrames(TimeFormat::Milliseconds, 1039, 25000), 25);
    EXPECT_EQ(MciTimeFormat::toFrames(TimeFormat::Milliseconds, 1040, 25000), 26);
}

TEST(TimeFormat, EveryFrameSurvivesTheRoundTripAtNtscRate)
{
    for (int64_t frame = 0; frame < 5000; ++frame) {
        const int64_t ms = MciTimeFormat::toCaller(TimeFormat::Milliseconds, frame, 29970);
        ASSERT_EQ(MciTimeFormat::toFrames(TimeFormat::Milliseconds, ms, 29970), frame) << frame;
    }
}

TEST(TimeFormat, LongMediaDoNotOverflow)
{
    const int64_t tenDays = 10LL * 24 * 3600 * 60;  // frames at 60 fps
    const int64_t ms = MciTimeFormat::toCaller(TimeFormat::Milliseconds, tenDays, 60000);
    EXPECT_EQ(ms, 10LL * 24 * 3600 * 1000);
    EXPECT_EQ(MciTimeFormat::toFrames(TimeFormat::Milliseconds, ms, 60000), tenDays);
}

TEST(TimeFormat, UnknownRateCountsFramesAsMilliseconds)
{
    EXPECT_EQ(MciTimeFormat::toCaller(TimeFormat::Milliseconds, 77, 0), 77);
    EXPECT_EQ(MciTimeFormat::toFrames(TimeFormat::Milliseconds, 77, 0), 77);
}

TEST(TimeFormat, Names)
{
    TimeFormat f = TimeFormat::Frames;
    EXPECT_TRUE(MciTimeFormat::fromName("ms", f));
    EXPECT_EQ(f, TimeFormat::Milliseconds);
    EXPECT_TRUE(MciTimeFormat::fromName("frames", f));
    EXPECT_EQ(f, TimeFormat::Frames);
    EXPECT_FALSE(MciTimeFormat::fromName("smpte 25", f));
    EXPECT_EQ(MciTimeFormat::name(TimeFormat::Milliseconds), "milliseconds");
}
