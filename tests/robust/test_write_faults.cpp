// The queue export when the disk fills up or the folder refuses the write: the
// earlier file stays whole and the user is told.
#include "RobustFixture.h"

#include "../platform/Unwritable.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class ExportFaults : public RobustFixture {
protected:
    void SetUp() override
    {
        RobustFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        kql = dir.filePath(QStringLiteral("list.kql"));
        QFile old(kql);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(oldBytes);
        old.close();
        // Long enough that the new file cannot fit in the limit below.
        for (int i = 0; i < 200; ++i)
            form->ListBox1->addItem(QStringLiteral("/media/some/rather/long/folder/name/clip%1.avi").arg(i));
        form->SaveDialog1Execute = [this](QString& name) {
            name = kql;
            return true;
        };
    }

    QByteArray read() const
    {
        QFile f(kql);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    QTemporaryDir dir;
    QString kql;
    const QByteArray oldBytes = "/old/one.avi\r\n/old/two.avi\r\n";
};

TEST_F(ExportFaults, AFullDiskLeavesTheEarlierQueueFileWholeAndSaysSo)
{
    WithFullDisk(1024, [this] {
        form->BtnSaveClick();
        return true;
    });
    EXPECT_EQ(errors, QStringList{"Error saving the file " + kql});
    EXPECT_EQ(read().size(), oldBytes.size());
    EXPECT_EQ(read(), oldBytes);
    // No half-written temporary file is left next to it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.kql"});
}

TEST_F(ExportFaults, AFolderThatRefusesTheWriteLeavesTheFileWholeAndSaysSo)
{
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    const int told = AsUnprivilegedUser([this] {
        form->BtnSaveClick();
        return errors == QStringList{"Error saving the file " + kql} ? 0 : 1;
    });
    EXPECT_EQ(told, 0);
    EXPECT_EQ(read(), oldBytes);
}

} // namespace
