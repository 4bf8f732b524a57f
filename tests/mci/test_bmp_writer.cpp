// Captured frames on disk: a failed write keeps the earlier file whole, and only a
// regular file or a new name is ever written.
#include "mci/BmpWriter.h"

#include "../platform/Unwritable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

class BmpFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static QImage picture()
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 30));
        return image;
    }

    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    void writeOld(const QString& file) const
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }

    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    const QByteArray old = "an earlier capture";
};

// The buffered write used to lose the error of its last flush: a full disk left a
// 0-byte file in place of the earlier one, and the capture reported success.
TEST_F(BmpFiles, AFullDiskFailsAndKeepsTheEarlierFileWhole)
{
    const QString file = path("wcap0001.bmp");
    writeOld(file);
    const bool written = WithFullDisk(1000, [&] { return mci::BmpWriter::write(picture(), file); });
    EXPECT_FALSE(written);
    EXPECT_EQ(read(file), old);
    EXPECT_EQ(files(), QStringList{"wcap0001.bmp"}) << "no temporary file is left";

    ASSERT_TRUE(mci::BmpWriter::write(picture(), file));
    EXPECT_EQ(QImage(file).pixel(5, 5), qRgb(10, 200, 30));
}

// A FIFO, a device node, or a link to one, was replaced by a regular file (as root
// that would have been /dev/null). A link to nothing would make a file elsewhere.
TEST_F(BmpFiles, OnlyARegularFileOrANewNameIsWritten)
{
    const QString fifo = path("fifo.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(fifo, path("to-fifo.bmp")));
    ASSERT_TRUE(QFile::link(path("nothing-here"), path("dangling.bmp")));
    const QString node = path("null.bmp");
    const bool haveNode = ::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (haveNode) {   // mknod needs root
        ASSERT_TRUE(QFile::link(node, path("to-node.bmp")));
    }

    for (const char* name : {"fifo.bmp", "to-fifo.bmp", "dangling.bmp", "null.bmp", "to-node.bmp"}) {
        EXPECT_FALSE(mci::BmpWriter::write(picture(), path(name))) << name;
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (haveNode) {
        ASSERT_EQ(::stat(QFile::encodeName(node).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    EXPECT_FALSE(QFileInfo::exists(path("nothing-here")));

    // A regular file behind a link is replaced through it; the link stays a link.
    writeOld(path("real.bmp"));
    ASSERT_TRUE(QFile::link(path("real.bmp"), path("to-real.bmp")));
    EXPECT_TRUE(mci::BmpWriter::write(picture(), path("to-real.bmp")));
    EXPECT_TRUE(QFileInfo(path("to-real.bmp")).isSymLink());
    EXPECT_EQ(QImage(path("real.bmp")).size(), QSize(64, 48));
    EXPECT_TRUE(mci::BmpWriter::write(picture(), path("new.bmp")));
    EXPECT_EQ(QImage(path("new.bmp")).size(), QSize(64, 48));
}

} // namespace
