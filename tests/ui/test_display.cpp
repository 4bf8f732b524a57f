#include "PanelFixture.h"

#include "panel/VirtualKey.h"

#include <QTest>

using DisplayWindow = PanelFixture;

TEST_F(DisplayWindow, DraggingFollowsTheMouseButStopsShortOfZero)
{
    display->move(100, 100);
    display->FormMouseDown(Qt::LeftButton, 10, 10);
    display->FormMouseMove(Qt::LeftButton, Qt::NoModifier, 30, 15);
    EXPECT_EQ(display->pos(), QPoint(120, 105));
    EXPECT_EQ(DisplayLeft, 120);
    EXPECT_EQ(DisplayTop, 105);
    // Left would become 120 - 200 < 0: it stays, while the top still follows.
    display->FormMouseMove(Qt::LeftButton, Qt::NoModifier, -190, 40);
    EXPECT_EQ(display->pos(), QPoint(120, 135));
    display->FormMouseMove(Qt::LeftButton, Qt::NoModifier, 10, -125);
    EXPECT_EQ(display->pos(), QPoint(120, 135)) << "a top of exactly 0 is refused";
}

TEST_F(DisplayWindow, OtherButtonsModifiersFullScreenOrTheOpenDialogMoveNothing)
{
    display->move(100, 100);
    display->FormMouseDown(Qt::LeftButton, 10, 10);
    display->FormMouseMove(Qt::RightButton, Qt::NoModifier, 50, 50);
    display->FormMouseMove(Qt::LeftButton | Qt::RightButton, Qt::NoModifier, 50, 50);
    display->FormMouseMove(Qt::LeftButton, Qt::ShiftModifier, 50, 50);
    Zoom = 4;
    display->FormMouseMove(Qt::LeftButton, Qt::NoModifier, 50, 50);
    Zoom = 1;
    DisplayDraggable = 0;
    display->FormMouseMove(Qt::LeftButton, Qt::NoModifier, 50, 50);
    EXPECT_EQ(display->pos(), QPoint(100, 100));
    // A right press does not move the grab point.
    DisplayDraggable = 1;
    display->FormMouseDown(Qt::RightButton, 0, 0);
    display->FormMouseMove(Qt::LeftButton, Qt::NoModifier, 20, 20);
    EXPECT_EQ(display->pos(), QPoint(110, 110));
}

TEST_F(DisplayWindow, ReleaseHandsTheWindowBackOnlyWithAMedium)
{
    QTest::mouseRelease(display.get(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Sent().empty());
    MediaOpen = 1;
    QTest::mouseRelease(display.get(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(Sent(), Commands({"window vid handle " + display->HandleText().toStdString(), "update vid"}));
    EXPECT_EQ(display->HandleText(), QString::number(display->winId()));
}

TEST_F(DisplayWindow, AClickClearsPanelInFront)
{
    PanelInFront = 1;
    QTest::mouseClick(display.get(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(PanelInFront, 0);
}

TEST_F(DisplayWindow, KeysMapToTheirVirtualCodes)
{
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, Qt::NoModifier), 187);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Minus, Qt::NoModifier), 189);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_PageUp, Qt::NoModifier), 33);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Delete, Qt::NoModifier), 46);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_C, Qt::NoModifier), 0);
    EXPECT_TRUE(IsKeyDownCommand(46));
    EXPECT_FALSE(IsKeyDownCommand(47));
    EXPECT_FALSE(IsKeyDownCommand(32));
}
