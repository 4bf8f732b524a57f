#include "PanelFixture.h"

#include "engine/MCI_FUNC.h"

#include <QAction>
#include <QFrame>

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
