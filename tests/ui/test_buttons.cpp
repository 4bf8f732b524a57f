#include "PanelFixture.h"

#include <QAction>
#include <QFrame>
#include <QLabel>

inline void PrintTo(TransportState state, std::ostream* os) { *os << TransportStateName(state); }

namespace {

bool Shown(QToolButton* b) { return b->isVisibleTo(b->parentWidget()) && b->isEnabled(); }
bool Gone(QToolButton* b) { return !b->isVisibleTo(b->parentWidget()) && !b->isEnabled(); }

} // namespace

using Buttons = PanelFixture;

TEST_F(Buttons, PlayThenPauseSwapsThePairAndThePauseKeepsItsPlace)
{
    Ready();
    panel->BtnPlay->click();
    EXPECT_EQ(Sent(), Commands({"play vid"}));
    EXPECT_TRUE(Shown(panel->BtnPlayPause));
    EXPECT_TRUE(Gone(panel->BtnPlay));
    EXPECT_TRUE(panel->BtnStop->isEnabled());
    EXPECT_TRUE(panel->Timer3->isActive());

    mci.clearSent();
    panel->BtnPlayPause->click();
    EXPECT_EQ(Sent(), Commands({"pause vid"}));
    EXPECT_TRUE(Shown(panel->BtnPlay));
    EXPECT_TRUE(Gone(panel->BtnPlayPause));
    EXPECT_FALSE(panel->BtnStop->isEnabled());
    EXPECT_EQ(Playing, 0);
    EXPECT_EQ(Paused, 1);

    mci.clearSent();
    panel->BtnPlay->click();
    EXPECT_EQ(Sent(), Commands({"play vid"}));
}

// The remote control and other observers follow the transport through the
// player's signal only: a handler that moved the buttons without moving the
// transport, or moved it twice, would show them a wrong status.
TEST_F(Buttons, ObserversSeeEachButtonsMoveOfTheTransportOnce)
{
    Ready();
    std::vector<TransportState> seen;
    QObject observer;
    QObject::connect(&ThePlayer(), &Player::TransportChanged, &observer,
                     [&seen](TransportState, TransportState now) { seen.push_back(now); });
    panel->BtnPlay->click();
    panel->BtnPlayPause->click();
    panel->BtnPlayRev->click();
    panel->BtnRevPause->click();
    panel->BtnStopClick();
    panel->BtnPlay->click();
    panel->BtnStep->click();
    panel->BtnToEnd->click();
    panel->Close1Click();
    using T = TransportState;
    EXPECT_EQ(seen, (std::vector<T>{T::Playing, T::Paused, T::PlayingReverse, T::PausedReverse, T::Stopped,
                                    T::Playing, T::Paused, T::Stopped, T::NoMedium}));
}

TEST_F(Buttons, ReversePlayWhilePlayingForwardSwapsBothPairs)
{
    Ready();
    panel->BtnPlay->click();
    mci.clearSent();
    panel->BtnPlayRev->click();
    EXPECT_EQ(Sent(), Commands({"play vid reverse"}));
    EXPECT_TRUE(Shown(panel->BtnPlay));
    EXPECT_TRUE(Shown(panel->BtnRevPause));
    EXPECT_TRUE(Gone(panel->BtnPlayRev));
    EXPECT_EQ(Playing, 0);
    EXPECT_EQ(PlayingReverse, 1);
    EXPECT_TRUE(panel->BtnStop->isEnabled()) << "the stop button keeps its state";
}

TEST_F(Buttons, ReversePlayAfterReversePauseResumes)
{
    Ready();
    panel->BtnPlayRev->click();
    panel->BtnRevPause->click();
    EXPECT_EQ(PausedReverse, 1);
    EXPECT_EQ(PlayingReverse, 0);
    EXPECT_TRUE(Shown(panel->BtnPlayRev));
    mci.clearSent();
    panel->BtnPlayRev->click();
    EXPECT_EQ(Sent(), Commands({"resume vid"}));
}

TEST_F(Buttons, MultiStepClicksStartAndStopTheStepTimerAndEachPauses)
{
    Ready();
    MultiStep = 1;
    panel->BtnPlay->click();
    mci.clearSent();
    panel->BtnStep->click();
    EXPECT_TRUE(panel->Timer2->isActive());
    EXPECT_EQ(Playing, 0);
    EXPECT_TRUE(Shown(panel->BtnPlay));
    panel->BtnStep->click();
    EXPECT_FALSE(panel->Timer2->isActive());
    EXPECT_EQ(Sent(), Commands({"pause vid", "pause vid"}));

    panel->Timer2Timer();
    EXPECT_EQ(mci.count("step vid"), 1u);
    MediaOpen = 0;
    panel->Timer2Timer();
    EXPECT_EQ(mci.count("step vid"), 1u) << "no step without a medium";
}

