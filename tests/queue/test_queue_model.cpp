// The queue list, its limit, queue play and its advance at the end of a medium.
#include "QueueFixture.h"

#include <QPushButton>
#include <QTimer>

namespace {

class QueueModel : public QueueFixture {
protected:
    // Queue play of `entries` from `selected`, with the current entry open.
    void Playing(const QStringList& entries, int selected)
    {
        Fill(entries, selected);
        MediaOpen = 1;
        QueueActive = 1;
        panel->ShQueue->show();
        panel->EndQueue1->setEnabled(true);
        ThePlayer().Transition(TransportState::Playing);
        mci.clearSent();
    }

    void LoopOnButton(bool on)
    {
        panel->BtnLoop1->setEnabled(on);
    }
};

TEST_F(QueueModel, LimitIs32767EntriesAndTheRefusalSaysSo)
{
    FillCount(QueueLimit - 1);
    EXPECT_TRUE(AddQueueEntry("/last.avi"));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(form->ListBox1->count(), QueueLimit);

    EXPECT_FALSE(AddQueueEntry("/one-more.avi"));
    EXPECT_EQ(errors, QStringList{"Queue cannot take more than 32768 entries."});
    EXPECT_EQ(form->ListBox1->count(), QueueLimit);
    EXPECT_EQ(form->ListBox1->item(QueueLimit - 1)->text(), "/last.avi");
}

TEST_F(QueueModel, ClearEmptiesListAndDisablesButtonsButKeepsQueueMode)
{
    Playing({"/a.avi", "/b.avi"}, 1);
    form->BtnDel->setEnabled(true);
    form->BtnDelAll->setEnabled(true);
    panel->ClearQueue1->setEnabled(true);

    ClearQueueList();

    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_FALSE(form->BtnDel->isEnabled());
    EXPECT_FALSE(form->BtnDelAll->isEnabled());
    EXPECT_FALSE(form->BtnSave->isEnabled());
    EXPECT_FALSE(panel->ClearQueue1->isEnabled());
    EXPECT_EQ(QueueActive, 1);
    EXPECT_EQ(QueueCaptionSuffix(), "     -     Nr.:  0 / 0");
}

TEST_F(QueueModel, StartPlaysTheEntryInQueueMode)
{
    Fill({"/v/a.avi", "/v/b.avi"}, -1);
    MediaOpen = 1;
    form->show();

    StartQueuePlay(1);

    EXPECT_EQ(form->ListBox1->currentRow(), 1);
    EXPECT_EQ(MediaPath, "/v/b.avi");
    EXPECT_EQ(MediaName, "B.AVI");
    const long close = IndexOf("close vid");
    const long open = IndexOf(OpenOf("/v/b.avi"));
    const long play = IndexOf("play vid");
    EXPECT_TRUE(close >= 0 && close < open && open < play);
    EXPECT_EQ(QueueActive, 1);
    EXPECT_EQ(::Playing, 1);
    EXPECT_FALSE(panel->ShQueue->isHidden());
    EXPECT_TRUE(panel->EndQueue1->isEnabled());
    EXPECT_TRUE(panel->ClearQueue1->isEnabled());
    EXPECT_TRUE(form->isHidden());
}

TEST_F(QueueModel, StartWithFailedOpenClosesMediumAndEditorAndKeepsQueueMode)
{
    Fill({"/v/gone.avi"}, -1);
    mci.answer(OpenOf("/v/gone.avi"), {"", 275});
    QueueActive = 1;
    form->show();

    StartQueuePlay(0);

    EXPECT_EQ(mciErrors.size(), 1);
    EXPECT_EQ(mci.sent().back(), "close vid");
    EXPECT_FALSE(WasSent("play vid"));
    EXPECT_EQ(QueueActive, 1);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(Entries(), QStringList{"/v/gone.avi"});
}

TEST_F(QueueModel, StartOutsideTheListDoesNothing)
{
    Fill({"/v/a.avi"}, 0);
    StartQueuePlay(1);
    StartQueuePlay(-1);
    EXPECT_TRUE(mci.sent().empty());
    EXPECT_EQ(QueueActive, 0);
}

TEST_F(QueueModel, AdvanceOpensTheNextEntryWithOnlyCloseVidAndRestarts)
{
    Playing({"/v/a.avi", "/v/b.avi", "/v/c.avi"}, 0);

    EXPECT_TRUE(AdvanceQueue());

    EXPECT_EQ(form->ListBox1->currentRow(), 1);
    EXPECT_EQ(MediaName, "B.AVI");
    const Commands& sent = mci.sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "close vid");
    EXPECT_EQ(sent[1], OpenOf("/v/b.avi"));
    const long seek = IndexOf("seek vid to start");
    EXPECT_GT(seek, 1);
    EXPECT_GT(IndexOf("play vid"), seek);
    EXPECT_EQ(mci.count("close vid"), 1u);
    EXPECT_EQ(QueueActive, 1);
    EXPECT_EQ(QueueCaptionSuffix(), "     -     Nr.:  2 / 3");
}

TEST_F(QueueModel, SelectionChangedDuringPlayDecidesTheNextEntry)
{
    Playing({"/1", "/2", "/3", "/4", "/5", "/6", "/7"}, 1);
    form->ListBox1->setCurrentRow(4);  // the user picks the fifth entry

    EXPECT_TRUE(AdvanceQueue());

    EXPECT_TRUE(WasSent(OpenOf("/6")));
    EXPECT_EQ(QueueCaptionSuffix(), "     -     Nr.:  6 / 7");
}

