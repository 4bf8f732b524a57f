// The preferences dialog: what OK, Cancel and Default take over, and how the
// dialog's scales map onto the panel's timers.
#include "PrefsFixture.h"

#include "prefs/preferen.h"
#include "queue/Queue.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace {

class PrefsTest : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        Zoom = 1;
        TimerFactor = 2;
        TimerMin = 500;
        Volume = 800;
        panel->Timer2->setInterval(250);
        prefs = std::make_unique<TPrefs>();
        prefs->DeviceList = [this] { return devices; };
        prefs->ShowError = [this](const QString& text) { errors << text; };
        prefs->FormCreate();
    }

    void TearDown() override
    {
        prefs.reset();
        DialogFixture::TearDown();
    }

    void Show()
    {
        prefs->show();
        mci.clearSent();
    }

    bool SentSomething(const std::string& prefix) const
    {
        const Commands sent = Sent();
        return std::any_of(sent.begin(), sent.end(),
                           [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    }

    QStringList devices{QStringLiteral("avivideo"), QStringLiteral("mpegvideo")};
    std::unique_ptr<TPrefs> prefs;
    QStringList errors;
};

TEST_F(PrefsTest, TabsTakeTheirEnglishCaptionsButTheDefaultHintStaysGerman)
{
    EXPECT_EQ(prefs->windowTitle(), "Preferences");
    const QStringList tabs{"Display", "Multi-Step", "Timer", "Capture", "MCI-Device", "Audio"};
    ASSERT_EQ(prefs->PageControl1->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(prefs->PageControl1->tabText(i), tabs[i]);
    EXPECT_EQ(prefs->Button3->toolTip(), "Setzt alle Einstellungen auf Standardwerte");
}

TEST_F(PrefsTest, StepsPerSecondBecomeTheMultiStepIntervalAndShowAgainTheSame)
{
    const int steps[] = {1, 3, 4, 7, 10};
    const int interval[] = {1000, 333, 250, 142, 100};
    for (int i = 0; i < 5; ++i) {
        Show();
        prefs->TrackBar1->setValue(steps[i]);
        EXPECT_EQ(prefs->Edit1->text(), QString::number(steps[i]));
        prefs->Button1Click();
        EXPECT_EQ(panel->Timer2->interval(), interval[i]) << steps[i] << " steps per second";
        EXPECT_FALSE(prefs->isVisible());
        Show();
        EXPECT_EQ(prefs->TrackBar1->value(), steps[i]) << "shown again from " << interval[i] << " ms";
        prefs->hide();
    }
    panel->Timer2->setInterval(180);  // a stored interval between two scale points
    Show();
    EXPECT_EQ(prefs->TrackBar1->value(), 5) << "1000 div 180";
}

TEST_F(PrefsTest, OkRecomputesThePollIntervalWithoutStartingThePoll)
{
    MediumOpen(1000, 25);
    panel->Timer1->stop();
    panel->Timer1->setInterval(1234);
    Show();
    prefs->TrackBar2->setValue(2);
    prefs->TrackBar3->setValue(500);
    prefs->Button1Click();
    EXPECT_EQ(panel->Timer1->interval(), 500) << "80 ms is raised to the minimum";
    EXPECT_EQ(TimerFactor, 2);
    EXPECT_EQ(TimerMin, 500);

    Show();
    prefs->TrackBar2->setValue(10);
    prefs->TrackBar3->setValue(100);
    EXPECT_EQ(prefs->Edit2->text(), "10");
    EXPECT_EQ(prefs->Edit3->text(), "100");
    prefs->Button1Click();
    EXPECT_EQ(panel->Timer1->interval(), 400);
    EXPECT_FALSE(panel->Timer1->isActive());
}

TEST_F(PrefsTest, WithoutAMediumOkSendsNothingAndLeavesThePollAlone)
{
    panel->Timer1->setInterval(1234);
    Show();
    prefs->TrackBar4->setValue(300);
    prefs->TrackBar2->setValue(7);
    prefs->Button1Click();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(panel->Timer1->interval(), 1234);
    EXPECT_EQ(Volume, 300);
    EXPECT_EQ(TimerFactor, 7);
}

TEST_F(PrefsTest, OkSendsTheVolumeEvenWhenTheSystemControlsIt)
{
    MediumOpen();
    Show();
    prefs->CheckBox6->setChecked(true);
    EXPECT_EQ(NoVolume, 1) << "volume by system is taken at once";
    EXPECT_FALSE(prefs->TrackBar4->isEnabled());
    prefs->TrackBar4->setValue(500);
    prefs->Button1Click();
    EXPECT_EQ(Sent(), Commands({"setaudio vid volume to 500"}));
    EXPECT_EQ(Volume, 500);
}

TEST_F(PrefsTest, ZoomIsTakenAtOnceAndOnlyOkReplacesTheVideo)
{
    MediumOpen();
    Show();
    EXPECT_TRUE(prefs->RadioButton1->isChecked());
    prefs->RadioButton3->setChecked(true);
    EXPECT_EQ(Zoom, 3);
    prefs->Button2Click();
    EXPECT_EQ(Zoom, 3) << "Cancel keeps the new zoom";
    EXPECT_TRUE(Sent().empty()) << "Cancel does not re-place the video";

    Show();
    EXPECT_TRUE(prefs->RadioButton3->isChecked());
    prefs->RadioButton2->setChecked(true);
    prefs->Button1Click();
    EXPECT_EQ(Zoom, 2);
    EXPECT_TRUE(SentSomething("put vid destination")) << "a changed zoom re-places a stretchable medium";

    Show();
    prefs->Button1Click();
    EXPECT_FALSE(SentSomething("put vid")) << "the same zoom is not placed again";
}

TEST_F(PrefsTest, AZoomOutsideTheChoicesTicksNoButton)
{
    Zoom = 0;
    Show();
    for (QRadioButton* b : {prefs->RadioButton1, prefs->RadioButton2, prefs->RadioButton3, prefs->RadioButton4})
        EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(Zoom, 0);
}

TEST_F(PrefsTest, CancelDropsTheBoxesButKeepsWhatActedAtOnce)
{
    HidePanel = 0;
    CommandLoop = 0;
    Show();
    prefs->CheckBox5->setChecked(true);
    prefs->CheckBox8->setChecked(true);
    prefs->TrackBar1->setValue(9);
    prefs->CheckBox6->setChecked(true);
    prefs->Button4Click();
    prefs->Button2Click();
    EXPECT_EQ(HidePanel, 0);
    EXPECT_EQ(CommandLoop, 0);
    EXPECT_EQ(panel->Timer2->interval(), 250);
    EXPECT_EQ(NoVolume, 1) << "volume by system acted at once";
    EXPECT_EQ(panel->pos(), QPoint(-6, -7)) << "Reset Panel acted at once";

    Show();
    EXPECT_FALSE(prefs->CheckBox5->isChecked()) << "the next showing reloads the settings";
    EXPECT_EQ(prefs->TrackBar1->value(), 4);

    // Escape and the close box are Cancel too.
    prefs->CheckBox5->setChecked(true);
    prefs->reject();
    EXPECT_FALSE(prefs->isVisible());
    Show();
    prefs->close();
    EXPECT_FALSE(prefs->isVisible());
    EXPECT_EQ(HidePanel, 0);
}

TEST_F(PrefsTest, WhileAStartupQueueHoldsCommandLoopTheBoxIsTheUsersOwnValue)
{
    CommandLoop = 0;
    display->FormCreate({"/home/u/list.kql"});
    Show();
    EXPECT_FALSE(prefs->CheckBox8->isChecked()) << "not the value the queue holds";
    prefs->CheckBox8->setChecked(true);
    prefs->Button1Click();
    EXPECT_EQ(CommandLoop, 1) << "the queue goes on";
    QueueActive = 1;
    AdvanceQueue(); // its end
    EXPECT_FALSE(panel->ProgramEndRequested) << "the choice made while it played holds at its end";
    EXPECT_EQ(CommandLoop, 1);
}

TEST_F(PrefsTest, OkTakesOverTheBoxesAndShowsTheMultiStepState)
{
    Show();
    prefs->CheckBox1->setChecked(true);
    EXPECT_TRUE(prefs->TrackBar1->isEnabled());
    EXPECT_TRUE(prefs->Edit1->isEnabled());
    prefs->CheckBox5->setChecked(true);
    prefs->CheckBox8->setChecked(true);
    prefs->CheckBox2->setChecked(false);
    panel->Timer2->start();
    prefs->Button1Click();
    EXPECT_EQ(MultiStep, 1);
    EXPECT_EQ(HidePanel, 1);
    EXPECT_EQ(CommandLoop, 1);
    EXPECT_EQ(LastPos, 0);
    EXPECT_FALSE(panel->ShMultiStep->isHidden());
    EXPECT_EQ(panel->BtnStep->toolTip(), "Multiple Step");

    Show();
    prefs->CheckBox1->setChecked(false);
    EXPECT_FALSE(prefs->Label2->isEnabled());
    prefs->Button1Click();
    EXPECT_EQ(MultiStep, 0);
    EXPECT_TRUE(panel->ShMultiStep->isHidden());
    EXPECT_EQ(panel->BtnStep->toolTip(), "Step Forward");
    EXPECT_TRUE(panel->Timer2->isActive()) << "OK does not stop a running multi-step";
}

TEST_F(PrefsTest, ChangingTheDisplayModeClosesTheMediumOnlyOnAChange)
{
    MediumOpen();
    Show();
    prefs->Button1Click();
    EXPECT_EQ(MediaOpen, 1);
    EXPECT_EQ(mci.count("close vid"), 0u);

    Show();
    EXPECT_TRUE(prefs->CheckBox2->isEnabled());
    prefs->CheckBox3->setChecked(true);
    EXPECT_FALSE(prefs->CheckBox2->isChecked()) << "no stored display position without smart display";
    EXPECT_FALSE(prefs->CheckBox2->isEnabled());
    prefs->Button1Click();
    EXPECT_EQ(SmartDisplay, 0);
    EXPECT_EQ(LastPos, 0);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(mci.count("close vid"), 1u);

    Show();
    EXPECT_TRUE(prefs->CheckBox3->isChecked());
    EXPECT_FALSE(prefs->CheckBox2->isEnabled());
    prefs->CheckBox3->setChecked(false);
    EXPECT_TRUE(prefs->CheckBox2->isEnabled());
    prefs->Button1Click();
    EXPECT_EQ(SmartDisplay, 1);
    EXPECT_TRUE(Sent().empty()) << "nothing open, nothing to close";
}

TEST_F(PrefsTest, ResetPutsOneIntoTheCounterWhichOnlyOkTakes)
{
    CaptureCounter = 57;
    Show();
    EXPECT_EQ(prefs->MaskEdit1->text(), "57");
    prefs->Button6Click();
    EXPECT_EQ(prefs->MaskEdit1->text(), "1");
    EXPECT_EQ(CaptureCounter, 57);
    prefs->Button1Click();
    EXPECT_EQ(CaptureCounter, 1);
}

TEST_F(PrefsTest, ACounterThatIsNoNumberStopsOkBeforeAnythingIsTaken)
{
    MediumOpen();
    CaptureCounter = 9;
    Show();
    prefs->MaskEdit1->setText(QString());
    prefs->TrackBar2->setValue(9);
    prefs->CheckBox5->setChecked(true);
    prefs->RadioButton2->setChecked(true);
    prefs->Button1Click();
    EXPECT_EQ(errors, QStringList{"'' is not a valid integer value"});
    EXPECT_TRUE(prefs->isVisible()) << "the dialog stays open for a correction";
    EXPECT_EQ(CaptureCounter, 9);
    EXPECT_EQ(TimerFactor, 2);
    EXPECT_EQ(HidePanel, 0);
    EXPECT_TRUE(Sent().empty()) << "no volume, no placing";

    prefs->MaskEdit1->setText(QStringLiteral("12"));
    prefs->Button1Click();
    EXPECT_EQ(CaptureCounter, 12);
    EXPECT_EQ(TimerFactor, 9);
    EXPECT_FALSE(prefs->isVisible());
}

TEST_F(PrefsTest, ACounterLongerThanFiveDigitsSurvivesOk)
{
    CaptureCounter = 123456;
    Show();
    EXPECT_EQ(prefs->MaskEdit1->text(), "123456");
    prefs->Button1Click();
    EXPECT_EQ(CaptureCounter, 123456);
}

TEST_F(PrefsTest, DefaultResetsItsSettingsAtOnceAndLeavesTheRest)
{
    Zoom = 3;
    MultiStep = 1;
    SmartDisplay = 0;
    LastPos = 0;
    TimerFactor = 9;
    TimerMin = 1500;
    panel->Timer2->setInterval(125);
    NoVolume = 1;
    Volume = 300;
    HidePanel = 1;
    CommandLoop = 1;
    CaptureDir = QStringLiteral("/frames/");
    CaptureCounter = 44;
    panel->ShMultiStep->show();
    MediumOpen();
    Show();
    EXPECT_EQ(prefs->TrackBar1->value(), 8);

    prefs->Button3Click();
    EXPECT_EQ(prefs->TrackBar1->value(), 4);
    EXPECT_EQ(prefs->Edit2->text(), "2");
    EXPECT_EQ(prefs->Edit3->text(), "500");
    EXPECT_TRUE(prefs->RadioButton1->isChecked());
    EXPECT_FALSE(prefs->CheckBox3->isChecked());
    EXPECT_TRUE(prefs->CheckBox2->isChecked());
    EXPECT_EQ(Zoom, 1);
    EXPECT_EQ(TimerFactor, 2);
    EXPECT_EQ(TimerMin, 500);
    EXPECT_EQ(panel->Timer2->interval(), 250);
    EXPECT_EQ(MultiStep, 0);
    EXPECT_EQ(SmartDisplay, 1);
    EXPECT_EQ(LastPos, 1);
    EXPECT_FALSE(panel->ShMultiStep->isHidden()) << "the indicator follows only on OK";
    EXPECT_EQ(NoVolume, 1);
    EXPECT_EQ(Volume, 300);
    EXPECT_EQ(HidePanel, 1);
    EXPECT_EQ(CommandLoop, 1);
    EXPECT_EQ(CaptureDir, "/frames/");
    EXPECT_EQ(CaptureCounter, 44);
    EXPECT_EQ(MediaOpen, 1);
    EXPECT_TRUE(Sent().empty()) << "the medium is neither re-placed nor closed";
}

TEST_F(PrefsTest, TheCaptureDirectoryIsTheChosenFolderWithItsSeparator)
{
    CaptureDir = QStringLiteral("/old/");
    QString askedFrom;
    QString answer = QStringLiteral("/video/frames");
    prefs->ChooseDirectory = [&](const QString& current) {
        askedFrom = current;
        return answer;
    };
    Show();
    prefs->BitBtn1Click();
    EXPECT_EQ(askedFrom, "/old/");
    EXPECT_EQ(prefs->Edit4->text(), "/video/frames/");
    EXPECT_EQ(CaptureDir, "/old/") << "taken over on OK only";

    answer = QString();
    prefs->BitBtn1Click();
    EXPECT_EQ(prefs->Edit4->text(), "/video/frames/") << "a cancelled choice changes nothing";

    answer = QStringLiteral("/");
    prefs->BitBtn1Click();
    EXPECT_EQ(prefs->Edit4->text(), "/");
    prefs->Button1Click();
    EXPECT_EQ(CaptureDir, "/");
}

TEST_F(PrefsTest, TheCaptureTabTellsWhetherTheOpenDeviceSavesPictures)
{
    Show();
    EXPECT_EQ(prefs->Label6->text(), "No MCI device open.");
    prefs->hide();
    MediumOpen();
    CanSave = 1;
    Show();
    EXPECT_EQ(prefs->Label6->text(), "The currently active MCI device is able of saving pictures.");
    prefs->hide();
    CanSave = 0;
    Show();
    EXPECT_EQ(prefs->Label6->text(), "The currently active MCI device is NOT capable of saving pictures!");
}

} // namespace
