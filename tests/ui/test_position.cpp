#include "PanelFixture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

class Position : public PanelFixture {
protected:
    // Forward play standing at `frame` since the previous poll.
    void PlayingStuckAt(int frame)
    {
        panel->BtnPlay->click();
        PreviousFrame = frame;
        mci.answer("status vid position", {std::to_string(frame), 0});
        mci.clearSent();
    }
};

TEST_F(Position, APollShowsThePositionAndMovesTheBarWithoutSeeking)
{
    Ready(100000, 4);
    mci.answer("status vid position", {"4000", 0});
    panel->Timer1Timer();
    EXPECT_EQ(Sent(), Commands({"status vid position"}));
    EXPECT_EQ(panel->Trackbar1->value(), 1000);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  4000 / 100000");
    EXPECT_EQ(PreviousFrame, 4000);
}

TEST_F(Position, QueueModeAddsTheQueueSuffix)
{
    Ready(500);
    QueueActive = 1;
    mci.answer("status vid position", {"7", 0});
    panel->Timer1Timer();
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  7 / 500     -     Nr.:  0 / 0");
}

TEST_F(Position, TheEndWithLoopOffStopsAndKeepsTheLastPosition)
{
    Ready(500);
    PlayingStuckAt(499);
    panel->hide();
    panel->Timer1Timer();
    EXPECT_EQ(Sent(), Commands({"status vid position"}));
    EXPECT_EQ(Playing, 0);
    EXPECT_TRUE(panel->BtnPlay->isVisibleTo(panel.get()));
    EXPECT_TRUE(panel->isVisible()) << "the panel comes to the front";
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  499 / 500");
    EXPECT_FALSE(panel->ProgramEndRequested);
}

TEST_F(Position, TheEndWithLoopOnRestartsAndPollsAgainOncePlaying)
{
    Ready(500);
    panel->BtnLoop0->click();
    PlayingStuckAt(499);
    panel->Timer1->start();
    panel->Timer1Timer();
    const Commands sent = Sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[1], "seek vid to start");
    EXPECT_EQ(sent[2], "play vid");
    EXPECT_EQ(Playing, 1);
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_TRUE(panel->Timer3->isActive());

    mci.answerOnce("status vid mode", {"seeking", 0});
    panel->Timer3Timer();
    EXPECT_FALSE(panel->Timer1->isActive());
    mci.answerOnce("status vid mode", {"playing", 0});
    panel->Timer3Timer();
    EXPECT_TRUE(panel->Timer1->isActive());
    EXPECT_FALSE(panel->Timer3->isActive());
}

TEST_F(Position, TheEndInCommandModeEndsTheProgram)
{
    Ready(500);
    CommandLineDone = 1;
    PlayingStuckAt(499);
    panel->Timer1Timer();
    EXPECT_TRUE(panel->ProgramEndRequested);

    panel->ProgramEndRequested = false;
    CommandLoop = 1;
    PlayingStuckAt(499);
    panel->Timer1Timer();
    EXPECT_FALSE(panel->ProgramEndRequested) << "CommandLoop keeps it open";
}

TEST_F(Position, TheEndOfAnEmptyQueueInCommandModeCutsTheTickShort)
{
    Ready(500);
    CommandLineDone = 1;
    CommandLoop = 1;
    SavedCommandLoop = 0;
    CommandLoopHeld = 1;
    QueueActive = 1;
    PlayingStuckAt(499);
    PreviousFrame = 499;
    const QString before = panel->windowTitle();
    panel->Timer1Timer();
    EXPECT_EQ(QueueActive, 0);
    EXPECT_EQ(CommandLoop, 0);
    EXPECT_TRUE(panel->ProgramEndRequested);
    EXPECT_EQ(panel->windowTitle(), before) << "no caption update after the queue's end";
}