TEST_F(QueueModel, LastEntryWithLoopWrapsToTheFirst)
{
    Playing({"/v/a.avi", "/v/b.avi"}, 1);
    LoopOnButton(true);

    EXPECT_TRUE(AdvanceQueue());

    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_EQ(mci.sent().at(0), "close vid");
    EXPECT_EQ(mci.sent().at(1), OpenOf("/v/a.avi"));
    EXPECT_TRUE(WasSent("seek vid to start"));
    EXPECT_EQ(QueueActive, 1);
}

TEST_F(QueueModel, OneEntryWithLoopIsReopenedEveryTime)
{
    Playing({"/v/only.avi"}, 0);
    LoopOnButton(true);

    EXPECT_TRUE(AdvanceQueue());
    EXPECT_TRUE(AdvanceQueue());

    EXPECT_EQ(mci.count(OpenOf("/v/only.avi")), 2u);
    EXPECT_EQ(mci.count("close vid"), 2u);
    EXPECT_EQ(mci.count("set vid time format frames"), 2u);
}

TEST_F(QueueModel, LastEntryWithoutLoopEndsQueueModeAndStops)
{
    Playing({"/v/a.avi", "/v/b.avi"}, 1);
    LoopOnButton(false);

    EXPECT_TRUE(AdvanceQueue());

    EXPECT_EQ(QueueActive, 0);
    EXPECT_TRUE(panel->ShQueue->isHidden());
    EXPECT_FALSE(panel->EndQueue1->isEnabled());
    EXPECT_EQ(::Playing, 0);
    EXPECT_FALSE(WasSent("close vid"));
    EXPECT_FALSE(panel->ProgramEndRequested);
    EXPECT_EQ(form->ListBox1->currentRow(), 1);
}

TEST_F(QueueModel, EmptiedListLeavesQueueModeEvenWithLoop)
{
    Playing({"/v/a.avi"}, 0);
    form->ListBox1->clear();
    LoopOnButton(true);

    EXPECT_TRUE(AdvanceQueue());

    EXPECT_EQ(QueueActive, 0);
    EXPECT_FALSE(WasSent("close vid"));
}

TEST_F(QueueModel, CommandLineQueueEndsProgramUnlessTheSavedLoopWasOn)
{
    // The start-up queue holds CommandLoop on over the user's own value.
    Playing({"/v/a.avi"}, 0);
    CommandLineDone = 1;
    CommandLoop = 1;
    SavedCommandLoop = 0;
    CommandLoopHeld = 1;
    EXPECT_FALSE(AdvanceQueue());
    EXPECT_TRUE(panel->ProgramEndRequested);
    EXPECT_EQ(CommandLoop, 0);
    EXPECT_EQ(CommandLoopHeld, 0);

    panel->ProgramEndRequested = false;
    Playing({}, 0);
    CommandLoop = 1;
    SavedCommandLoop = 1;
    CommandLoopHeld = 1;
    EXPECT_FALSE(AdvanceQueue());
    EXPECT_FALSE(panel->ProgramEndRequested);
    EXPECT_EQ(CommandLoop, 1);
    EXPECT_EQ(QueueActive, 0);
}

TEST_F(QueueModel, AnyOtherQueueInCommandModeLeavesTheUsersCommandLoopAlone)
{
    Playing({"/v/a.avi"}, 0);
    CommandLineDone = 1;
    CommandLoop = 1; // the setting, with a single file on the command line
    EXPECT_FALSE(AdvanceQueue());
    EXPECT_FALSE(panel->ProgramEndRequested);
    EXPECT_EQ(CommandLoop, 1) << "nothing was held, so nothing is given back";
}

TEST_F(QueueModel, FailedOpenMidQueueEndsQueueModeAndTriesNoFurtherEntry)
{
    Playing({"/v/a.avi", "/v/bad.avi", "/v/c.avi"}, 0);
    mci.answer(OpenOf("/v/bad.avi"), {"", 296});

    EXPECT_FALSE(AdvanceQueue());

    EXPECT_EQ(QueueActive, 0);
    EXPECT_EQ(MediaOpen, 0);
    EXPECT_EQ(form->ListBox1->currentRow(), 1);
    EXPECT_FALSE(WasSent(OpenOf("/v/c.avi")));
    EXPECT_FALSE(WasSent("seek vid to start"));
    EXPECT_EQ(mciErrors.size(), 1);
}

TEST_F(QueueModel, PositionPollAtTheEndOfAMediumAdvancesAndShowsTheNumber)
{
    Playing({"/v/a.avi", "/v/b.avi"}, 0);
    MediaName = "A.AVI";
    PreviousFrame = 99;
    mci.answer("status vid position", {"99", 0});
    mci.answer("status vid length", {"200", 0});

    panel->Timer1Timer();

    EXPECT_TRUE(WasSent(OpenOf("/v/b.avi")));
    EXPECT_TRUE(panel->windowTitle().endsWith("     -     Nr.:  2 / 2"));
}

TEST_F(QueueModel, CaptionSuffixWithoutSelectionShowsZero)
{
    Fill({"/a", "/b", "/c"}, -1);
    EXPECT_EQ(QueueCaptionSuffix(), "     -     Nr.:  0 / 3");
}

} // namespace
