// The text routines on their own; what the windows show after their creation is
// checked in tests/shell/test_window_texts.cpp.
#include "shell/language.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"

#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class PanelTexts : public ::testing::Test {
protected:
    TBedienTeil panel;
    void SetUp() override { ResetPlayerState(); }
    void TearDown() override { ResetPlayerState(); }
};

TEST_F(PanelTexts, StepHintFollowsMultiStepEachTimeThePanelIsShown)
{
    MultiStep = 1;
    ApplyPanelTexts(panel);
    EXPECT_EQ(panel.BtnStep->toolTip(), "Multiple Step");
    MultiStep = 0;
    ApplyPanelTexts(panel);
    EXPECT_EQ(panel.BtnStep->toolTip(), "Step Forward");
    MultiStep = 1;
    ApplyPanelTexts(panel);
    EXPECT_EQ(panel.BtnStep->toolTip(), "Multiple Step");
}

// Callers that need the messages without the window get the same texts.
TEST(MessageValues, AssignedWithoutTheirWindowsTheyReadAsTheTableHasThem)
{
    AssignPanelMessages();
    AssignQueueMessages();
    EXPECT_EQ(HintStepForward, "Step Forward");
    EXPECT_EQ(HintMultipleStep, "Multiple Step");
    EXPECT_EQ(MsgNoDeviceConfig, "MCI device does not support configuration");
    EXPECT_EQ(MsgNoDeviceOpen, "No MCI device open.");
    EXPECT_EQ(MsgCanSavePictures, "The currently active MCI device is able of saving pictures.");
    EXPECT_EQ(MsgCannotSavePictures, "The currently active MCI device is NOT capable of saving pictures!");
    EXPECT_EQ(MsgQueueFull, "Queue cannot take more than 32768 entries.");
    EXPECT_EQ(MsgDriveNotReady, "Drive not ready");
    EXPECT_EQ(MsgErrorLoading, "Error loading the file ");
    EXPECT_EQ(MsgErrorSaving, "Error saving the file ");
    EXPECT_EQ(MsgLoadingQueue, "Loading queue entries...");
    EXPECT_EQ(MsgCheckingFiles, "Checking existing files...");
    EXPECT_EQ(MsgFilesSkipped, " missing files were skipped.");
}

} // namespace
