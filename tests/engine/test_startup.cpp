#include "PlayerFixture.h"

#include "platform/RegistryEnhanced.h"
#include "queue/Queue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using Commands = std::vector<std::string>;

namespace {

// Each test gets its own empty per-user settings folder.
class Startup : public PlayerFixture {
protected:
    QTemporaryDir config;
    QByteArray savedConfigHome;
    bool hadConfigHome = false;

    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        savedConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        PlayerFixture::SetUp();
    }
    void TearDown() override
    {
        PlayerFixture::TearDown();
        if (hadConfigHome)
            qputenv("XDG_CONFIG_HOME", savedConfigHome);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString settingsText() const
    {
        QFile f(config.path() + "/Vantu/ZORVEX.conf");
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    }
};

TEST_F(Startup, AFirstRunStartsWithTheFirstRunSettingsAndTheNoMediaPanel)
{
    panel->FormCreate();
    panel->FormShow();
    EXPECT_EQ(TimerFactor, 2);
    EXPECT_EQ(TimerMin, 500);
    EXPECT_EQ(Zoom, 1);
    EXPECT_EQ(Volume, 800);
    EXPECT_EQ(NoVolume, 0);
    EXPECT_EQ(DisplayLeft, 0);
    EXPECT_EQ(DisplayTop, 38);
    EXPECT_EQ(panel->Timer2->interval(), 250);
    EXPECT_EQ(panel->windowTitle(), "Vantu's MCI Video File Player");
    EXPECT_EQ(PanelInFront, 1);
    EXPECT_FALSE(panel->BtnPlay->isEnabled());
    EXPECT_TRUE(mci.sent().empty()) << "start-up without a command line sends nothing";
}

TEST_F(Startup, ShutdownClosesTheMediumAndWritesTheSettingsTheNextRunReads)
{
    panel->FormCreate();
    panel->FormShow();
    Zoom = 3;
    LoopOn = 1;
    TimerFactor = 7;
    DisplayLeft = 120;
    DisplayTop = 90;
    panel->Timer2->setInterval(600);
    panel->FormDestroy();
    EXPECT_EQ(mci.sent(), (Commands{"close vid"}));
    const QString text = settingsText();
    for (const char* name : {"WVolume", "WNoVolume", "CapDir", "HidePanel", "SmartDisplay", "LastPos",
                             "MultiStep", "Loop", "CommandLoop", "WTimer", "WTimerMin", "Timer2", "Zoom",
                             "X", "Y", "PanelX", "PanelY", "WCapCount", "ForceDevice"})
        EXPECT_TRUE(text.contains(QString(name) + "=", Qt::CaseInsensitive)) << name << " not written";

    ResetPlayerState();
    TBedienTeil next;
    BedienTeil = &next;
    next.FormCreate();
    EXPECT_EQ(Zoom, 3);
    EXPECT_EQ(LoopOn, 1);
    EXPECT_EQ(TimerFactor, 7);
    EXPECT_EQ(DisplayLeft, 120);
    EXPECT_EQ(DisplayTop, 90);
    EXPECT_EQ(next.Timer2->interval(), 600);
    BedienTeil = panel.get();
}

TEST_F(Startup, AStartupQueueStillPlayingAtExitKeepsTheUsersCommandLoop)
{
    panel->FormCreate();
    CommandLoop = 0;
    display->FormCreate({"/home/u/list.kql"});
    ASSERT_EQ(CommandLoop, 1);
    panel->FormDestroy();
    EXPECT_TRUE(settingsText().contains("CommandLoop=FALSE", Qt::CaseInsensitive)) << settingsText().toStdString();
}

TEST_F(Startup, OnceTheStartupQueueHasEndedACommandLoopChangedLaterIsWritten)
{
    panel->FormCreate();
    CommandLoop = 1;
    display->FormCreate({"/home/u/list.kql"});
    QueueActive = 1;
    ASSERT_FALSE(AdvanceQueue()) << "the queue's end gives the user's value back";
    ASSERT_FALSE(panel->ProgramEndRequested);
    CommandLoop = 0; // as OK in the preferences leaves it
    panel->FormDestroy();
    EXPECT_TRUE(settingsText().contains("CommandLoop=FALSE", Qt::CaseInsensitive)) << settingsText().toStdString();
}

TEST_F(Startup, ExitShowsTheNoMediaStateAndEndsTheProgram)
{
    scriptStretchingDevice();
    ASSERT_TRUE(LoadMedia("/clips/clip.avi"));
    panel->ExitProgramClick();
    EXPECT_TRUE(panel->ProgramEndRequested);
    EXPECT_FALSE(panel->BtnPlay->isEnabled());
    EXPECT_EQ(panel->windowTitle(), "Vantu's MCI Video File Player");
}

class CommandLine : public PlayerFixture {};

TEST_F(CommandLine, TheNoAutoDetectSwitchInAnyCaseOpensNothing)
{
    for (const char* arg : {"/noautodetect", "/NOAUTODETECT", "NoAutoDetect"}) {
        NoAutoDetect = 0;
        display->FormCreate({arg});
        EXPECT_EQ(NoAutoDetect, 1) << arg;
        EXPECT_EQ(CommandLineDone, 0) << arg;
    }
    EXPECT_TRUE(mci.sent().empty());
}

TEST_F(CommandLine, NoArgumentsOrAnArgumentAlreadyTakenDoNothing)
{
    display->FormCreate({});
    CommandLineDone = 1;
    display->FormCreate({"/clips/a.avi"});
    EXPECT_TRUE(mci.sent().empty());
    EXPECT_TRUE(MediaPath.isEmpty());
}

TEST_F(CommandLine, AQueueFileArmsTheStartupTimerAndForcesCommandLoop)
{
    CommandLoop = 0;
    display->Timer1->setInterval(5);
    display->FormCreate({"/home/u/my", "list.kql"});
    EXPECT_TRUE(display->Timer1->isActive());
    EXPECT_EQ(display->Timer1->interval(), 1000);
    EXPECT_EQ(CommandLoop, 1);
    EXPECT_EQ(SavedCommandLoop, 0);
    EXPECT_EQ(CommandLineDone, 1);
    EXPECT_EQ(CommandLineExt, "KQL");
    EXPECT_EQ(MediaPath, "/home/u/my list.kql");
    EXPECT_TRUE(mci.sent().empty()) << "the queue is loaded later, not at creation";
}

TEST_F(CommandLine, APlayableFileIsOpenedAndPlayedWithThePanelInFront)
{
    scriptStretchingDevice();
    display->FormCreate({"/clips/with", "blank.avi"});
    ASSERT_FALSE(mci.sent().empty());
    EXPECT_EQ(mci.sent().front(), "open \"/clips/with blank.avi\" alias vid");
    EXPECT_EQ(mci.sent().back(), "play vid");
    EXPECT_EQ(Playing, 1);
    EXPECT_EQ(CommandLineExt, "AVI");
    EXPECT_TRUE(shown(panel.get()));
    EXPECT_TRUE(shown(panel->BtnPlayPause));
    EXPECT_FALSE(panel->ProgramEndRequested);
}

TEST_F(CommandLine, FullScreenStartsPlayWithoutBringingThePanelForward)
{
    scriptStretchingDevice();
    Zoom = 4;
    PanelInFront = 1;
    panel->Timer2->start(250);
    display->FormCreate({"/clips/a.avi"});
    EXPECT_EQ(PanelInFront, 0);
    EXPECT_FALSE(panel->Timer2->isActive());
    EXPECT_EQ(Playing, 1);
    EXPECT_EQ(mci.count("play vid"), 1u);
}

TEST_F(CommandLine, AFileThatCannotBeOpenedEndsTheProgram)
{
    mci.answer("open \"/clips/missing.avi\" alias vid", {"", 275});
    display->FormCreate({"/clips/missing.avi"});
    EXPECT_EQ(mci.sent(), (Commands{"open \"/clips/missing.avi\" alias vid", "close vid"}));
    EXPECT_EQ(shownErrors.size(), 1);
    EXPECT_TRUE(panel->ProgramEndRequested);
    EXPECT_EQ(MediaOpen, 0);
}

} // namespace
