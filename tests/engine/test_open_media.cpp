#include "PlayerFixture.h"

#include <QGuiApplication>
#include <QScreen>

using Commands = std::vector<std::string>;

namespace {

class OpenSequence : public PlayerFixture {};

TEST_F(OpenSequence, AStretchingDeviceIsQueriedHostedAndPlacedInOrder)
{
    scriptStretchingDevice();
    Zoom = 2;
    DisplayLeft = 30;
    DisplayTop = 50;
    KeyZoomLevel = 3;
    ASSERT_EQ(openFile("/clips/a.avi"), 1);

    const Commands expected = {
        "open \"/clips/a.avi\" alias vid",
        "setaudio vid volume to 800",
        "capability vid can reverse",
        "capability vid can save",
        "set vid time format frames",
        "status vid nominal frame rate",
        "status vid length",
        "status vid indexed",
        "capability vid can stretch",
        "where vid source",
        handleCommand(),
        "put vid destination at 0 0 640 480",
    };
    EXPECT_EQ(mci.sent(), expected);
    EXPECT_EQ(MediaOpen, 1);
    EXPECT_EQ(MediaExt, "AVI");
    EXPECT_EQ(CanReverse, 1);
    EXPECT_EQ(CanSave, 1);
    EXPECT_EQ(CanStretch, 1);
    EXPECT_EQ(FrameRate, 25);
    EXPECT_EQ(FrameCount, 250);
    EXPECT_EQ(SourceWidth, 320);
    EXPECT_EQ(SourceHeight, 240);
    EXPECT_EQ(display->geometry(), QRect(30, 50, 640, 480));
    EXPECT_TRUE(shown(display.get()));
    EXPECT_EQ(KeyZoomStepX, 64);
    EXPECT_EQ(KeyZoomStepY, 48);
    EXPECT_EQ(KeyZoomLevel, 0);
    EXPECT_TRUE(panel->Timer1->isActive()) << "the position poll runs once the medium is open";
    EXPECT_TRUE(panel->Close1->isEnabled());
    EXPECT_TRUE(panel->GotoFrame->isEnabled());
    EXPECT_TRUE(panel->ConfigureMCIdevice1->isEnabled());
    EXPECT_EQ(panel->Trackbar1->maximum(), 250);
    EXPECT_TRUE(shownErrors.isEmpty());
}

TEST_F(OpenSequence, ForcedDeviceUsesTheDeviceAndElementFormAndNoVolumeSendsNoVolume)
{
    scriptStretchingDevice();
    ForceDevice = 1;
    ForcedDevice = "mpegvideo";
    NoVolume = 1;
    openFile("/clips/my clip.mpg");
    ASSERT_FALSE(mci.sent().empty());
    EXPECT_EQ(mci.sent().front(), "open mpegvideo!\"/clips/my clip.mpg\" alias vid");
    for (const std::string& c : mci.sent())
        EXPECT_NE(c.rfind("setaudio", 0), 0u) << "volume command sent with NoVolume on: " << c;
}

TEST_F(OpenSequence, ADeviceThatCannotStretchShowsItsOwnWindowAndKeepsTheOldSourceSize)
{
    SourceWidth = 352;
    SourceHeight = 288;
    mci.answer("capability vid can stretch", {"false", 0});
    mci.answer("where vid source", {"0 0 100 100", 0});
    openFile("/clips/b.avi");

    const Commands tail(mci.sent().end() - 2, mci.sent().end());
    EXPECT_EQ(tail, (Commands{"capability vid can stretch", "window vid state show normal"}));
    EXPECT_EQ(mci.count("where vid source"), 0u);
    EXPECT_EQ(CanStretch, 0);
    EXPECT_EQ(SourceWidth, 352);
    EXPECT_EQ(SourceHeight, 288);
    EXPECT_FALSE(shown(display.get()));
    EXPECT_EQ(MediaOpen, 1);
}

TEST_F(OpenSequence, AMidiFileIsSizedButTheDisplayStaysHidden)
{
    scriptStretchingDevice();
    openFile("D:\\MUSIC\\SONG.MID");
    EXPECT_EQ(MediaExt, "MID");
    EXPECT_EQ(mci.sent().back(), "put vid destination at 0 0 320 240");
    EXPECT_EQ(display->size(), QSize(320, 240));
    EXPECT_FALSE(shown(display.get()));
}

TEST_F(OpenSequence, FullScreenCoversTheScreenFromTheOrigin)
{
    scriptStretchingDevice();
    Zoom = 4;
    DisplayLeft = 100;
    openFile("/clips/c.avi");
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(display->geometry(), QRect(QPoint(0, 0), screen));
    EXPECT_EQ(mci.sent().back(), "put vid destination at 0 0 " + std::to_string(screen.width()) + " "
                                     + std::to_string(screen.height()));
}

TEST_F(OpenSequence, WithSmartDisplayOffTheDevicesOwnWindowIsMovedAndTheDisplayNotShown)
{
    scriptStretchingDevice();
    SmartDisplay = 0;
    Zoom = 2;
    DisplayLeft = 200;
    DisplayTop = 300;
    openFile("/clips/d.avi");
    EXPECT_EQ(mci.count(handleCommand()), 0u) << "no handle is passed with smart display off";
    EXPECT_EQ(mci.sent().back(), "Put vid window at 0 38 640 480");
    EXPECT_EQ(display->size(), QSize(640, 480));
    EXPECT_FALSE(shown(display.get()));

    mci.clearSent();
    Zoom = 4;
    PlaceVideo();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(mci.sent(), (Commands{"Put vid window at 0 0 " + std::to_string(screen.width()) + " "
                                    + std::to_string(screen.height())}));
}

TEST_F(OpenSequence, AFailedOpenSendsNothingMoreAndChangesNothing)
{
    mci.answer("open \"/clips/missing.avi\" alias vid", {"", 275});
    panel->Timer1->start(1000);
    MediaExt = "OLD";
    EXPECT_EQ(openFile("/clips/missing.avi"), 0);
    EXPECT_EQ(mci.sent(), (Commands{"open \"/clips/missing.avi\" alias vid"}));
    EXPECT_EQ(shownErrors.size(), 1) << "the user sees the device's error text";
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(MediaExt, "OLD");
    EXPECT_FALSE(panel->Timer1->isActive()) << "the poll timer stays off after a failed open";
    EXPECT_FALSE(panel->Close1->isEnabled());
}

TEST_F(OpenSequence, PollIntervalAndFrameRateFollowTheRateReply)
{
    struct Case { std::string reply; int factor; int minimum; int rate; int interval; };
    const Case cases[] = {
        {"29970", 10, 500, 29, 500},   // 340 raised to the minimum
        {"", 2, 100, 25, 100},         // 80 raised to the minimum
        {"500", 10, 100, 25, 400},     // below one frame per second
        {"25000", 10, 100, 25, 400},
        {"50000", 1, 100, 50, 100},
        {"abc", 10, 100, 25, 400},     // not a number: as no reply
        {"-25000", 10, 100, 25, 400},  // a negative rate cannot time a poll
        {"1000000", 10, 500, 1000, 500}, // waveaudio: a frame is a millisecond
    };
    for (const Case& c : cases) {
        mci.answer("status vid nominal frame rate", {c.reply, 0});
        TimerFactor = c.factor;
        TimerMin = c.minimum;
        openFile("/clips/e.avi");
        EXPECT_EQ(FrameRate, c.rate) << "reply \"" << c.reply << "\"";
        EXPECT_EQ(panel->Timer1->interval(), c.interval) << "reply \"" << c.reply << "\"";
    }
}

TEST_F(OpenSequence, TrackBarMaximumIsTheLengthInUnitsOfTheScale)
{
    // 0 and "lots" (no number) give an empty bar, and so does a negative length.
    struct Case { std::string length; int maximum; };
    const Case cases[] = {{"32767", 16383}, {"196601", 39320}, {"196602", 19660},
                          {"0", 0}, {"lots", 0}, {"-40", 0}};
    for (const Case& c : cases) {
        mci.answer("status vid length", {c.length, 0});
        openFile("/clips/f.avi");
        EXPECT_EQ(panel->Trackbar1->maximum(), c.maximum) << c.length;
    }
}

// A big medium is indexed while it is open: the position poll reads its length (and
// the track bar's range) again until the device says the index is whole, and the
// caption says so meanwhile. A device that does not know the item is whole at once.
TEST_F(OpenSequence, AGrowingLengthIsReadAgainByThePollUntilTheIndexIsWhole)
{
    mci.answer("status vid length", {"1000", 0});
    mci.answer("status vid indexed", {"10", 0});
    mci.answer("status vid position", {"0", 0});
    openFile("/clips/big.mkv");
    EXPECT_EQ(IndexedPercent, 10);
    mci.answer("status vid length", {"70000", 0});
    mci.answer("status vid indexed", {"40", 0});
    panel->Timer1Timer();
    EXPECT_EQ(FrameCount, 70000);
    EXPECT_EQ(panel->Trackbar1->maximum(), 70000 / TrackScaleFor(70000));
    EXPECT_TRUE(panel->windowTitle().endsWith("/ 70000  (indexing 40 %)")) << panel->windowTitle().toStdString();

    mci.answer("status vid length", {"80000", 0});
    mci.answer("status vid indexed", {"100", 0});
    panel->Timer1Timer();
    EXPECT_EQ(FrameCount, 80000);
    EXPECT_FALSE(panel->windowTitle().contains("indexing"));
    mci.clearSent();
    panel->Timer1Timer();
    EXPECT_EQ(mci.sent(), Commands {"status vid position"}) << "the length is final: the poll is as before";

    mci.answer("status vid indexed", {"", 274});
    openFile("/clips/small.avi");
    EXPECT_EQ(IndexedPercent, 100);
}

class LoadAndClose : public PlayerFixture {};

TEST_F(LoadAndClose, SwitchingFilesClosesTheOldMediumFirst)
{
    scriptStretchingDevice();
    ASSERT_TRUE(LoadMedia("/clips/one.avi"));
    mci.clearSent();
    ASSERT_TRUE(LoadMedia("/clips/two.mov"));
    ASSERT_GE(mci.sent().size(), 2u);
    EXPECT_EQ(mci.sent()[0], "close vid");
    EXPECT_EQ(mci.sent()[1], "open \"/clips/two.mov\" alias vid");
    EXPECT_EQ(MediaPath, "/clips/two.mov");
    EXPECT_EQ(MediaName, "TWO.MOV");
    EXPECT_EQ(MediaExt, "MOV");
    EXPECT_EQ(panel->windowTitle(), "TWO.MOV");
    EXPECT_TRUE(panel->BtnPlay->isEnabled());
}

TEST_F(LoadAndClose, AFailedLoadEndsWithoutAMedium)
{
    scriptStretchingDevice();
    ASSERT_TRUE(LoadMedia("/clips/one.avi"));
    mci.answer("open \"/clips/gone.avi\" alias vid", {"", 275});
    mci.answer("close vid", {"", 263});
    mci.clearSent();
    EXPECT_FALSE(LoadMedia("/clips/gone.avi"));
    EXPECT_EQ(mci.sent(), (Commands{"close vid", "open \"/clips/gone.avi\" alias vid", "close vid"}));
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(OpenResult, 263) << "after the close the result holds its error code";
    EXPECT_EQ(panel->windowTitle(), "Vantu's MCI Video File Player");
    EXPECT_FALSE(panel->BtnPlay->isEnabled());
}

TEST_F(LoadAndClose, CloseHidesTheDisplayStopsThePollAndDisablesTheMediaItems)
{
    scriptStretchingDevice();
    ASSERT_TRUE(LoadMedia("/clips/one.avi"));
    ASSERT_TRUE(shown(display.get()));
    CloseMedia(OpenResult);
    EXPECT_EQ(mci.sent().back(), "close vid");
    EXPECT_EQ(OpenResult, 0);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_FALSE(shown(display.get()));
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_FALSE(panel->Close1->isEnabled());
    EXPECT_FALSE(panel->GotoFrame->isEnabled());
    EXPECT_FALSE(panel->ConfigureMCIdevice1->isEnabled());
    EXPECT_EQ(CanReverse, 0);
    EXPECT_EQ(CanStretch, 1) << "facts of the last medium stay until the next open";
}

class PanelStates : public PlayerFixture {};

TEST_F(PanelStates, ReadyStateFollowsLoopMultiStepQueueAndReverse)
{
    MediaName = "clip.avi";
    LoopOn = 1;
    MultiStep = 1;
    QueueActive = 0;
    CanReverse = 0;
    ThePlayer().Transition(TransportState::PlayingReverse);
    ShowMediaReadyState();
    EXPECT_EQ(Playing + Paused + PlayingReverse + PausedReverse, 0);
    EXPECT_EQ(panel->windowTitle(), "CLIP.AVI");
    EXPECT_FALSE(panel->BtnPlayRev->isEnabled()) << "no reverse play on a device that cannot";
    EXPECT_TRUE(shown(panel->BtnPlay));
    EXPECT_TRUE(panel->BtnPlay->isEnabled());
    EXPECT_FALSE(panel->BtnStop->isEnabled());
    EXPECT_TRUE(panel->BtnStep->isEnabled());
    EXPECT_TRUE(shown(panel->BtnLoop1));
    EXPECT_FALSE(shown(panel->BtnLoop0));
    EXPECT_TRUE(shown(panel->ShMultiStep));
    EXPECT_FALSE(shown(panel->ShQueue));
    EXPECT_TRUE(shown(panel->Trackbar1));
    EXPECT_FALSE(shown(panel->Panel1));

    CanReverse = 1;
    LoopOn = 0;
    ShowMediaReadyState();
    EXPECT_TRUE(panel->BtnPlayRev->isEnabled());
    EXPECT_TRUE(shown(panel->BtnLoop0));
    EXPECT_TRUE(panel->BtnLoop0->isEnabled());
    EXPECT_FALSE(shown(panel->BtnLoop1));
}

TEST_F(PanelStates, NoMediaStateDisablesTheTransportAndShowsTheStrip)
{
    MediaName = "CLIP.AVI";
    LoopOn = 1;
    MultiStep = 1;
    QueueActive = 1;
    CanReverse = 1;
    ShowMediaReadyState();
    ShowNoMediaState();
    EXPECT_EQ(CanReverse, 0);
    EXPECT_EQ(panel->windowTitle(), "Vantu's MCI Video File Player");
    for (QToolButton* b : {panel->BtnToStart, panel->BtnStepRev, panel->BtnStep, panel->BtnToEnd,
                           panel->BtnPlay, panel->BtnPlayRev, panel->BtnLoop0, panel->BtnStop})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(shown(panel->BtnLoop0)) << "without a medium the loop-off look is shown";
    EXPECT_FALSE(shown(panel->BtnLoop1));
    EXPECT_FALSE(shown(panel->Trackbar1));
    EXPECT_TRUE(shown(panel->Panel1));
    EXPECT_FALSE(shown(panel->ShMultiStep));
    EXPECT_FALSE(shown(panel->ShQueue));
}

} // namespace
