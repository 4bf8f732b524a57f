// Queue files: the bytes written, the line ends read, and the load with its
// status texts, skipped count and limit; the start-up queue that uses it.
#include "FifoWriter.h"
#include "QueueFixture.h"

#include "queue/QueueFile.h"
#include "queue/StartupQueue.h"
#include "queue/StatusPanels.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <climits>

namespace {

class QueueFile_ : public QueueFixture {
protected:
    QByteArray ReadBytes(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    void ChooseForSave(const QString& path)
    {
        form->SaveDialog1Execute = [path](QString& name) { name = path; return true; };
    }

    void ChooseForOpen(const QString& path)
    {
        form->OpenDialog1Execute = [path](QString& name) { name = path; return true; };
    }
};

TEST_F(QueueFile_, ExportWritesEveryPathWithCrLfAndImportGivesTheSameList)
{
    const QString a = MakeFile("v/A.AVI");
    const QString b = MakeFile("v/b clip.mpg");
    Fill({a, b}, 1);
    const QString kql = dir.filePath("list.kql");
    ChooseForSave(kql);

    form->BtnSaveClick();

    EXPECT_EQ(ReadBytes(kql), (a + "\r\n" + b + "\r\n").toUtf8());
    EXPECT_TRUE(messages.isEmpty());

    form->ListBox1->clear();
    ChooseForOpen(kql);
    form->BtnLoadClick();
    EXPECT_EQ(Entries(), (QStringList{a, b}));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_TRUE(form->BtnDel->isEnabled());
    EXPECT_TRUE(form->BtnDelAll->isEnabled());
}

TEST_F(QueueFile_, CancelledDialogsChangeNothing)
{
    Fill({"/a"}, 0);
    form->SaveDialog1Execute = [](QString&) { return false; };
    form->OpenDialog1Execute = [](QString&) { return false; };
    form->BtnSaveClick();
    form->BtnLoadClick();
    EXPECT_EQ(Entries(), QStringList{"/a"});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(QueueFile_, AnyLineEndReadsTheSameAndZeroEndsTheText)
{
    const QStringList expected{"/a/x.avi", "/b/y.avi", "/c/z.avi"};
    EXPECT_EQ(ParseQueueText("/a/x.avi\r\n/b/y.avi\r\n/c/z.avi\r\n"), expected);
    EXPECT_EQ(ParseQueueText("/a/x.avi\n/b/y.avi\n/c/z.avi\n"), expected);
    EXPECT_EQ(ParseQueueText("/a/x.avi\r/b/y.avi\r/c/z.avi\r"), expected);
    EXPECT_EQ(ParseQueueText("/a/x.avi\r\n/b/y.avi\n/c/z.avi"), expected);  // last line without an end
    EXPECT_EQ(ParseQueueText(QByteArray("/a/x.avi\r\n/b/y.avi\r\n/c/z.avi\r\n\0/d/w.avi\r\n", 40)), expected);
    EXPECT_EQ(ParseQueueText("/a\r\n\r\n/b\r\n"), (QStringList{"/a", "", "/b"}));
    EXPECT_EQ(ParseQueueText(" /blank \r\n"), QStringList{" /blank "});
    EXPECT_TRUE(ParseQueueText("").isEmpty());
}

TEST_F(QueueFile_, EmptyFileAddsNothingAndLeavesNoBusyState)
{
    const QString kql = MakeFile("empty.kql", QByteArray());
    EXPECT_EQ(LoadQueueFile(kql), TQueueLoad::Completed);
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->StatusBar1->PanelText(0), "");
    EXPECT_EQ(form->StatusBar1->PanelText(1), "0");
    EXPECT_TRUE(form->ProgressBar1->isHidden());
}

TEST_F(QueueFile_, ImportAppendsAndSelectsTheFirstEntry)
{
    const QString a = MakeFile("a.avi");
    const QString kql = MakeFile("one.kql", (a + "\n").toUtf8());
    Fill({"/old/1", "/old/2"}, 1);
    EXPECT_EQ(LoadQueueFile(kql), TQueueLoad::Completed);
    EXPECT_EQ(Entries(), (QStringList{"/old/1", "/old/2", a}));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_EQ(form->StatusBar1->PanelText(1), "3");
    EXPECT_TRUE(form->ListBox2.isEmpty());
}

TEST_F(QueueFile_, MissingFilesEmptyLinesAndDirectoriesAreSkippedAndCounted)
{
    const QString a = MakeFile("a.avi");
    const QString b = MakeFile("b.avi");
    const QByteArray text = (a + "\r\n" + dir.filePath("gone.avi") + "\r\n\r\n" + dir.path() + "\r\n" + b
                             + "\r\n")
                                .toUtf8();
    EXPECT_EQ(LoadQueueFile(MakeFile("mixed.kql", text)), TQueueLoad::Completed);
    EXPECT_EQ(Entries(), (QStringList{a, b}));
    EXPECT_EQ(messages, QStringList{"3 missing files were skipped."});
}

TEST_F(QueueFile_, BytesThatAreNotUtf8DoNotBreakTheLoad)
{
    const QString a = MakeFile(QString::fromUtf8("vid\xc3\xa9o.avi"));
    const QByteArray text = QByteArray("/x/\xff\xfe\x80.avi\r\n") + a.toUtf8() + "\r\n";
    EXPECT_EQ(LoadQueueFile(MakeFile("latin.kql", text)), TQueueLoad::Completed);
    EXPECT_EQ(Entries(), QStringList{a});
    EXPECT_EQ(messages, QStringList{"1 missing files were skipped."});
}

TEST_F(QueueFile_, LimitStopsTheLoadOnceWithoutTheSkippedCount)
{
    QByteArray text = (dir.filePath("gone.avi") + "\r\n").toUtf8();
    for (int i = 0; i < 10; ++i)
        text += (MakeFile(QStringLiteral("f%1.avi").arg(i)) + "\r\n").toUtf8();
    FillCount(32760);
    form->ListBox1->setCurrentRow(5);

    EXPECT_EQ(LoadQueueFile(MakeFile("big.kql", text)), TQueueLoad::StoppedAtLimit);

    EXPECT_EQ(form->ListBox1->count(), QueueLimit);
    EXPECT_EQ(form->ListBox1->item(QueueLimit - 1)->text(), dir.filePath("f6.avi"));
    EXPECT_EQ(errors, QStringList{"Queue cannot take more than 32768 entries."});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(form->BtnDelAll->isEnabled());
    EXPECT_EQ(form->ListBox1->currentRow(), 5);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(form->ProgressBar1->isHidden());
    EXPECT_EQ(form->StatusBar1->PanelText(1), "32767");
}

TEST_F(QueueFile_, UnreadableFileIsReportedAndTheListStays)
{
    Fill({"/a"}, 0);
    ChooseForOpen(dir.filePath("no-such.kql"));
    form->BtnLoadClick();
    ChooseForOpen(dir.path());
    form->BtnLoadClick();
    EXPECT_EQ(messages, (QStringList{"Error loading the file " + dir.filePath("no-such.kql"),
                                     "Error loading the file " + dir.path()}));
    EXPECT_EQ(Entries(), QStringList{"/a"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A FIFO held the user-interface thread in open() for ever, and a link to
// /dev/zero grew the memory until the program died: only a regular file of at
// most a full queue of the longest paths is read.
TEST_F(QueueFile_, AQueueFileThatIsNoRegularFileOrTooLongIsRefusedAtOnce)
{
    const QString a = MakeFile("a.avi");
    const QString fifo = dir.filePath("fifo.kql");
    const FifoWriter writer(fifo, (a + "\r\n").toUtf8());
    ASSERT_TRUE(writer.ok());
    const QString device = dir.filePath("device.kql");
    ASSERT_TRUE(QFile::link("/dev/null", device));
    const QString huge = dir.filePath("huge.kql");
    {
        QFile file(huge);   // sparse: no disk is used for its length
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(QueueLimit) * (PATH_MAX + 2) + 1));
    }

    for (const QString& path : {fifo, device, huge}) {
        MediaPath = path;
        StartupQueueTimer();
    }
    EXPECT_EQ(messages, (QStringList{"Error loading the file " + fifo, "Error loading the file " + device,
                                     "Error loading the file " + huge}));
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_TRUE(mci.sent().empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QueueFile_, FailedExportIsReportedAndAnEarlierFileStaysWhole)
{
    Fill({"/a"}, 0);
    const QString nowhere = dir.filePath("no-dir/list.kql");
    ChooseForSave(nowhere);
    form->BtnSaveClick();
    EXPECT_EQ(messages, QStringList{"Error saving the file " + nowhere});

    // A name holding a line end would come back as two entries: refused, not written.
    messages.clear();
    const QString kql = MakeFile("keep.kql", "/old\r\n");
    form->ListBox1->addItem("/bad\nname.avi");
    ChooseForSave(kql);
    form->BtnSaveClick();
    EXPECT_EQ(messages, QStringList{"Error saving the file " + kql});
    EXPECT_EQ(ReadBytes(kql), QByteArray("/old\r\n"));
}

TEST_F(QueueFile_, EmptyListExportsZeroBytes)
{
    const QString kql = dir.filePath("none.kql");
    EXPECT_TRUE(WriteQueueFile(kql, {}));
    EXPECT_EQ(QFileInfo(kql).size(), 0);
}

TEST_F(QueueFile_, StartupQueueFromTheDisplayTimerPlaysTheFirstEntry)
{
    const QString a = MakeFile("a.avi");
    const QString b = MakeFile("b.avi");
    MediaPath = MakeFile("start.KQL", (a + "\r\n" + b + "\r\n").toUtf8());
    display->Timer1->start(1000);

    QMetaObject::invokeMethod(display->Timer1, "timeout");

    EXPECT_FALSE(display->Timer1->isActive());
    EXPECT_EQ(Entries(), (QStringList{a, b}));
    EXPECT_TRUE(WasSent(OpenOf(a)));
    EXPECT_TRUE(WasSent("play vid"));
    EXPECT_EQ(QueueActive, 1);
    EXPECT_TRUE(form->isHidden());
}

TEST_F(QueueFile_, StartupQueueThatCannotBeReadSaysSoAndPlaysNothing)
{
    MediaPath = dir.filePath("missing.kql");
    StartupQueueTimer();
    EXPECT_EQ(messages, QStringList{"Error loading the file " + MediaPath});
    EXPECT_TRUE(mci.sent().empty());
}

TEST_F(QueueFile_, StartupQueueStoppedAtTheLimitPlaysNothing)
{
    FillCount(QueueLimit);
    MediaPath = MakeFile("start.kql", (MakeFile("a.avi") + "\r\n").toUtf8());
    StartupQueueTimer();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(mci.sent().empty());
    EXPECT_EQ(QueueActive, 0);
}

TEST_F(QueueFile_, ARequestDuringALoadIsLeftOutOrDeferredButNeverReportedAsAnError)
{
    const QString a = MakeFile("a.avi");
    const QString list = MakeFile("list.kql", (a + "\r\n").toUtf8());
    ChooseForOpen(list);
    MediaPath = list;
    bool importEnabled = true;
    // The load's first pump runs these, as a second press of Import and the
    // start-up queue's timer would.
    QTimer::singleShot(0, form.get(), [&] {
        importEnabled = form->BtnLoad->isEnabled();
        form->BtnLoadClick();
        StartupQueueTimer();
    });
    form->BtnLoadClick();
    EXPECT_FALSE(importEnabled);
    EXPECT_TRUE(form->BtnLoad->isEnabled());
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_EQ(Entries(), QStringList{a});
    EXPECT_TRUE(mci.sent().empty());

    ASSERT_TRUE(display->Timer1->isActive()) << "the start-up queue tries again";
    QMetaObject::invokeMethod(display->Timer1, "timeout");
    EXPECT_EQ(Entries(), (QStringList{a, a}));
    EXPECT_TRUE(WasSent(OpenOf(a)));
}

} // namespace
