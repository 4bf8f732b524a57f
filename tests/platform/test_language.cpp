#include "shell/language.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class PanelTexts : public ::testing::Test {
protected:
    TBedienTeil panel;
    void SetUp() override { ResetPlayerState(); }
    void TearDown() override { ResetPlayerState(); }

    // As laid out at design time, so only what the table writes can be English.
    void layOutInGerman()
    {
        for (QToolButton* b : {panel.BtnToStart, panel.BtnStepRev, panel.BtnPlayRev, panel.BtnPlay, panel.BtnStep,
                               panel.BtnToEnd, panel.BtnLoop0, panel.BtnLoop1})
            b->setToolTip("deutsch");
        panel.ShMultiStep->setToolTip("deutsch");
        panel.ShQueue->setToolTip("deutsch");
        panel.Panel1->setText("deutsch");
        for (QAction* a : {panel.Open, panel.Close1, panel.GotoFrame, panel.OpenQueue1, panel.ClearQueue1,
                           panel.EndQueue1, panel.ConfigureMCIdevice1, panel.Preferences1, panel.Exit1})
            a->setText("deutsch");
        panel.OpenDialog1Title = "deutsch";
    }
};

TEST_F(PanelTexts, EveryPanelTextIsEnglishAndExact)
{
    layOutInGerman();
    ApplyPanelTexts(panel);
    const std::vector<std::pair<QString, const char*>> shown{
        {panel.BtnToStart->toolTip(), "To Start"}, {panel.BtnStepRev->toolTip(), "Step Reverse"},
        {panel.BtnPlayRev->toolTip(), "Play Reverse"}, {panel.BtnPlay->toolTip(), "Play"},
        {panel.BtnStep->toolTip(), "Step Forward"}, {panel.BtnToEnd->toolTip(), "To End"},
        {panel.BtnLoop0->toolTip(), "Switch Loop On"}, {panel.BtnLoop1->toolTip(), "Switch Loop Off"},
        {panel.Panel1->text(), "Press right mouse button for menu"}, {panel.Open->text(), "Open File"},
        {panel.OpenDialog1Title, "Open File"}, {panel.Close1->text(), "Close File"},
        {panel.GotoFrame->text(), "Goto Frame"}, {panel.OpenQueue1->text(), "Open Queue"},
        {panel.ClearQueue1->text(), "Clear Queue"}, {panel.EndQueue1->text(), "End Queue"},
        {panel.ConfigureMCIdevice1->text(), "Configure MCI Device"}, {panel.Preferences1->text(), "Preferences"},
        {panel.Exit1->text(), "Exit"}, {panel.ShMultiStep->toolTip(), "Multi-Step active"},
        {panel.ShQueue->toolTip(), "Queue active"}};
    for (const auto& [text, expected] : shown)
        EXPECT_EQ(text, QString::fromLatin1(expected));
}

TEST_F(PanelTexts, StopHintInfoEntryAndShortcutsStayAsDesigned)
{
    panel.BtnStop->setToolTip("Stop");
    const QKeySequence exitKeys = panel.Exit1->shortcut();
    ApplyPanelTexts(panel);
    EXPECT_EQ(panel.BtnStop->toolTip(), "Stop");
    EXPECT_EQ(panel.Info1->text(), "Info");
    EXPECT_EQ(panel.Exit1->shortcut(), exitKeys);
}

TEST_F(PanelTexts, StepHintFollowsMultiStepEachTimeThePanelIsShown)
{
    MultiStep = 1;
    ApplyPanelTexts(panel);
    EXPECT_EQ(panel.BtnStep->toolTip(), "Multiple Step");
    MultiStep = 0;
    ApplyPanelTexts(panel);
    EXPECT_EQ(panel.BtnStep->toolTip(), "Step Forward");
}

TEST_F(PanelTexts, PanelMessagesAreAssigned)
{
    ApplyPanelTexts(panel);
    EXPECT_EQ(HintStepForward, "Step Forward");
    EXPECT_EQ(HintMultipleStep, "Multiple Step");
    EXPECT_EQ(MsgNoDeviceConfig, "MCI device does not support configuration");
    EXPECT_EQ(MsgNoDeviceOpen, "No MCI device open.");
    EXPECT_EQ(MsgCanSavePictures, "The currently active MCI device is able of saving pictures.");
    EXPECT_EQ(MsgCannotSavePictures, "The currently active MCI device is NOT capable of saving pictures!");
}

// Windows of their own kinds, with the controls named as the routines expect.
struct FakeQueueEditor : QWidget {
    QPushButton* BtnAuf = new QPushButton(this);
    QPushButton* BtnAb = new QPushButton(this);
    QListWidget* ListBox1 = new QListWidget(this);
    QPushButton* Button1 = new QPushButton("OK", this);
    QPushButton* BtnAdd = new QPushButton(this);
    QPushButton* BtnDel = new QPushButton(this);
    QPushButton* BtnAddAll = new QPushButton(this);
    QPushButton* BtnDelAll = new QPushButton(this);
    QPushButton* Button2 = new QPushButton(this);
    QPushButton* BtnLoad = new QPushButton(this);
    QToolButton* BtnSave = nullptr;   // not made: passed over
};

