#include "mci/frames/FrameIndex.h"
#include "mci/frames/PrefetchPlanner.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using mci::FrameIndex;

namespace {

// A stream built packet by packet, in decode order: 'I' key, 'P', 'B'; pts in
// frame periods (kNoTime: none).
struct Stream {
    FrameIndex index;
    Stream() { index.reset({"test", 1.0 / 25, 25, 320, 240, false, {}}); }
    void add(char type, int64_t pts, uint8_t extra = 0)
    {
        FrameIndex::Packet p;
        p.pos = index.packetCount() * 1000;
        p.pts = pts;
        p.dts = index.packetCount();
        p.type = type;
        p.flags = uint8_t((type == 'I' ? FrameIndex::kKey : 0) | extra);
        index.add(p);
    }
    // A group in decode order I P B B P B B ... shown as B B I ... (open GOP).
    void group(int64_t firstPts, int frames)
    {
        add('I', firstPts + 2);
        add('B', firstPts);
        add('B', firstPts + 1);
        for (int n = 3; n < frames; n += 3) {
            add('P', firstPts + n + 2);
            add('B', firstPts + n);
            add('B', firstPts + n + 1);
        }
    }
    std::vector<int64_t> shownPts() const
    {
        std::vector<int64_t> out;
        for (int64_t n = 0; n < index.count(); ++n)
            out.push_back(index.packet(index.packetOf(n)).pts);
        return out;
    }
};

TEST(FrameIndexNumbering, StampsThatRestartBetweenGroupsKeepTheOrderOfTheStream)
{
    Stream s;
    s.group(100, 12);
    s.group(112, 12);
    s.group(0, 12);   // a second recording joined on: its stamps start again
    s.index.number();
    ASSERT_EQ(s.index.count(), 36);
    const auto pts = s.shownPts();
    for (int n = 0; n < 24; ++n)
        EXPECT_EQ(pts[size_t(n)], 100 + n) << n;
    for (int n = 24; n < 36; ++n)
        EXPECT_EQ(pts[size_t(n)], n - 24) << n;
    // Played from frame 20, the time of the joined half's frame 3 means frame 27,
    // not the first half's frame at that time.
    EXPECT_EQ(s.index.frameAtTime(3 / 25.0, 20, 20), 27);
}

TEST(FrameIndexNumbering, WithoutStampsReferencePicturesAreShownWhenTheNextOneArrives)
{
    Stream s;
    s.group(FrameIndex::kNoTime, 9);
    s.group(FrameIndex::kNoTime, 9);
    s.index.number();
    // Decode order I B B P B B P B B | I B B ...: shown B B I B B P B B P | B B I ...
    const int64_t key2 = 9;
    EXPECT_EQ(s.index.frameOf(0), 2);
    EXPECT_EQ(s.index.frameOf(1), 0);
    EXPECT_EQ(s.index.frameOf(3), 5);
    EXPECT_EQ(s.index.frameOf(6), 8);
    EXPECT_EQ(s.index.frameOf(key2), 11);
    EXPECT_EQ(s.index.frameOf(key2 + 1), 9);
    // A frame shown ahead of its group's key is decoded from the group before.
    EXPECT_EQ(s.index.decodeStartFor(11), key2);
    EXPECT_EQ(s.index.decodeStartFor(12), key2);
    EXPECT_EQ(s.index.decodeStartFor(9), 0);
    EXPECT_EQ(s.index.decodeStartFor(10), 0);

    // AVI's pattern: B pictures carry their decode order as stamps. Frames are then
    // timed by the nominal rate, never by those stamps.
    Stream avi;
    avi.add('I', FrameIndex::kNoTime);
    avi.add('P', FrameIndex::kNoTime);
    avi.add('B', 2);
    avi.add('B', 3);
    avi.add('P', FrameIndex::kNoTime);
    avi.index.number();
    for (int64_t n = 1; n < avi.index.count(); ++n)
        EXPECT_NEAR(avi.index.timeOf(n) - avi.index.timeOf(n - 1), 0.04, 1e-9) << n;
}

TEST(FrameIndexNumbering, PicturesBeforeTheFirstDecodedOneAndDiscardedPacketsAreNoFrames)
{
    Stream s;
    s.add('P', 5, FrameIndex::kDiscard);   // decoded for its references only
    s.group(10, 9);
    s.index.number();
    EXPECT_EQ(s.index.count(), 9);
    EXPECT_EQ(s.index.frameOf(0), -1);
    // The decoder's first picture was the key: the two leading pictures never come out.
    s.index.markFirstOutput(1);
    EXPECT_EQ(s.index.count(), 7);
    EXPECT_EQ(s.index.frameOf(1), 0);
    EXPECT_EQ(s.index.packet(s.index.packetOf(1)).pts, 13);
    EXPECT_EQ(s.index.decodeStartFor(0), 1);
}

// Runs the planner against a cache of frame numbers, decoding what it asks for the
// way the decoder would (from the job's key frame up to its last frame) and keeping
// what fits, while the position walks down as in reverse play.
TEST(FrameIndexTimes, MillisecondsFollowTheFramesOwnTimesThroughHoldsRestartsAndTheLastFrame)
{
    Stream s;
    // Twelve frames; frame 5 is held for 3 s (75 periods), then a second recording
    // whose stamps start again; the last frame lasts its own 2 periods.
    for (int64_t n = 0; n < 6; ++n)
        s.add(n == 0 ? 'I' : 'P', n);
    for (int64_t n = 6; n < 9; ++n)
        s.add(n == 6 ? 'I' : 'P', n + 74);
    for (int64_t n = 0; n < 3; ++n)
        s.add(n == 0 ? 'I' : 'P', n);
    s.index.number();
    ASSERT_EQ(s.index.count(), 12);
    EXPECT_DOUBLE_EQ(s.index.durationOf(4), 0.04);
    EXPECT_DOUBLE_EQ(s.index.durationOf(5), 3.0);
    EXPECT_EQ(s.index.millisecondsOf(5), 200);
    EXPECT_EQ(s.index.millisecondsOf(6), 3200);
    // Across the restart a frame lasts one period; so does the last, which has no duration.
    EXPECT_EQ(s.index.millisecondsOf(9), 3320);
    EXPECT_EQ(s.index.millisecondsOf(12), 3440);
    // Every frame's millisecond leads back to it; inside the hold, to the held frame.
    for (int64_t n = 0; n < 12; ++n)
        EXPECT_EQ(s.index.frameAtMilliseconds(s.index.millisecondsOf(n)), n) << n;
    EXPECT_EQ(s.index.frameAtMilliseconds(1999), 5);
    EXPECT_EQ(s.index.frameAtMilliseconds(3199), 5);
    EXPECT_EQ(s.index.frameAtMilliseconds(3440), 12);
}

TEST(FrameIndexTimes, TheLastFrameLastsItsOwnDurationWhereTheContainerGivesOne)
{
    // A slide show at one picture in 20 s (the time base), the last shown for 60 s.
    FrameIndex index;
    index.reset({"test", 20, 0.05, 320, 240, false, {}});
    for (int64_t n = 0; n < 3; ++n) {
        FrameIndex::Packet p;
        p.pos = n * 1000;
        p.pts = n;
        p.dts = n;
        p.flags = FrameIndex::kKey;
        p.duration = n == 2 ? 3 : 1;
        index.add(p);
    }
    index.number();
    EXPECT_EQ(index.millisecondsOf(1), 20000);
    EXPECT_EQ(index.millisecondsOf(3), 100000);
    EXPECT_EQ(index.frameAtMilliseconds(99999), 2);
}

// The packed packet table gives back every value it was given, whatever the values
// (stamps at the ends of their range, missing ones, jumps), also after cutting it.
TEST(FrameIndexStorage, EveryPacketComesBackAsItWasAddedAlsoAfterTruncation)
{
    std::mt19937_64 random(7);
    const int64_t extremes[] = {INT64_MIN, INT64_MIN + 1, INT64_MAX, INT64_MAX - 1, -1, 0, 1};
    FrameIndex index;
    index.reset({});
    std::vector<FrameIndex::Packet> added;
    int64_t pos = 0;
    for (int p = 0; p < 5000; ++p) {
        FrameIndex::Packet k;
        pos += int64_t(random() % 200000);
        k.pos = p % 977 == 5 ? -1 : pos;
        k.dts = p < 1000 ? p * 512 : p < 2000 ? extremes[random() % 7] : int64_t(random());
        k.pts = p % 300 == 7 ? FrameIndex::kNoTime : k.dts / 2 + int64_t(random() % 2048);
        k.duration = int32_t(p < 3000 ? 512 : random() % INT32_MAX);
        k.flags = uint8_t(random() % 8);
        k.type = "?IPB"[random() % 4];
        index.add(k);
        added.push_back(k);
    }
    const auto same = [&](int64_t count) {
        ASSERT_EQ(index.packetCount(), count);
        for (int64_t p = 0; p < count; ++p) {
            const FrameIndex::Packet k = index.packet(p);
            const FrameIndex::Packet& a = added[size_t(p)];
            ASSERT_TRUE(k.pos == a.pos && k.pts == a.pts && k.dts == a.dts && k.duration == a.duration &&
                        k.flags == a.flags && k.type == a.type) << "packet " << p;
        }
    };
    same(5000);
    index.truncate(3333);
    same(3333);
    index.truncate(1280);
    same(1280);
    for (int p = 1280; p < 2600; ++p)
        index.add(added[size_t(p)]);
    same(2600);
}

TEST(PrefetchPlanning, PlayingBackThroughALongGroupDecodesItInAFewStretches)
{
    Stream s;
    s.add('I', 0);
    for (int n = 1; n < 250; ++n)
        s.add('P', n);   // one group of 250 frames
    s.index.number();
    mci::PrefetchPlanner planner(s.index);
    std::set<int64_t> cache;
    const int64_t capacity = 60;
    int jobs = 0;
    int64_t decoded = 0;
    for (int64_t t = 249; t >= 0; --t) {
        const mci::PrefetchPlanner::Situation now {t, -1, mci::Motion::Reverse, capacity};
        while (auto job = planner.next(now, [&](int64_t n) { return cache.count(n) != 0; })) {
            ++jobs;
            ASSERT_LT(jobs, 40) << "a job for every few frames";
            for (int64_t n = s.index.frameOf(job->start); n <= job->last; ++n) {
                ++decoded;
                cache.insert(n);
            }
            // The cache keeps what is nearest to the position; above it counts double.
            while (int64_t(cache.size()) > capacity)
                cache.erase(t - *cache.begin() > 2 * (*cache.rbegin() - t) ? *cache.begin() : *cache.rbegin());
        }
        ASSERT_TRUE(cache.count(t)) << "frame " << t << " was not ready in time";
    }
    EXPECT_LE(jobs, 16);   // stretches of about half the window
    EXPECT_LT(decoded, 250 * 8);
}

TEST(PrefetchPlanning, TheFrameAskedForComesFirstThenTheSideTheLastMoveWent)
{
    Stream s;
    s.group(0, 60);
    s.group(60, 60);
    s.index.number();
    mci::PrefetchPlanner planner(s.index);
    const auto none = [](int64_t) { return false; };
    const auto only = [](int64_t k) { return [k](int64_t n) { return n == k; }; };
    auto job = planner.next({70, 1, mci::Motion::Still, 50}, none);
    ASSERT_TRUE(job);
    EXPECT_TRUE(job->urgent);
    EXPECT_EQ(job->last, 70);
    job = planner.next({70, 1, mci::Motion::Still, 50}, only(70));
    ASSERT_TRUE(job);
    EXPECT_GT(job->first, 70);   // moving forward: ahead first
    job = planner.next({70, -1, mci::Motion::Still, 50}, only(70));
    ASSERT_TRUE(job);
    EXPECT_LT(job->last, 70);    // moving back: behind first
    EXPECT_EQ(job->last, 69);
}

} // namespace