TEST_F(Position, PlayThatFindsTheMediumAtItsEndIsTheEndAndTheCaptionFollowsOn)
{
    Ready(200);
    mci.answer("status vid mode", {"stopped", 0}); // the device has nothing left to play
    mci.answer("status vid position", {"199", 0});
    panel->BtnPlay->click();
    panel->Timer3Timer();
    EXPECT_FALSE(panel->Timer3->isActive());
    EXPECT_TRUE(panel->Timer1->isActive());
    EXPECT_EQ(Playing, 0);
    EXPECT_TRUE(panel->BtnPlay->isVisibleTo(panel.get())) << "the stopped look";
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  199 / 200");

    panel->BtnToStart->click();
    mci.answer("status vid position", {"0", 0});
    panel->Timer1Timer();
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  0 / 200");
}

TEST_F(Position, PlayAtTheEndLoopsWithLoopOnAndEndsAOneFrameCommandLineClip)
{
    Ready(200);
    panel->BtnLoop0->click();
    mci.answerOnce("status vid mode", {"stopped", 0});
    mci.answer("status vid position", {"199", 0});
    panel->BtnPlay->click();
    mci.clearSent();
    panel->Timer3Timer();
    const Commands sent = Sent();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + 4),
              Commands({"status vid mode", "status vid position", "seek vid to start", "play vid"}));
    EXPECT_TRUE(panel->Timer3->isActive()) << "the restarted play is watched again";

    panel->BtnLoop1->click();
    CommandLineDone = 1;
    Ready(1);
    mci.answer("status vid mode", {"stopped", 0});
    mci.answer("status vid position", {"0", 0});
    panel->BtnPlay->click();
    panel->Timer3Timer();
    EXPECT_TRUE(panel->ProgramEndRequested);
}

TEST_F(Position, APauseOrStopBeforePlayWasSeenHandsBackToThePoll)
{
    Ready(500);
    mci.answer("status vid mode", {"paused", 0});
    panel->BtnPlay->click();
    panel->BtnPlayPause->click();
    panel->Timer3Timer();
    EXPECT_FALSE(panel->Timer3->isActive());
    EXPECT_TRUE(panel->Timer1->isActive());
}

TEST_F(Position, EveryPlayStartBeginsANewEndWatch)
{
    Ready(500);
    mci.answer("status vid position", {"40", 0});
    panel->BtnPlay->click();
    panel->Timer1Timer();
    panel->BtnPlayPause->click();
    panel->BtnPlay->click();
    panel->Timer1Timer();
    EXPECT_EQ(Playing, 1) << "the first poll after a start is never the end";
    panel->Timer1Timer();
    EXPECT_EQ(Playing, 0);
}

TEST_F(Position, PausedOrReverseStandingStillIsNotTheEnd)
{
    Ready(500);
    mci.answer("status vid position", {"0", 0});
    panel->BtnPlayRev->click();
    panel->Timer1Timer();
    panel->Timer1Timer();
    EXPECT_EQ(PlayingReverse, 1);
    panel->BtnRevPause->click();
    panel->Timer1Timer();
    EXPECT_EQ(PausedReverse, 1);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  0 / 500");
}

TEST_F(Position, ANonNumericReplyTakesNoPositionAndTheNextTickTriesAgain)
{
    Ready(500);
    panel->BtnPlay->click();
    CurrentFrame = PreviousFrame = 120;
    const QString before = panel->windowTitle();
    mci.answerOnce("status vid position", {"", 0});
    panel->Timer1Timer();
    EXPECT_EQ(CurrentFrame, 120);
    EXPECT_EQ(PreviousFrame, 120);
    EXPECT_EQ(Playing, 1) << "a failed reply is not the end of the medium";
    EXPECT_EQ(panel->windowTitle(), before);

    mci.answerOnce("status vid position", {"130", 0});
    panel->Timer1Timer();
    EXPECT_EQ(CurrentFrame, 130);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  130 / 500");
}

