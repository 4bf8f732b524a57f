#include "HeldOpenMci.h"
#include "PanelFixture.h"

#include "engine/MCI_FUNC.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcutEvent>

class Menu : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        SetMciErrorHook([this](const QString& text) { errors << text; });
    }
    void TearDown() override
    {
        SetMciErrorHook(nullptr);
        PanelFixture::TearDown();
    }
    void Choose(const QString& path)
    {
        panel->OpenDialog1Execute = [this, path] {
            panel->OpenDialog1FileName = path;
            return true;
        };
    }
    QStringList errors;
};

TEST_F(Menu, ChoosingAFileWhileTheQueuePlaysOpensItAndLeavesQueueMode)
{
    Ready();
    QueueActive = 1;
    panel->ShQueue->show();
    panel->EndQueue1->setEnabled(true);
    panel->BtnPlay->click();
    mci.clearSent();
    Choose("/media/clips/next.avi");
    mci.answer("status vid length", {"250", 0});
    panel->OpenClick();

    const Commands sent = Sent();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[0], "stop vid");
    EXPECT_EQ(sent[1], "close vid");
    EXPECT_EQ(sent[2], "open \"/media/clips/next.avi\" alias vid");
    EXPECT_EQ(sent.back(), "seek vid to 1");
    EXPECT_EQ(MediaName, "NEXT.AVI");
    EXPECT_EQ(QueueActive, 0);
    EXPECT_FALSE(panel->ShQueue->isVisibleTo(panel.get()));
    EXPECT_FALSE(panel->EndQueue1->isEnabled());
    EXPECT_TRUE(panel->ClearQueue1->isEnabled());
    EXPECT_TRUE(panel->Close1->isEnabled());
    EXPECT_EQ(DisplayDraggable, 0);
    EXPECT_TRUE(panel->Timer4->isActive());
    panel->Timer4Timer();
    EXPECT_EQ(DisplayDraggable, 1);
    EXPECT_FALSE(panel->Timer4->isActive());
}

TEST_F(Menu, CancellingTheOpenDialogClosesTheOpenFile)
{
    Ready();
    panel->OpenDialog1Execute = [] { return false; };
    panel->OpenClick();
    EXPECT_EQ(Sent(), Commands({"close vid"}));
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_TRUE(panel->Timer4->isActive());
}

TEST_F(Menu, AFailedOpenEndsWithoutMediumAndWithoutSeeking)
{
    Choose("/nowhere/missing.avi");
    mci.answer("open \"/nowhere/missing.avi\" alias vid", {"", 275});
    panel->OpenClick();
    EXPECT_EQ(mci.count("seek vid to 1"), 0u);
    EXPECT_EQ(Sent().back(), "close vid");
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(errors.size(), 1);
}

// While a long open runs the panel answers, but only what ends the open: the menu
// keeps Open File, Close File and Exit; other keys are dropped; Exit ends the open
// (no error box) and then the program.
TEST_F(Menu, DuringALongOpenOnlyOpenCloseAndExitActAndExitEndsTheOpenFirst)
{
    HeldOpenMci held;
    ScriptedMci::Installed route(held);
    Choose("/media/clips/day.mp4");
    QStringList enabledDuring;
    bool shownAfterExit = true;
    panel->show();
    QTimer::singleShot(100, panel.get(), [&] {
        for (QAction* item : panel->PopupMenu1->actions())
            if (item->isEnabled() && !item->isSeparator())
                enabledDuring << item->text();
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
        QCoreApplication::sendEvent(panel.get(), &space);
        QShortcutEvent gotoFrame(panel->GotoFrame->shortcut(), 0);
        QCoreApplication::sendEvent(panel->GotoFrame, &gotoFrame);
        QShortcutEvent exit(panel->Exit1->shortcut(), 0);
        QCoreApplication::sendEvent(panel->Exit1, &exit);
        shownAfterExit = panel->isVisible();
    });
    panel->OpenClick();
    EXPECT_EQ(enabledDuring, QStringList({"Open File", "Close File", "Exit"}));
    EXPECT_FALSE(shownAfterExit) << "the panel stays until the open has ended";
    EXPECT_EQ(held.sent(), Commands({"open \"/media/clips/day.mp4\" alias vid", "close vid", "close vid"}));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_FALSE(panel->ProgramEndRequested);
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel->ProgramEndRequested);
    EXPECT_TRUE(panel->Open->isEnabled());
    EXPECT_FALSE(panel->Close1->isEnabled());
    EXPECT_FALSE(panel->GotoFrame->isEnabled());
}

TEST_F(Menu, CloseFileDisablesClearQueueAndEndsQueueMode)
{
    Ready();
    QueueActive = 1;
    panel->ClearQueue1->setEnabled(true);
    panel->EndQueue1->setEnabled(true);
    panel->Close1Click();
    EXPECT_EQ(Sent(), Commands({"close vid"}));
    EXPECT_FALSE(panel->ClearQueue1->isEnabled());
    EXPECT_FALSE(panel->EndQueue1->isEnabled());
    EXPECT_FALSE(panel->Close1->isEnabled());
    EXPECT_EQ(QueueActive, 0);
}

TEST_F(Menu, EndAndClearQueueStopForwardPlay)
{
    Ready();
    QueueActive = 1;
    panel->BtnPlay->click();
    mci.clearSent();
    panel->EndQueue1Click();
    EXPECT_EQ(Sent(), Commands({"stop vid"}));
    EXPECT_EQ(Playing, 0);
    panel->ClearQueue1->setEnabled(true);
    panel->ClearQueue1Click();
    EXPECT_FALSE(panel->ClearQueue1->isEnabled());
}

TEST_F(Menu, DialogEntriesPauseForwardPlayAndFreezeThePoll)
{
    QWidget gotoWindow;
    panel->GotoFrameWindow = &gotoWindow;
    Ready();
    panel->BtnPlay->click();
    panel->Timer1->start();
    mci.clearSent();
    panel->GotoFrameClick();
    EXPECT_EQ(Sent(), Commands({"pause vid"}));
    EXPECT_EQ(Paused, 1);
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_TRUE(gotoWindow.isVisible());

    panel->Timer1->start();
    panel->Preferences1Click();
    EXPECT_FALSE(panel->Timer1->isActive());
    EXPECT_EQ(mci.count("pause vid"), 1u) << "nothing plays any more";
}

TEST_F(Menu, ConfigureReportsOnlyErrorsAboveOne)
{
    Ready();
    mci.answerOnce("configure vid", {"", 1});
    panel->ConfigureMCIdevice1Click();
    EXPECT_TRUE(messages.isEmpty());
    mci.answerOnce("configure vid", {"", 274});
    panel->ConfigureMCIdevice1Click();
    EXPECT_EQ(messages, QStringList{"MCI device does not support configuration"});
}
