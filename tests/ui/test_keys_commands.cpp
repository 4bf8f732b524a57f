#include "test_keys_fixture.h"

#include <QFrame>
#include <QTimer>

using KeyCommands = KeysFixture;

TEST_F(KeyCommands, WithoutAMediumNoKeyOrCharacterDoesAnything)
{
    CanSave = 1;
    for (quint16 vk = 33; vk <= 46; ++vk)
        Key(vk, Qt::ShiftModifier);
    for (quint16 vk : {VkAdd, VkSubtract, VkOemPlus, VkOemMinus})
        Key(vk); // would beep with a medium
    for (char ch : std::string("*/,.+-0123456789c"))
        Char(ch);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(MultiStep, 0);
}

TEST_F(KeyCommands, VolumeStepsWithExactlyCtrlAndBeepsAtTheBoundsOrOtherwise)
{
    Ready();
    Volume = 900;
    Key(VkAdd, Qt::ControlModifier | Qt::KeypadModifier);
    Key(VkOemPlus, Qt::ControlModifier);
    EXPECT_EQ(Sent(), Commands({"setaudio vid volume to 1000", "setaudio vid volume to 1000"}));
    EXPECT_EQ(beeps, 1) << "at 1000 it beeps and still sends";
    Volume = 0;
    mci.clearSent();
    Key(VkOemMinus, Qt::ControlModifier);
    EXPECT_EQ(Sent(), Commands({"setaudio vid volume to 0"}));
    EXPECT_EQ(beeps, 2);

    mci.clearSent();
    Key(VkAdd);
    Key(VkSubtract, Qt::ControlModifier | Qt::ShiftModifier);
    NoVolume = 1;
    Key(VkAdd, Qt::ControlModifier);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(beeps, 5);
    EXPECT_EQ(Volume, 0);
}

TEST_F(KeyCommands, ZoomFactorKeysPlaceTheVideoWithinOneToFour)
{
    Ready();
    CanStretch = 1;
    SourceWidth = 160;
    SourceHeight = 120;
    Char('*');
    EXPECT_EQ(Zoom, 2);
    EXPECT_EQ(Sent(), Commands({"put vid destination at 0 0 320 240"}));
    EXPECT_TRUE(panel->Timer1->isActive());
    Char('/');
    Char('/');
    EXPECT_EQ(Zoom, 1);
    Zoom = 4;
    mci.clearSent();
    Char('*');
    CanStretch = 0;
    Char('/');
    EXPECT_EQ(Zoom, 3) << "a device that cannot stretch only gets the factor";
    EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyCommands, CommaAndPeriodToggleMultiStepWithItsDotAndHint)
{
    Ready();
    panel->Timer2->start();
    Char(',');
    EXPECT_EQ(MultiStep, 1);
    EXPECT_TRUE(panel->ShMultiStep->isVisibleTo(panel.get()));
    EXPECT_EQ(panel->BtnStep->toolTip(), QStringLiteral("Multiple Step"));
    EXPECT_FALSE(panel->Timer2->isActive());
    Char('.');
    EXPECT_EQ(MultiStep, 0);
    EXPECT_FALSE(panel->ShMultiStep->isVisibleTo(panel.get()));
    EXPECT_EQ(panel->BtnStep->toolTip(), QStringLiteral("Step Forward"));
    Char('0');
    EXPECT_EQ(PanelInFront, 1);
    Char('0');
    EXPECT_EQ(PanelInFront, 0);
}

TEST_F(KeyCommands, DigitsRunTheTransport)
{
    Ready();
    Char('5'); // stop button disabled: nothing
    Char('6');
    Char('6');
    EXPECT_EQ(Paused, 1);
    EXPECT_TRUE(panel->BtnPlay->isEnabled());
    EXPECT_FALSE(panel->BtnPlayPause->isVisibleTo(panel.get()));
    EXPECT_FALSE(panel->BtnStop->isEnabled());
    Char('6');
    Char('5');
    EXPECT_EQ(Playing, 0);
    Char('7');
    Char('1');
    Char('2');
    Char('8');
    CanReverse = 0;
    Char('4');
    CanReverse = 1;
    Char('4');
    Char('4');
    Char('4');
    EXPECT_EQ(Sent(), Commands({"play vid", "pause vid", "play vid", "stop vid", "stop vid",
                                "seek vid to start", "stop vid", "seek vid to end", "pause vid",
                                "step vid", "step vid reverse", "play vid reverse", "pause vid",
                                "resume vid"}));
}

TEST_F(KeyCommands, KeysReachTheCommandsFromBothWindows)
{
    Ready();
    DisplaySize(320, 240);
    Volume = 500;
    QTest::keyClick(panel.get(), Qt::Key_PageUp);
    QTest::keyClick(display.get(), Qt::Key_PageUp);
    QTest::keyClick(display.get(), Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(panel.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(display.get(), Qt::Key_Left);
    QTest::keyClick(panel.get(), '6');
    QTest::keyClick(display.get(), Qt::Key_6, Qt::KeypadModifier);
    EXPECT_EQ(Sent(), Commands({Rect(0, 0, 352, 264), Rect(0, 0, 384, 288), "setaudio vid volume to 600",
                                "setaudio vid volume to 500", "play vid", "pause vid"}));
    EXPECT_EQ(beeps, 0);
}
