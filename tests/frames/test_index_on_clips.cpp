// The frame index and the prefetch planner on real clips.
#include "StampedClip.h"
#include "mci/frames/FrameIndex.h"
#include "mci/frames/PrefetchPlanner.h"

#include <gtest/gtest.h>

#include <set>

using namespace keldtest;
using mci::PrefetchPlanner;

namespace {

TEST(FrameIndex, VariableRateFramesKeepTheirOwnTimes)
{
    mci::FrameIndex index;
    ASSERT_EQ(index.build(StampedClip::get(ClipKind::MkvVfr).path.toStdString()), mci::FrameIndex::Result::Ok);
    ASSERT_EQ(index.count(), 60);
    // Durations alternate 40 and 80 ms: frame 2 starts at 120 ms, frame 3 at 160 ms.
    EXPECT_NEAR(index.timeOf(3) - index.timeOf(2), 0.040, 1e-6);
    EXPECT_NEAR(index.timeOf(4) - index.timeOf(3), 0.080, 1e-6);
    const double t2 = index.timeOf(2);
    EXPECT_EQ(index.frameAtTime(t2 - 0.005, 0, 60), 1);
    EXPECT_EQ(index.frameAtTime(t2, 0, 60), 2);
    EXPECT_EQ(index.frameAtTime(t2 + 0.030, 0, 60), 2);
    EXPECT_EQ(index.frameAtTime(-5, 0, 60), 0);
    EXPECT_EQ(index.frameAtTime(1e6, 0, 60), 59);
}

TEST(FrameIndex, MissingAndUnreadableFilesAreTold)
{
    mci::FrameIndex index;
    EXPECT_EQ(index.build(StampedClip::folder().toStdString() + "/nothing_here.mp4"), mci::FrameIndex::Result::NotFound);
    EXPECT_EQ(index.build(StampedClip::folder().toStdString()), mci::FrameIndex::Result::Invalid);
    EXPECT_FALSE(index.hasVideo());
    EXPECT_EQ(index.count(), 0);
}

// Reverse play right after a seek: the seek decoded only the frame asked for, and the
// frame before it is waited for. The first job must not decode the whole window with
// every picture in it (as long as several exact seeks); a short stretch comes first,
// then the rest of the window.
TEST(ReverseAfterASeek, TheFirstJobIsAShortStretchBelowThePositionAndTheNextFillsTheWindow)
{
    const ClipInfo clip = StampedClip::get(ClipKind::Mp4LongGop);   // one key frame, 150 frames
    ASSERT_FALSE(clip.path.isEmpty());
    mci::FrameIndex index;
    ASSERT_EQ(index.build(clip.path.toStdString()), mci::FrameIndex::Result::Ok);
    const PrefetchPlanner planner(index);
    const int64_t at = 140;
    const PrefetchPlanner::Situation reverse {at, -1, mci::Motion::Reverse, 130};
    std::set<int64_t> cache {at};
    const auto cached = [&](int64_t n) { return cache.count(n) > 0; };

    const auto first = planner.next(reverse, cached);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->urgent);
    // Planned for reverse play: background jobs planned before it make way for it.
    EXPECT_EQ(first->motion, mci::Motion::Reverse);
    EXPECT_EQ(first->last, at - 1);
    EXPECT_GE(first->first, at - PrefetchPlanner::kFirstReverseStretch);
    // Below the stretch only the references are decoded.
    EXPECT_EQ(first->keepFrom, first->first);
    for (int64_t n = first->first; n <= first->last; ++n)
        cache.insert(n);

    const auto rest = planner.next(reverse, cached);
    ASSERT_TRUE(rest);
    EXPECT_FALSE(rest->urgent);
    EXPECT_EQ(rest->last, first->first - 1);
    EXPECT_EQ(rest->first, at - PrefetchPlanner::behindWindow(reverse));
    EXPECT_EQ(rest->keepFrom, rest->first);
}

} // namespace
