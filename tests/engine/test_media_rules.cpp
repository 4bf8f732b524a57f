#include "engine/modul01.h"

#include <gtest/gtest.h>

namespace {

TEST(NameRoutines, TheNameIsCutAtBothSeparatorsAndUpperCased)
{
    EXPECT_EQ(ExtractNameUpper("D:\\MUSIC\\SONG.MID"), "SONG.MID");
    EXPECT_EQ(ExtractNameUpper("C:CLIP.AVI"), "C:CLIP.AVI") << "a drive prefix is no separator";
    EXPECT_EQ(ExtractNameUpper("/home/u/clips/my clip.mp4"), "MY CLIP.MP4");
    EXPECT_EQ(ExtractNameUpper("/home/u\\odd/dir\\last.avi"), "LAST.AVI");
    EXPECT_EQ(ExtractNameUpper("plain.mov"), "PLAIN.MOV");
    EXPECT_EQ(ExtractNameUpper("/trailing/"), "");
    QString name = "old";
    ExtractNameUpper("a/b.kql", name);
    EXPECT_EQ(name, "B.KQL");
}

TEST(NameRoutines, TheLastThreeCharactersAreTakenByPosition)
{
    EXPECT_EQ(ExtractLast3("CLIP.MPEG"), "PEG");
    EXPECT_EQ(ExtractLast3("CLIP.AVI"), "AVI");
    EXPECT_EQ(ExtractLast3("QUEUEKQL"), "KQL") << "no dot is needed";
    EXPECT_EQ(ExtractLast3("AB"), "AB");
    EXPECT_EQ(ExtractLast3(""), "");
}

TEST(TrackScale, EveryRowAndItsBoundaries)
{
    struct Row { int from; int to; int scale; };
    const Row rows[] = {
        {32766, 32766, 1},           {32767, 65533, 2},          {65534, 98300, 3},
        {98301, 131067, 4},          {131068, 196601, 5},        {196602, 327669, 10},
        {327670, 3276699, 100},      {3276700, 32766999, 1000},  {32767000, 327669999, 10000},
        {327670000, 2147483647, 100000},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(TrackScaleFor(r.from), r.scale) << r.from;
        EXPECT_EQ(TrackScaleFor(r.to), r.scale) << r.to;
        EXPECT_LE(r.from / r.scale, r.scale == 5 ? 39320 : 32766) << r.from;
    }
    EXPECT_EQ(TrackScaleFor(0), 1);
    EXPECT_EQ(TrackScaleFor(-5), 1);
    EXPECT_EQ(196601 / TrackScaleFor(196601), 39320);
}

TEST(SourceSize, AReplyWithoutFourNumbersLeavesTheOldSize)
{
    int w = 320, h = 240;
    for (const char* reply : {"", "0 0 352", "0 0 wide 288", "0 0 -352 288", "garbage"}) {
        EXPECT_FALSE(SourceSizeFromReply(reply, w, h)) << reply;
        EXPECT_EQ(w, 320) << reply;
        EXPECT_EQ(h, 240) << reply;
    }
}

} // namespace
