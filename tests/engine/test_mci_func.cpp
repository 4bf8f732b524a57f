#include "engine/MCI_FUNC.h"
#include "HeldOpenMci.h"
#include "ScriptedMci.h"
#include "engine/OpenInProgress.h"
#include "engine/Player.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

class CommandChannel : public ::testing::Test {
protected:
    ScriptedMci mci;
    ScriptedMci::Installed installed{mci};
    QStringList shownErrors;

    void SetUp() override
    {
        SetMciErrorHook([this](const QString& text) { shownErrors << text; });
    }
    void TearDown() override { SetMciErrorHook(nullptr); }
};

TEST_F(CommandChannel, ReplyIsTrimmedOfBlanksAndLineEndsAndCountsAsTrue)
{
    mci.answer("capability vid can reverse", {"  \ttrue\r\n", 0});
    QString reply;
    quint32 error = 99;
    SendMciString("capability vid can reverse", reply, error);
    EXPECT_EQ(reply, "true");
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(MciReplyIsTrue(reply));
}

TEST_F(CommandChannel, OnlyLowerCaseTrueInTheFirstFourCharactersCounts)
{
    EXPECT_FALSE(MciReplyIsTrue("TRUE"));
    EXPECT_FALSE(MciReplyIsTrue(""));
    EXPECT_FALSE(MciReplyIsTrue(" true"));
    EXPECT_TRUE(MciReplyIsTrue("trueish"));
}

TEST_F(CommandChannel, EveryCallOverwritesBothOutputs)
{
    mci.answer("status vid length", {"250", 0});
    mci.answer("play vid", {"", 263});
    QString reply;
    quint32 error = 0;
    SendMciString("status vid length", reply, error);
    EXPECT_EQ(reply, "250");
    SendMciString("play vid", reply, error);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(error, 263u);
    SendMciString("status vid length", reply, error);
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(shownErrors.isEmpty()) << "the silent channel never shows anything";
}

TEST_F(CommandChannel, AReplyLongerThanTheBufferIsCutTo254Characters)
{
    mci.answer("sysinfo all name 1", {std::string(400, 'x'), 0});
    QString reply;
    quint32 error = 0;
    SendMciString("sysinfo all name 1", reply, error);
    EXPECT_EQ(reply.size(), 254);
}

TEST_F(CommandChannel, ALongCommandIsPassedWholeNeverCut)
{
    const QString path = "/tmp/" + QString(300, 'a') + "/clip.avi";
    const QString command = "open \"" + path + "\" alias vid";
    EXPECT_TRUE(mciExecute(command));
    ASSERT_EQ(mci.sent().size(), 1u);
    EXPECT_EQ(QString::fromStdString(mci.sent()[0]), command);
}

TEST_F(CommandChannel, ExecuteShowsTheDeviceErrorTextOnlyOnFailure)
{
    mci.answer("open \"/nope.avi\" alias vid", {"", 275});
    EXPECT_FALSE(mciExecute("open \"/nope.avi\" alias vid"));
    ASSERT_EQ(shownErrors.size(), 1);
    EXPECT_EQ(shownErrors[0], "scripted error 275");
    EXPECT_TRUE(mciExecute("open \"/yes.avi\" alias vid"));
    EXPECT_EQ(shownErrors.size(), 1);
}

// A slow open shows the busy cursor; an error box after it must not keep it.
TEST(CommandChannelCursor, BusyWhileTheOpenRunsAndGoneBeforeItsErrorShows)
{
    struct Watching : ScriptedMci {
        std::vector<bool> busy;
        mci::ErrorCode sendString(const char* command, char* reply, unsigned length) override
        {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            busy.push_back(cursor && cursor->shape() == Qt::BusyCursor);
            return ScriptedMci::sendString(command, reply, length);
        }
    } mci;
    ScriptedMci::Installed installed{mci};
    std::vector<bool> busyAtError;
    SetMciErrorHook([&](const QString&) { busyAtError.push_back(QGuiApplication::overrideCursor() != nullptr); });
    mci.answer("open \"/nope.avi\" alias vid", {"", 275});
    EXPECT_FALSE(mciExecute("open \"/nope.avi\" alias vid"));
    EXPECT_TRUE(mciExecute("open \"/yes.avi\" alias vid"));
    SetMciErrorHook(nullptr);
    EXPECT_EQ(mci.busy, (std::vector<bool> {true, true}));
    EXPECT_EQ(busyAtError, std::vector<bool> {false});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// A long open runs behind a window that goes on answering: other commands are
// refused at once, input is dropped, and a close ends the open without an error box;
// what the user asked for meanwhile runs once the open's caller is done.
TEST(CommandChannelDuringAnOpen, TheWindowAnswersAndACloseEndsTheOpenWithoutAnErrorBox)
{
    HeldOpenMci mci;
    ScriptedMci::Installed installed{mci};
    QStringList errors;
    SetMciErrorHook([&](const QString& text) { errors << text; });
    struct KeyCounter : QObject {
        int keys = 0;
        bool event(QEvent* e) override
        {
            keys += e->type() == QEvent::KeyPress ? 1 : 0;
            return QObject::event(e);
        }
    } window;
    std::vector<bool> switched;
    QObject::connect(&ThePlayer(), &Player::OpenUnderWaySwitched, &window, [&](bool on) { switched.push_back(on); });
    quint32 refused = 0;
    bool after = false;
    bool afterAtOnce = true;
    QTimer::singleShot(100, &window, [&] {
        QString reply;
        SendMciString("status vid mode", reply, refused);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &key);
        EndOpenThen([&] { after = true; });
        afterAtOnce = after;
    });
    EXPECT_FALSE(mciExecute("open \"/big.mp4\" alias vid"));
    EXPECT_FALSE(after);
    QCoreApplication::processEvents();
    EXPECT_TRUE(after);
    EXPECT_FALSE(afterAtOnce);
    EXPECT_EQ(refused, mci::MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(window.keys, 0);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(mci.sent(), (std::vector<std::string> {"open \"/big.mp4\" alias vid", "close vid"}));
    EXPECT_EQ(switched, (std::vector<bool> {true, false}));
    EXPECT_FALSE(OpenUnderWay());

    // An open that fails by itself still shows its error.
    mci.holding = false;
    mci.answer("open \"/bad.mp4\" alias vid", {"", 275});
    EXPECT_FALSE(mciExecute("open \"/bad.mp4\" alias vid"));
    EXPECT_EQ(errors.size(), 1);
    SetMciErrorHook(nullptr);
}

TEST_F(CommandChannel, NonAsciiPathsTravelAsUtf8)
{
    const QString command = QString::fromUtf8("open \"/tmp/Überfahrt ñ.mp4\" alias vid");
    mciExecute(command);
    ASSERT_EQ(mci.sent().size(), 1u);
    EXPECT_EQ(mci.sent()[0], std::string(command.toUtf8().constData()));
}

TEST(CommandChannelWithoutService, FailsWithACodeAndNoCrash)
{
    mci::MciBackend* previous = SetMciBackend(nullptr);
    QString reply = "old";
    quint32 error = 0;
    SendMciString("play vid", reply, error);
    EXPECT_NE(error, 0u);
    EXPECT_EQ(reply, "");
    SetMciBackend(previous);
}

} // namespace
