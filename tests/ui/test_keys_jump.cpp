#include "test_keys_fixture.h"

#include <QTimer>

using KeyJump = KeysFixture;

TEST_F(KeyJump, ForwardJumpChecksTheLandingAndEndsStopped)
{
    Ready();
    panel->BtnPlay->click();
    panel->Timer2->start();
    CurrentFrame = 200;
    mci.answerOnce("status vid position", {"350"}); // 250 + 100: not strictly within
    mci.answerOnce("status vid position", {"350"}); // 251 + 99
    mci.clearSent();
    Char('3');
    EXPECT_EQ(Sent(), Commands({"pause vid", "seek vid to 250", "status vid position", "pause vid",
                                "seek vid to 251", "status vid position"}));
    EXPECT_EQ(CurrentFrame, 251);
    EXPECT_EQ(JumpBusy, 0);
    EXPECT_EQ(Playing, 0);
    EXPECT_TRUE(panel->Timer1->isActive());
    EXPECT_FALSE(panel->Timer2->isActive());
}

TEST_F(KeyJump, BackJumpStartsAtFrameOneAndNudgesTwentyTimesWithoutLowerBound)
{
    Ready();
    CurrentFrame = 30;
    mci.answer("status vid position", {"500"});
    Char('9');
    const Commands sent = Sent();
    ASSERT_EQ(sent.size(), 60u) << "20 tries of three commands";
    EXPECT_EQ(sent[1], "seek vid to 1");
    EXPECT_EQ(sent[58], "seek vid to -18");
    EXPECT_EQ(CurrentFrame, -18) << "the last frame asked for";
}

TEST_F(KeyJump, MovFilesDoNothingAndABusyFlagIsOnlyCleared)
{
    Ready(1000, 1, "CLIP.MOV");
    Char('3');
    Ready();
    JumpBusy = 1;
    Char('9');
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(JumpBusy, 0);
}

TEST_F(KeyJump, APositionThatIsNoNumberIsReportedAndLeavesTheJumpFinished)
{
    Ready();
    CurrentFrame = 100;
    mci.answerOnce("status vid position", {"not ready"});
    Char('3');
    EXPECT_EQ(Sent(), Commands({"pause vid", "seek vid to 150", "status vid position"}));
    EXPECT_EQ(messages, QStringList({QStringLiteral("'not ready' is not a valid integer value")}));
    EXPECT_EQ(JumpBusy, 0);
    EXPECT_TRUE(panel->Timer1->isActive());

    mci.answer("status vid position", {"200"});
    mci.clearSent();
    Char('3');
    EXPECT_EQ(mci.count("seek vid to 200"), 1u) << "the next key jumps instead of clearing a stuck guard";
}