TEST_F(Position, WithoutMediumAPollOnlyRefreshesThePreviousFrame)
{
    CurrentFrame = 33;
    panel->Timer1Timer();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(PreviousFrame, 33);
}

class TrackBar : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        panel->show();
        Ready(100000, 4);
        panel->Trackbar1->resize(241, 17);
        // The device lands where it is sent.
        mci.answer("status vid position", {"49792", 0});
    }
    void Press(int x) { QTest::mousePress(panel->Trackbar1, Qt::LeftButton, {}, QPoint(x, 8)); }
    void Release(int x) { QTest::mouseRelease(panel->Trackbar1, Qt::LeftButton, {}, QPoint(x, 8)); }
};

TEST_F(TrackBar, AClickSeeksToTheClickedPlaceAndShowsTheTarget)
{
    Press(120);
    EXPECT_EQ(panel->Trackbar1->value(), 12448);
    EXPECT_EQ(Sent(), Commands({"seek vid to 49792", "seek vid to 49792", "status vid position"}));
    EXPECT_EQ(CurrentFrame, 49792);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  49792 / 100000");
    EXPECT_EQ(TrackDragging, 1);
    Release(120);
    EXPECT_EQ(TrackDragging, 0);
}

TEST_F(TrackBar, ClicksNearTheEndsGoToTheFirstAndLastStep)
{
    mci.answer("status vid position", {"0", 0});
    Press(3);
    EXPECT_EQ(panel->Trackbar1->value(), 0);
    EXPECT_EQ(mci.sent().back(), "status vid position");
    EXPECT_EQ(mci.count("seek vid to 0"), 1u) << "the thumb stood there: the verification seek only";
    Release(3);
    mci.answer("status vid position", {"100000", 0});
    Press(238);
    EXPECT_EQ(panel->Trackbar1->value(), 25000);
    EXPECT_EQ(mci.count("seek vid to 100000"), 2u);
}

TEST_F(TrackBar, ADeviceThatLandsFarAwayGetsTwentySeeksForConsecutiveFrames)
{
    mci.answer("status vid position", {"49732", 0}); // 60 frames short
    Press(120);
    Commands seeks;
    for (const std::string& c : Sent())
        if (c.rfind("seek vid to ", 0) == 0)
            seeks.push_back(c);
    ASSERT_EQ(seeks.size(), 21u); // the change handler's, then twenty attempts
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(seeks[size_t(i) + 1], "seek vid to " + std::to_string(49792 + i));
    EXPECT_EQ(CurrentFrame, 49811);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  49811 / 100000");
}

TEST_F(TrackBar, ANonNumericVerificationReplyEndsTheClick)
{
    // On the thumb's current place, so only the verification seeks.
    mci.answer("status vid position", {"", 0});
    const QString before = panel->windowTitle();
    Press(3);
    EXPECT_EQ(mci.count("status vid position"), 1u);
    EXPECT_EQ(panel->windowTitle(), before);
}

TEST_F(TrackBar, WhilePlayingAClickPausesAndTheReleaseResumes)
{
    panel->BtnPlay->click();
    panel->Timer1->start();
    mci.clearSent();
    Press(120);
    EXPECT_EQ(Sent().front(), "pause vid");
    EXPECT_EQ(Playing, 1) << "the buttons keep their playing look";
    EXPECT_FALSE(panel->Timer1->isActive());
    mci.clearSent();
    Release(120);
    EXPECT_EQ(Sent(), Commands({"play vid"}));
    EXPECT_TRUE(panel->Timer3->isActive());
}

