// The go-to-frame dialog: the bound, the verification loop against a device that
// lands off target, the typing errors, and the re-armed position poll.
#include "PrefsFixture.h"

#include "shell/gotofram.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstring>

namespace {

// A device that positions only on key frames: every seek lands on the key frame
// at or before the target.
class KeyFrameMci : public ScriptedMci {
public:
    int keyFrameDistance = 60;

    mci::ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override
    {
        const std::string text(command);
        const std::string seek = "seek vid to ";
        if (text.rfind(seek, 0) == 0)
            landed_ = std::stoi(text.substr(seek.size())) / keyFrameDistance * keyFrameDistance;
        if (text == "status vid position")
            answerOnce(text, {std::to_string(landed_), 0});
        return ScriptedMci::sendString(command, reply, replyLength);
    }

private:
    int landed_ = 0;
};

class GotoFrameTest : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        keyFrames = std::make_unique<ScriptedMci::Installed>(device);
        MediumOpen(1000);
        frm = std::make_unique<TGotoFrameFrm>();
        frm->ShowError = [this](const QString& text) { errors << text; };
        frm->FormCreate();
        panel->Timer1->stop();
        frm->show();
    }

    void TearDown() override
    {
        frm.reset();
        keyFrames.reset();
        DialogFixture::TearDown();
    }

    void GoTo(const QString& text)
    {
        frm->Edit1->setText(text);
        frm->Button1Click();
    }

    std::vector<std::string> Seeks() const
    {
        std::vector<std::string> seeks;
        for (const auto& c : device.sent())
            if (c.rfind("seek vid to ", 0) == 0)
                seeks.push_back(c);
        return seeks;
    }

    KeyFrameMci device;
    std::unique_ptr<ScriptedMci::Installed> keyFrames;
    std::unique_ptr<TGotoFrameFrm> frm;
    QStringList errors;
};

TEST_F(GotoFrameTest, TheCaptionIsEnglishAndTheFieldShowsTheCurrentFrameSelected)
{
    EXPECT_EQ(frm->windowTitle(), "Goto Frame");
    EXPECT_EQ(frm->Button1->text(), "OK");
    frm->hide();
    CurrentFrame = 42;
    frm->show();
    EXPECT_EQ(frm->Edit1->text(), "42");
    EXPECT_EQ(frm->Edit1->selectedText(), "42");
    QTest::keyClicks(frm->Edit1, "7");
    EXPECT_EQ(frm->Edit1->text(), "7") << "typing replaces the shown frame";
}

TEST_F(GotoFrameTest, ADeviceThatLandsNearEnoughIsSeekedOnce)
{
    device.keyFrameDistance = 1;
    GoTo("250");
    EXPECT_EQ(device.sent(), Commands({"seek vid to 250", "status vid position"}));
    EXPECT_EQ(CurrentFrame, 250);
    EXPECT_EQ(PositionText, "250");
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(panel->Timer1->isActive()) << "the poll is re-armed";
}

TEST_F(GotoFrameTest, ATargetAboveTheLengthSeeksToTheLastFrameNumber)
{
    device.keyFrameDistance = 1;
    GoTo("5000");
    EXPECT_EQ(Seeks(), Commands({"seek vid to 1000"}));
    frm->show();
    GoTo("-5");
    EXPECT_EQ(Seeks().back(), "seek vid to -5") << "no lower bound";
}

TEST_F(GotoFrameTest, KeyFramesSixtyApartMakeTheTargetGrowUntilThePositionIsClose)
{
    // Target 110 lands on 60 (50 away: too far) until 120 lands on 120.
    GoTo("110");
    Commands expected;
    for (int t = 110; t <= 120; ++t)
        expected.push_back("seek vid to " + std::to_string(t));
    EXPECT_EQ(Seeks(), expected);
    EXPECT_EQ(device.count("status vid position"), expected.size());
    EXPECT_EQ(CurrentFrame, 120);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(panel->Timer1->isActive());

    frm->show();
    device.clearSent();
    GoTo("109");
    EXPECT_EQ(Seeks(), Commands({"seek vid to 109"})) << "49 frames short counts as arrived";
}

TEST_F(GotoFrameTest, ADeviceThatNeverArrivesGetsTwentySeeksAndTheDialogCloses)
{
    device.keyFrameDistance = 100000;  // every seek lands on frame 0
    GoTo("500");
    const auto seeks = Seeks();
    ASSERT_EQ(seeks.size(), 20u);
    EXPECT_EQ(seeks.front(), "seek vid to 500");
    EXPECT_EQ(seeks.back(), "seek vid to 519");
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(panel->Timer1->isActive());
}

TEST_F(GotoFrameTest, EnterInTheFieldWorksLikeOk)
{
    device.keyFrameDistance = 1;
    frm->Edit1->setText("300");
    QTest::keyClick(frm->Edit1, Qt::Key_Return);
    EXPECT_EQ(Seeks(), Commands({"seek vid to 300"}));
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(GotoFrameTest, TextThatIsNoWholeNumberIsReportedAndNothingSent)
{
    for (const QString& text : {QStringLiteral("12a"), QString(), QStringLiteral("1.5"),
                                QStringLiteral("99999999999"), QStringLiteral("0x10")}) {
        errors.clear();
        GoTo(text);
        EXPECT_EQ(errors, QStringList{QStringLiteral("'%1' is not a valid integer value").arg(text)});
        EXPECT_TRUE(device.sent().empty()) << text.toStdString();
        EXPECT_TRUE(frm->isVisible()) << "the dialog stays open";
        EXPECT_FALSE(panel->Timer1->isActive()) << "the poll stays off";
    }
    GoTo(" 64 ");
    EXPECT_TRUE(errors.size() == 1 && !device.sent().empty()) << "blanks around a number are fine";
}

TEST_F(GotoFrameTest, APositionReplyThatIsNoNumberStopsTheGotoWithAMessage)
{
    // answerOnce from the key-frame model comes first; replace it with a text.
    struct Garbled : ScriptedMci {
        mci::ErrorCode sendString(const char* command, char* reply, unsigned length) override
        {
            if (std::string(command) == "status vid position")
                answerOnce(command, {"", 0});
            return ScriptedMci::sendString(command, reply, length);
        }
    } garbled;
    ScriptedMci::Installed route(garbled);
    GoTo("10");
    EXPECT_EQ(garbled.sent(), Commands({"seek vid to 10", "status vid position"}));
    EXPECT_EQ(errors, QStringList{"'' is not a valid integer value"});
    EXPECT_TRUE(frm->isVisible());
    EXPECT_FALSE(panel->Timer1->isActive());
    frm->close();
    EXPECT_TRUE(panel->Timer1->isActive()) << "closing still re-arms the poll";
}

TEST_F(GotoFrameTest, TheCloseBoxSendsNothingAndReArmsThePoll)
{
    frm->close();
    EXPECT_TRUE(device.sent().empty());
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(panel->Timer1->isActive());
}

} // namespace