TEST_F(Buttons, SingleStepWhilePlayingStopsStepsAndShowsPaused)
{
    Ready();
    panel->BtnPlay->click();
    mci.clearSent();
    panel->BtnStep->click();
    EXPECT_EQ(Sent(), Commands({"pause vid", "stop vid", "step vid"}));
    EXPECT_EQ(Playing, 0);
    EXPECT_EQ(Paused, 1);
    EXPECT_FALSE(panel->BtnStop->isEnabled());
}

TEST_F(Buttons, StopAndJumpsShowTheStoppedLook)
{
    Ready();
    panel->BtnPlay->click();
    mci.clearSent();
    panel->BtnStop->click();
    EXPECT_EQ(Sent(), Commands({"stop vid"}));
    EXPECT_TRUE(Shown(panel->BtnPlay));
    EXPECT_EQ(Paused, 0);

    mci.clearSent();
    panel->BtnToStart->click();
    panel->BtnToEnd->click();
    EXPECT_EQ(Sent(), Commands({"stop vid", "seek vid to start", "stop vid", "seek vid to end"}));
}

TEST_F(Buttons, JumpToStartBringsThePanelForwardOnlyForMovFiles)
{
    Ready(1000, 1, "CLIP.AVI");
    panel->hide();
    panel->BtnToStart->click();
    EXPECT_FALSE(panel->isVisible());
    Ready(1000, 1, "CLIP.MOV");
    panel->BtnToStart->click();
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(Buttons, LoopPairFollowsLoopOn)
{
    Ready();
    panel->BtnLoop0->click();
    EXPECT_EQ(LoopOn, 1);
    EXPECT_TRUE(Shown(panel->BtnLoop1));
    EXPECT_TRUE(Gone(panel->BtnLoop0));
    panel->BtnLoop1->click();
    EXPECT_EQ(LoopOn, 0);
    EXPECT_TRUE(Shown(panel->BtnLoop0));
}

TEST_F(Buttons, PausedAndStoppedLooksTouchOnlyTheirFlags)
{
    Ready();
    ThePlayer().Transition(TransportState::Paused); // a pause from before, while nothing plays
    ShowPausedButtons();
    EXPECT_EQ(Paused, 1) << "the paused look does not clear Paused";
    panel->Timer2->start();
    ShowStoppedButtons();
    EXPECT_EQ(Paused, 0);
    EXPECT_FALSE(panel->Timer2->isActive());

    panel->BtnPlayRev->click();
    ShowPausedButtons();
    EXPECT_EQ(PlayingReverse, 0);
    EXPECT_EQ(PausedReverse, 1);
    EXPECT_TRUE(Shown(panel->BtnPlayRev));
}

TEST_F(Buttons, ResizeKeepsOneRowAndStretchesStripAndBar)
{
    ASSERT_EQ(panel->logicalDpiX(), 96);
    panel->show();
    panel->resize(441, 21);
    panel->resize(440, 21);
    EXPECT_EQ(panel->Panel1->width(), 241);
    EXPECT_EQ(panel->Trackbar1->width(), 243);
    panel->resize(300, 60);
    EXPECT_EQ(panel->width(), 439);
    EXPECT_EQ(panel->height(), 21);
    EXPECT_EQ(panel->Panel1->width(), 240);
    EXPECT_EQ(panel->Trackbar1->width(), 242);
    panel->resize(539, 21);
    EXPECT_EQ(panel->Panel1->width(), 340);
}

TEST_F(Buttons, TheMenuHoldsItsShortcutsAndStartsWithMediaEntriesOff)
{
    EXPECT_EQ(panel->Open->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(panel->Close1->shortcut(), QKeySequence("Ctrl+X"));
    EXPECT_EQ(panel->GotoFrame->shortcut(), QKeySequence("Ctrl+G"));
    EXPECT_EQ(panel->OpenQueue1->shortcut(), QKeySequence("Ctrl+L"));
    EXPECT_EQ(panel->Preferences1->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(panel->Exit1->shortcut(), QKeySequence("Ctrl+Q"));
    for (QAction* off : {panel->Close1, panel->GotoFrame, panel->ClearQueue1, panel->EndQueue1,
                         panel->ConfigureMCIdevice1})
        EXPECT_FALSE(off->isEnabled()) << off->text().toStdString();
}

TEST_F(Buttons, OpenDialogFilterKeepsEveryPatternInQtForm)
{
    EXPECT_EQ(panel->OpenDialog1QtFilter(),
              QString("Video Files (*.avi;*.mpg;*.mpa;*.mpv;*.dat;*.fl?;*.vbs;*.mov) "
                      "(*.avi *.mpg *.mpeg *.mpa *.mpv *.dat *.fl? *.vbs *.mov);;"
                      "All Files (*.*) (*.*)"));
}