TEST(WindowTexts, QueueEditorTextsKeepTheirDoubledBlanksAndMessagesAreExact)
{
    FakeQueueEditor w;
    ApplyQueueTexts(w);
    EXPECT_EQ(w.windowTitle(), "Queue");
    EXPECT_EQ(w.BtnAdd->text(), "Add  >");
    EXPECT_EQ(w.BtnDel->text(), "<  Remove");
    EXPECT_EQ(w.BtnAddAll->text(), "Add all  >>");
    EXPECT_EQ(w.BtnDelAll->text(), "<<  Rmv all");
    EXPECT_EQ(w.Button2->text(), "Cancel");
    EXPECT_EQ(w.Button1->text(), "OK");
    EXPECT_EQ(w.Button1->toolTip(), "OK starts queue play with first queue entry.");
    EXPECT_EQ(w.BtnAuf->toolTip(), "Move entry up.");
    EXPECT_EQ(w.BtnAb->toolTip(), "Move entry down.");
    EXPECT_EQ(w.ListBox1->toolTip(), "Double click starts queue play with selected entry.");
    EXPECT_EQ(w.BtnLoad->toolTip(), "Import queue entries from file.");
    EXPECT_EQ(MsgQueueFull, "Queue cannot take more than 32768 entries.");
    EXPECT_EQ(MsgErrorLoading + "/a.kql", "Error loading the file /a.kql");
    EXPECT_EQ(MsgErrorSaving + "/a.kql", "Error saving the file /a.kql");
    EXPECT_EQ(QString::number(3) + MsgFilesSkipped, "3 missing files were skipped.");
    EXPECT_EQ(MsgLoadingQueue, "Loading queue entries...");
    EXPECT_EQ(MsgCheckingFiles, "Checking existing files...");
    EXPECT_EQ(MsgDriveNotReady, "Drive not ready");
}

struct FakePrefs : QWidget {
    QTabWidget* tabs = new QTabWidget(this);
    QWidget *TabSheet1 = new QWidget, *TabSheet2 = new QWidget, *TabSheet3 = new QWidget, *TabSheet4 = new QWidget;
    QLabel *Label1 = L(), *Label2 = L(), *Label3 = L(), *Label4 = L(), *Label5 = L(), *Label7 = L(), *Label9 = L();
    QCheckBox *CheckBox1 = C(), *CheckBox2 = C(), *CheckBox3 = C(), *CheckBox4 = C(), *CheckBox5 = C(),
              *CheckBox6 = C(), *CheckBox7 = C(), *CheckBox8 = C();
    QPushButton *Button2 = B(), *Button3 = B(), *Button4 = B(), *Button5 = B();
    QRadioButton* RadioButton4 = new QRadioButton(this);
    QToolButton* BitBtn1 = new QToolButton(this);
    QLabel* L() { return new QLabel(this); }
    QCheckBox* C() { return new QCheckBox(this); }
    QPushButton* B() { return new QPushButton(this); }
    FakePrefs()
    {
        for (QWidget* page : {TabSheet1, TabSheet2, TabSheet3, TabSheet4})
            tabs->addTab(page, "deutsch");
        tabs->setTabText(2, "Timer");
        Button3->setToolTip("Setzt alle Einstellungen auf Standardwerte");
    }
};

TEST(WindowTexts, PreferencesAreEnglishButTheDefaultButtonKeepsItsGermanTip)
{
    FakePrefs w;
    ApplyPrefsTexts(w);
    EXPECT_EQ(w.windowTitle(), "Preferences");
    EXPECT_EQ(w.tabs->tabText(0), "Display");
    EXPECT_EQ(w.tabs->tabText(1), "Multi-Step");
    EXPECT_EQ(w.tabs->tabText(2), "Timer");
    EXPECT_EQ(w.tabs->tabText(3), "MCI-Device");
    EXPECT_EQ(w.Button3->text(), "Default");
    EXPECT_EQ(w.Button3->toolTip(), "Setzt alle Einstellungen auf Standardwerte");
    EXPECT_EQ(w.CheckBox3->text(), "Disable 'Smart Display'");
    EXPECT_EQ(w.Label3->text(), "Tolerance/Frames ( 1 - 10)");
    EXPECT_EQ(w.Label4->text(), "Min. Tolerance in Milliseconds( 100 - 2000)");
    EXPECT_EQ(w.CheckBox8->toolTip(), "Do not close if started from command line");
}

struct FakeInfo : QWidget {
    QTabWidget* tabs = new QTabWidget(this);
    QWidget* TabSheet1 = new QWidget;
    QWidget* TabSheet2 = new QWidget;
    QWidget* TabSheet3 = new QWidget;
    QLabel* Label8 = new QLabel(this);
    QLabel* Label9 = new QLabel(this);
    QLabel* Label10 = new QLabel(this);
    QLabel* KURL21 = new QLabel(this);
    QLabel* KURL22 = new QLabel(this);
    QLabel* KURL23 = new QLabel(this);
    FakeInfo()
    {
        setWindowTitle("Vantu's MCI Video File Player");
        tabs->addTab(TabSheet1, "Info");
        tabs->addTab(TabSheet2, "Geräte");
        tabs->addTab(TabSheet3, "Geräte");
    }
};

TEST(WindowTexts, AboutBoxAndGotoFrameTexts)
{
    FakeInfo w;
    ApplyInfoTexts(w);
    EXPECT_EQ(w.windowTitle(), "Vantu's MCI Video File Player");
    EXPECT_EQ(w.tabs->tabText(0), "Info");
    EXPECT_EQ(w.tabs->tabText(1), "Video MCI Devices");
    EXPECT_EQ(w.tabs->tabText(2), "Video MCI Devices");
    EXPECT_EQ(w.Label9->text(), "File Extensions");
    EXPECT_EQ(w.Label10->text(), "For speed reasons there is no autodetection of MCI devices in command line mode");
    EXPECT_EQ(w.KURL21->toolTip(), "Your feedback is welcome.");
    EXPECT_EQ(w.KURL23->toolTip(), "Look for new versions on my website");

    QWidget gotoFrame;
    ApplyGotoFrameTexts(gotoFrame);
    EXPECT_EQ(gotoFrame.windowTitle(), "Goto Frame");
}

} // namespace
