#include "test_keys_fixture.h"

#include "engine/MCI_FUNC.h"
#include "queue/Queue.h"
#include "queue/QueueForm.h"

#include <QAction>
#include <QFrame>
#include <QListWidget>

#include <algorithm>

namespace {

// Three queued files, the queue playing entry `index`.
class KeyQueue : public KeysFixture {
protected:
    void Playing(int index)
    {
        SetMciErrorHook([this](const QString& text) { errors << text; });
        queue = std::make_unique<TQueueForm>();
        for (const char* path : {"/media/a/ONE.AVI", "/media/a/TWO.AVI", "/media/a/THREE.AVI"})
            queue->ListBox1->addItem(QString::fromLatin1(path));
        mci.answer("Status vid ready", {"true"});
        Ready();
        queue->ListBox1->setCurrentRow(index);
        QueueActive = 1;
        panel->ShQueue->show();
        panel->EndQueue1->setEnabled(true);
    }

    void TearDown() override
    {
        queue.reset();
        SetMciErrorHook(nullptr);
        KeysFixture::TearDown();
    }

    size_t At(const std::string& command) const
    {
        const Commands s = Sent();
        return size_t(std::find(s.begin(), s.end(), command) - s.begin());
    }

    std::unique_ptr<TQueueForm> queue;
    QStringList errors;
};

} // namespace

TEST_F(KeyQueue, KeypadPlusBeepsAsAKeyAndOpensTheNextEntryAsACharacter)
{
    Playing(0);
    QTest::keyClick(display.get(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(QueueIndex(), 1);
    EXPECT_EQ(MediaName, QStringLiteral("TWO.AVI"));
    const Commands sent = Sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + 3),
              Commands({"close vid", "Status vid ready", "open \"/media/a/TWO.AVI\" alias vid"}));
    // After the open sequence the loop restart plays it from the start.
    EXPECT_LT(At("set vid time format frames"), At("seek vid to start"));
    EXPECT_EQ(At("seek vid to start") + 1, At("play vid"));
    EXPECT_EQ(QueueActive, 1);
}

TEST_F(KeyQueue, MinusSkipsTheReadyWaitAndNeitherKeyPassesTheEndsOrRunsWithoutQueueMode)
{
    Playing(2);
    Char('+');
    EXPECT_TRUE(Sent().empty()) << "on the last entry";
    Char('-');
    EXPECT_EQ(QueueIndex(), 1);
    EXPECT_EQ(Sent().at(0), "close vid");
    EXPECT_EQ(Sent().at(1), "open \"/media/a/TWO.AVI\" alias vid");
    Char('-');
    mci.clearSent();
    Char('-');
    EXPECT_TRUE(Sent().empty()) << "on the first entry";
    QueueActive = 0;
    Char('+');
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(QueueIndex(), 0);
}

TEST_F(KeyQueue, AnEntryThatFailsToOpenEndsQueueMode)
{
    Playing(0);
    mci.answer("open \"/media/a/TWO.AVI\" alias vid", {"", 275});
    Char('+');
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(QueueActive, 0);
    EXPECT_FALSE(panel->ShQueue->isVisibleTo(panel.get()));
    EXPECT_FALSE(panel->EndQueue1->isEnabled());
    EXPECT_EQ(QueueIndex(), 1) << "the failed entry stays selected";
    EXPECT_EQ(Sent().back(), "close vid");
}

TEST_F(KeyQueue, ANewEntryIsNeverEndedByThePositionsOfTheOneBefore)
{
    Playing(0);
    ThePlayer().Transition(TransportState::Playing);
    mci.answer("status vid mode", {"playing", 0});
    mci.answer("status vid position", {"12", 0});
    panel->Timer1Timer(); // the first entry's last poll
    Char('+');
    panel->Timer3Timer();
    panel->Timer1Timer(); // the second entry's first poll, at the same frame
    EXPECT_EQ(QueueIndex(), 1);
    panel->Timer1Timer(); // standing still: its end
    EXPECT_EQ(QueueIndex(), 2);
    panel->Timer3Timer();
    panel->Timer1Timer();
    EXPECT_EQ(QueueIndex(), 2) << "the third entry's first poll";
    EXPECT_EQ(QueueActive, 1);
}

TEST_F(KeyQueue, CtrlAndAltCombinationsTypeNoCharacterCommands)
{
    Playing(1);
    Volume = 500;
    QTest::keyClick(display.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(panel.get(), Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(panel.get(), Qt::Key_6, Qt::AltModifier);
    QTest::keyClick(display.get(), Qt::Key_6, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(panel.get(), Qt::Key_9, Qt::ControlModifier);
    EXPECT_EQ(Sent(), Commands({"setaudio vid volume to 400", "setaudio vid volume to 500"}));
    EXPECT_EQ(QueueIndex(), 1);
    EXPECT_EQ(Zoom, 1);
    QTest::keyClick(display.get(), Qt::Key_Asterisk, Qt::ShiftModifier);
    EXPECT_EQ(Zoom, 2) << "Shift still types the characters that need it";
}