TEST_F(TrackBar, DraggingSeeksOnEveryMoveAndStopsAtRelease)
{
    Press(120);
    mci.clearSent();
    QTest::mouseMove(panel->Trackbar1, QPoint(130, 8));
    // mouseMove carries no button state; send the held move directly.
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 8), panel->Trackbar1->mapToGlobal(QPointF(130, 8)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel->Trackbar1, &move);
    const int position = int(qint64(25000) * 130 / 241);
    EXPECT_EQ(panel->Trackbar1->value(), position);
    EXPECT_EQ(mci.count("seek vid to " + std::to_string(position * 4)), 1u);
    EXPECT_EQ(panel->windowTitle(),
              QString("CLIP.AVI     -     Frame:  %1 / 100000").arg(position * 4));
    Release(130);
    mci.clearSent();
    panel->Trackbar1->setValue(10);
    EXPECT_TRUE(Sent().empty()) << "changes outside a drag do not seek";
}

TEST_F(TrackBar, ARightClickOpensTheMenuAndNothingElse)
{
    panel->BtnPlay->click();
    mci.answer("status vid mode", {"playing", 0});
    panel->Timer3Timer();
    mci.clearSent();
    QTest::mousePress(panel->Trackbar1, Qt::RightButton, {}, QPoint(120, 8));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(120, 8), panel->Trackbar1->mapToGlobal(QPoint(120, 8)));
    QApplication::sendEvent(panel->Trackbar1, &menu);
    QTest::mouseRelease(panel->Trackbar1, Qt::RightButton, {}, QPoint(120, 8));
    EXPECT_TRUE(panel->PopupMenu1->isVisible());
    EXPECT_TRUE(Sent().empty()) << "no pause, no seek";
    EXPECT_EQ(TrackDragging, 0);
    EXPECT_TRUE(panel->Timer1->isActive()) << "the caption goes on following the play";
    panel->PopupMenu1->hide();
}

TEST_F(TrackBar, AfterAClickTheKeysStayThePanelsAndThePollRuns)
{
    Press(120);
    Release(120);
    EXPECT_TRUE(panel->Timer1->isActive()) << "steps after the click show in the caption";
    mci.clearSent();
    // Keys go where the panel's focus is.
    QWidget* focused = panel->focusWidget() ? panel->focusWidget() : panel.get();
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_PageDown, Qt::Key_PageUp})
        QTest::keyClick(focused, key);
    QWheelEvent wheel(QPointF(120, 8), panel->Trackbar1->mapToGlobal(QPointF(120, 8)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel->Trackbar1, &wheel);
    EXPECT_EQ(panel->Trackbar1->value(), 12448) << "the thumb does not move without a seek";
    EXPECT_EQ(Sent(), Commands({"put vid destination at 0 0 160 120"})) << "Page Up magnifies";
}

TEST_F(TrackBar, HoldingTheFocusFreezesThePoll)
{
    panel->Timer1->start();
    panel->TrackBar1Enter();
    EXPECT_FALSE(panel->Timer1->isActive());
    panel->TrackBar1Exit();
    EXPECT_TRUE(panel->Timer1->isActive());
}

TEST_F(TrackBar, AFrameFromElsewhereIsSoughtExactlyAsAClickThere)
{
    // 49793 lies between two steps of the bar (4 frames a step): the bar shows the
    // step, the verified seek goes to the frame itself.
    mci.answer("status vid position", {"49793", 0});
    panel->TrackBarSeekFrame(49793);
    EXPECT_EQ(panel->Trackbar1->value(), 12448);
    EXPECT_EQ(Sent(), Commands({"seek vid to 49792", "seek vid to 49793", "status vid position"}));
    EXPECT_EQ(CurrentFrame, 49793);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI     -     Frame:  49793 / 100000");
    EXPECT_EQ(TrackDragging, 0);
    EXPECT_TRUE(panel->Timer1->isActive()) << "no focus leaves the bar to start the poll again";

    // While playing: paused for the seek, resumed after it, the poll back once playing.
    panel->BtnPlay->click();
    mci.clearSent();
    panel->TrackBarSeekFrame(200000);
    const Commands sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "pause vid");
    EXPECT_EQ(mci.count("seek vid to 100000"), 2u) << "a frame past the end is the end";
    EXPECT_EQ(sent.back(), "play vid");
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_TRUE(panel->Timer3->isActive());
}
