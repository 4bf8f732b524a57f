#include "PlayerFixture.h"

using Commands = std::vector<std::string>;

namespace {

// A medium open and ready, commands recorded from here on.
class Transport : public PlayerFixture {
protected:
    void SetUp() override
    {
        PlayerFixture::SetUp();
        scriptStretchingDevice();
        ASSERT_TRUE(LoadMedia("/clips/clip.avi"));
        mci.clearSent();
    }

    void enterReversePlay()
    {
        SwapButtons(panel->BtnPlayRev, panel->BtnRevPause);
        ThePlayer().Transition(TransportState::PlayingReverse);
    }
};

TEST_F(Transport, PlayWhileReversePlayRunsSwapsBothPairsAndLeavesOnlyPlayingSet)
{
    enterReversePlay();
    PlayForward();
    EXPECT_EQ(mci.sent(), (Commands{"play vid"}));
    EXPECT_EQ(Playing, 1);
    EXPECT_EQ(PlayingReverse, 0);
    EXPECT_EQ(Paused, 0);
    EXPECT_EQ(PausedReverse, 0);
    EXPECT_FALSE(shown(panel->BtnRevPause));
    EXPECT_TRUE(shown(panel->BtnPlayRev));
    EXPECT_TRUE(panel->BtnPlayRev->isEnabled());
    EXPECT_FALSE(shown(panel->BtnPlay));
    EXPECT_TRUE(shown(panel->BtnPlayPause));
    EXPECT_TRUE(panel->BtnPlayPause->isEnabled());
    EXPECT_TRUE(panel->BtnStop->isEnabled());
}

TEST_F(Transport, PlayHandsThePollToThePlayStartWatch)
{
    panel->Timer1->start();
    panel->Timer3->stop();
    PlayForward();
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_TRUE(panel->Timer3->isActive());

    panel->Timer1->start();
    panel->Timer3->stop();
    ResumeAfterSeek();
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_TRUE(panel->Timer3->isActive());
}

TEST_F(Transport, PlayAfterAReversePauseMakesTheNextReversePlayStartAfresh)
{
    ThePlayer().Transition(TransportState::PausedReverse);
    PlayReverse();
    EXPECT_EQ(mci.sent(), (Commands{"resume vid"})) << "a paused reverse play continues";
    PlayForward();
    mci.clearSent();
    PlayReverse();
    EXPECT_EQ(mci.sent(), (Commands{"play vid reverse"}));
}

TEST_F(Transport, StepsStopEveryRunningDirectionFirstAndLeaveTheFlags)
{
    ThePlayer().Transition(TransportState::Playing);
    StepForward();
    EXPECT_EQ(mci.sent(), (Commands{"stop vid", "step vid"}));
    EXPECT_EQ(Playing, 1) << "the step button's handler updates the flags, not the step";

    mci.clearSent();
    StepReverse();
    EXPECT_EQ(mci.sent(), (Commands{"stop vid", "step vid reverse"}));

    mci.clearSent();
    ThePlayer().Transition(TransportState::PlayingReverse);
    StepForward();
    StepReverse();
    EXPECT_EQ(mci.sent(), (Commands{"stop vid", "step vid", "stop vid", "step vid reverse"}));
    EXPECT_EQ(PlayingReverse, 1);

    mci.clearSent();
    ThePlayer().Transition(TransportState::Paused);
    StepForward();
    StepReverse();
    EXPECT_EQ(mci.sent(), (Commands{"step vid", "step vid reverse"}));
}

TEST_F(Transport, FixedSequencesOfTheSimpleRoutines)
{
    StopMedia();
    PauseMedia();
    SeekToStart();
    SeekToEnd();
    PauseReverse();
    EXPECT_EQ(mci.sent(), (Commands{"stop vid", "pause vid", "stop vid", "seek vid to start", "stop vid",
                                    "seek vid to end", "pause vid"}));
}

TEST_F(Transport, WithoutSmartDisplayEveryPlayMovesTheDevicesWindow)
{
    SmartDisplay = 0;
    Zoom = 2;
    PlayForward();
    EXPECT_EQ(mci.sent(), (Commands{"play vid", "Put vid window at 0 38 640 480"}));

    mci.clearSent();
    SmartDisplay = 1;
    PlayForward();
    EXPECT_EQ(mci.sent(), (Commands{"play vid"})) << "smart display places nothing on play";
}

TEST_F(Transport, LoopRestartAlwaysPlacesTheVideoAndLeavesButtonsAndFlags)
{
    ThePlayer().Transition(TransportState::Playing);
    panel->Timer1->start();
    panel->Timer3->stop();
    RestartLoop();
    EXPECT_EQ(mci.sent(), (Commands{"seek vid to start", "play vid", "put vid destination at 0 0 320 240"}));
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_TRUE(panel->Timer3->isActive());
    EXPECT_EQ(Playing, 1);
    EXPECT_TRUE(shown(panel->BtnPlay)) << "the restart does not swap the play button";
}

TEST_F(Transport, HidePanelClearsPanelInFrontSoTheNextPlayLeavesThePanelBehind)
{
    HidePanel = 1;
    PanelInFront = 1;
    PlayForward();
    EXPECT_EQ(PanelInFront, 0);
    PlayForward();
    EXPECT_EQ(PanelInFront, 0);

    HidePanel = 0;
    PanelInFront = 1;
    ResumeAfterSeek();
    EXPECT_EQ(PanelInFront, 1);
    HidePanel = 1;
    ResumeAfterSeek();
    EXPECT_EQ(PanelInFront, 1) << "play after a seek never hides the panel";
}

TEST_F(Transport, TheReadyWaitGivesUpAfterExactlyTwentyPolls)
{
    mci.answer("Status vid ready", {"false", 0});
    WaitUntilReady();
    EXPECT_EQ(mci.count("Status vid ready"), 20u);
    EXPECT_EQ(mci.sent().size(), 20u);

    mci.clearSent();
    mci.answerOnce("Status vid ready", {"false", 0});
    mci.answerOnce("Status vid ready", {"", 263});
    mci.answerOnce("Status vid ready", {"true", 0});
    WaitUntilReady();
    EXPECT_EQ(mci.count("Status vid ready"), 3u) << "the wait ends at the first true";
}

TEST_F(Transport, TransportErrorsAreIgnored)
{
    mci.setDefault({"", 263});
    PlayForward();
    EXPECT_EQ(Playing, 1);
    EXPECT_TRUE(shown(panel->BtnPlayPause));
    EXPECT_TRUE(shownErrors.isEmpty());
}

} // namespace
