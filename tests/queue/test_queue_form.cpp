// The queue editor's handlers, chk_list and its file browser.
#include "QueueFixture.h"

#include "queue/DriveComboBox.h"
#include "queue/FileListBox.h"
#include "queue/FilterComboBox.h"
#include "queue/StatusPanels.h"

#include <QPushButton>
#include <QTest>

namespace {

using QueueForm_ = QueueFixture;

TEST_F(QueueForm_, EnglishTextsAndStartStates)
{
    EXPECT_EQ(form->windowTitle(), "Queue");
    EXPECT_EQ(form->BtnAdd->text(), "Add  >");
    EXPECT_EQ(form->BtnDel->text(), "<  Remove");
    EXPECT_EQ(form->BtnAddAll->text(), "Add all  >>");
    EXPECT_EQ(form->BtnDelAll->text(), "<<  Rmv all");
    EXPECT_EQ(form->Button2->text(), "Cancel");
    EXPECT_EQ(form->Button1->text(), "OK");
    EXPECT_EQ(form->BtnLoad->toolTip(), "Import queue entries from file.");
    EXPECT_EQ(form->size(), QSize(482, 356));
    for (QWidget* w : {(QWidget*)form->BtnAdd, (QWidget*)form->BtnDel, (QWidget*)form->BtnAddAll,
                       (QWidget*)form->BtnDelAll, (QWidget*)form->BtnSave, (QWidget*)form->BtnAuf,
                       (QWidget*)form->BtnAb})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(form->BtnLoad->isEnabled());
    EXPECT_TRUE(form->isHidden());
    EXPECT_TRUE(form->ProgressBar1->isHidden());
}

TEST_F(QueueForm_, UpAndDownFollowTheSelection)
{
    Fill({"/a", "/b"}, 0);
    EXPECT_FALSE(form->BtnAuf->isEnabled());
    EXPECT_TRUE(form->BtnAb->isEnabled());
    EXPECT_TRUE(form->BtnSave->isEnabled());
    EXPECT_EQ(form->StatusBar1->PanelText(1), "2");

    form->ListBox1->setCurrentRow(1);
    EXPECT_TRUE(form->BtnAuf->isEnabled());
    EXPECT_FALSE(form->BtnAb->isEnabled());

    form->BitBtn1Click();
    EXPECT_EQ(Entries(), (QStringList{"/b", "/a"}));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    form->BitBtn1Click();  // already first: nothing moves
    EXPECT_EQ(Entries(), (QStringList{"/b", "/a"}));
    form->BtnAbClick();
    EXPECT_EQ(Entries(), (QStringList{"/a", "/b"}));
    EXPECT_EQ(form->ListBox1->currentRow(), 1);

    delete form->ListBox1->takeItem(0);
    form->chk_list();
    EXPECT_FALSE(form->BtnAuf->isEnabled());
    EXPECT_FALSE(form->BtnAb->isEnabled());
}

TEST_F(QueueForm_, RemoveSelectsTheNextOrLastAndTheOnlyEntryDisablesAll)
{
    Fill({"/a", "/b", "/c"}, 2);
    form->BtnDelAll->setEnabled(true);
    panel->ClearQueue1->setEnabled(true);

    form->BtnDelClick();
    EXPECT_EQ(Entries(), (QStringList{"/a", "/b"}));
    EXPECT_EQ(form->ListBox1->currentRow(), 1);

    form->ListBox1->setCurrentRow(0);
    form->BtnDelClick();
    EXPECT_EQ(Entries(), QStringList{"/b"});
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_TRUE(form->BtnDel->isEnabled());

    form->BtnDelClick();
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_FALSE(form->BtnDel->isEnabled());
    EXPECT_FALSE(form->BtnDelAll->isEnabled());
    EXPECT_FALSE(form->BtnSave->isEnabled());
    EXPECT_FALSE(panel->ClearQueue1->isEnabled());
    EXPECT_EQ(form->StatusBar1->PanelText(1), "0");
}

TEST_F(QueueForm_, RemovingThePlayingEntryMakesTheNextAdvanceSkipItsSuccessor)
{
    Fill({"/1", "/2", "/3", "/4"}, 1);
    QueueActive = 1;
    MediaOpen = 1;
    form->BtnDelClick();
    EXPECT_EQ(form->ListBox1->currentRow(), 1);  // "/3" took its place
    mci.clearSent();
    AdvanceQueue();
    EXPECT_TRUE(WasSent(OpenOf("/4")));
}

TEST_F(QueueForm_, AddTakesTheSelectedFileWithItsDirectory)
{
    MakeFile("clips/one.avi");
    MakeFile("clips/TWO.MPG");
    MakeFile("clips/notes.txt");
    form->FileListBox1->SetDirectory(dir.filePath("clips"));
    EXPECT_EQ(form->FileListBox1->count(), 2);  // the mask, without regard to case
    EXPECT_TRUE(form->BtnAddAll->isEnabled());
    EXPECT_FALSE(form->BtnAdd->isEnabled());

    form->BtnAddClick();  // nothing selected
    EXPECT_EQ(form->ListBox1->count(), 0);

    form->FileListBox1->setCurrentRow(1);
    EXPECT_TRUE(form->BtnAdd->isEnabled());
    form->BtnAddClick();
    form->FileListBox1DblClick();
    EXPECT_EQ(Entries(), (QStringList{dir.filePath("clips/TWO.MPG"), dir.filePath("clips/TWO.MPG")}));
    EXPECT_TRUE(form->BtnDelAll->isEnabled());
    EXPECT_EQ(form->StatusBar1->PanelText(1), "2");
    EXPECT_EQ(form->ListBox1->currentRow(), -1);  // adding does not move the selection
}

TEST_F(QueueForm_, AddAllStopsAtTheLimitWithOneMessage)
{
    for (int i = 0; i < 10; ++i)
        MakeFile(QStringLiteral("ten/f%1.avi").arg(i));
    form->FileListBox1->SetDirectory(dir.filePath("ten"));
    FillCount(32760);

    form->BtnAddAllClick();

    EXPECT_EQ(form->ListBox1->count(), QueueLimit);
    EXPECT_EQ(errors, QStringList{"Queue cannot take more than 32768 entries."});
    EXPECT_EQ(form->StatusBar1->PanelText(1), "32767");
    EXPECT_EQ(form->ListBox1->item(QueueLimit - 1)->text(), dir.filePath("ten/f6.avi"));
    EXPECT_EQ(form->FileListBox1->currentRow(), 7);  // the refused file was the last handled
    EXPECT_TRUE(form->BtnDelAll->isEnabled());
}

TEST_F(QueueForm_, AddAllAddsEveryFileInOrder)
{
    MakeFile("d/b.avi");
    MakeFile("d/a.avi");
    form->FileListBox1->SetDirectory(dir.filePath("d"));
    form->BtnAddAllClick();
    EXPECT_EQ(Entries(), (QStringList{dir.filePath("d/a.avi"), dir.filePath("d/b.avi")}));
    EXPECT_EQ(form->FileListBox1->currentRow(), 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(QueueForm_, ShowingTakesThePanelsFilterAndAllFilesMeansAll)
{
    MakeFile("f/a.xyz");
    MakeFile("f/b.avi");
    MakeFile("f/README");
    panel->OpenDialog1Filter = "Clips (*.xyz)|*.xyz|All Files (*.*)|*.*";
    form->FileListBox1->SetDirectory(dir.filePath("f"));
    form->show();
    EXPECT_EQ(form->FilterComboBox1->count(), 2);
    EXPECT_EQ(form->FileListBox1->Mask(), "*.xyz");
    EXPECT_EQ(form->FileListBox1->count(), 1);

    form->FilterComboBox1->setCurrentIndex(1);
    EXPECT_EQ(form->FileListBox1->count(), 3);
}

TEST_F(QueueForm_, UnreadableDriveSaysNotReadyAndReturnsToTheRoot)
{
    form->DriveComboBox1->SetDrives({"/", dir.filePath("no-such-mount")});
    form->DriveComboBox1->setCurrentIndex(1);
    form->DriveComboBox1Change();
    EXPECT_EQ(errors, QStringList{"Drive not ready"});
    EXPECT_EQ(form->DriveComboBox1->Drive(), "/");
    EXPECT_EQ(form->FileListBox1->Directory(), "/");
}

TEST_F(QueueForm_, OkWithEmptyListDoesNothingAndStaysOpen)
{
    form->show();
    form->Button1Click();
    EXPECT_TRUE(mci.sent().empty());
    EXPECT_FALSE(form->isHidden());
}

TEST_F(QueueForm_, OkStartsWithTheFirstAndDoubleClickWithTheSelected)
{
    Fill({"/v/a.avi", "/v/b.avi"}, 1);
    form->show();
    form->Button1Click();
    EXPECT_TRUE(WasSent(OpenOf("/v/a.avi")));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_TRUE(form->isHidden());

    mci.clearSent();
    form->ListBox1->setCurrentRow(1);
    form->ListBox1DblClick();
    EXPECT_TRUE(WasSent(OpenOf("/v/b.avi")));

    mci.clearSent();
    form->ListBox1->setCurrentRow(-1);
    form->ListBox1DblClick();
    EXPECT_TRUE(mci.sent().empty());
}

TEST_F(QueueForm_, EscEndsQueueModeAndHidesButKeepsTheList)
{
    Fill({"/v/a.avi", "/v/b.avi"}, 1);
    QueueActive = 1;
    panel->EndQueue1->setEnabled(true);
    form->show();

    QTest::keyClick(form->ListBox1, Qt::Key_Escape);

    EXPECT_EQ(QueueActive, 0);
    EXPECT_FALSE(panel->EndQueue1->isEnabled());
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(Entries(), (QStringList{"/v/a.avi", "/v/b.avi"}));
    EXPECT_EQ(form->ListBox1->currentRow(), 1);
}

TEST_F(QueueForm_, CloseBoxOnlyHides)
{
    Fill({"/v/a.avi"}, 0);
    QueueActive = 1;
    form->show();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(QueueActive, 1);
    EXPECT_EQ(form->ListBox1->count(), 1);
}

} // namespace
