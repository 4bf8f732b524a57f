#include "test_keys_fixture.h"

using KeyZoom = KeysFixture;

TEST_F(KeyZoom, MagnifyStepsFromTheWholeWindowUpToTwelveAndBack)
{
    Ready();
    DisplaySize(320, 240);
    KeyZoomLeft = -40; // left over from an earlier medium: the first step ignores it
    KeyZoomWidth = 999;
    Key(VkPageUp);
    EXPECT_EQ(LastSent(), Rect(0, 0, 352, 264));
    for (int i = 1; i < 12; ++i)
        Key(VkPageUp, i % 2 ? Qt::ControlModifier : Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(LastSent(), Rect(0, 0, 320 + 12 * 32, 240 + 12 * 24));
    mci.clearSent();
    Key(VkPageUp);
    EXPECT_TRUE(Sent().empty()) << "a thirteenth step is refused silently";

    Key(VkEnd); // the origin moves; shrinking keeps it
    Key(VkPageUp, Qt::ShiftModifier | Qt::KeypadModifier);
    EXPECT_EQ(LastSent(), Rect(0, -9, 320 + 11 * 32, 240 + 12 * 24 - 2 - 24));
    for (int i = 0; i < 11; ++i)
        Key(VkPageUp, Qt::ShiftModifier);
    EXPECT_EQ(LastSent(), Rect(0, -9, 320, 238)) << "level 0 keeps the origin";
    mci.clearSent();
    Key(VkPageUp, Qt::ShiftModifier);
    EXPECT_TRUE(Sent().empty()) << "nothing below level 0";
    Key(VkInsert);
    EXPECT_EQ(Sent(), Commands({Rect(0, 0, 320, 240)}));
    EXPECT_EQ(beeps, 0);
}

TEST_F(KeyZoom, PanKeysUndoEachOtherAndStopAtTheirEdges)
{
    Ready();
    DisplaySize(100, 100);
    for (quint16 vk : {VkHome, VkEnd, VkDelete, VkPageDown})
        Key(vk);
    EXPECT_TRUE(Sent().empty()) << "no pan without magnification";
    Key(VkPageUp); // 0 0 110 110
    mci.clearSent();
    Key(VkHome);   // top already 0
    Key(VkDelete); // left already 0
    Key(VkEnd);    // 0 + 110 - 2 > 100
    Key(VkEnd);    // -9 + 108 - 2 is not
    Key(VkHome);
    EXPECT_EQ(Sent(), Commands({Rect(0, -9, 110, 108), Rect(0, 0, 110, 110)}));
}

TEST_F(KeyZoom, PageDownAndDeletePanAcrossAWindowNarrowerThanTheScreen)
{
    Ready();
    DisplaySize(320, 240);
    for (int i = 0; i < 3; ++i)
        Key(VkPageUp); // 0 0 416 312
    mci.clearSent();
    Key(VkPageDown);
    Key(VkPageDown);
    Key(VkDelete);
    EXPECT_EQ(Sent(), Commands({Rect(-9, 0, 414, 312), Rect(-18, 0, 412, 312), Rect(-9, 0, 414, 312)}));
    mci.clearSent();
    for (int i = 0; i < 20; ++i)
        Key(VkPageDown);
    EXPECT_EQ(LastSent(), Rect(-81, 0, 398, 312)) << "stops once the right edge has come in";
}
