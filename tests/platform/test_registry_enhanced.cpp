#include "platform/RegistryEnhanced.h"

#include "ConfigHome.h"
#include "Unwritable.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>

#include <QScopeGuard>
#include <QTemporaryDir>

#include <climits>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts a process that writes the settings over and over, and kills it with
// SIGKILL once its first update is in: the next one is somewhere under way.
void KillWhileWriting(const QString& key)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        TRegistryEnhanced writer;
        writer.Key = key;
        for (int round = 0;; ++round) {
            writer.BeginUpdate();
            for (int v = 0; v < 20; ++v)
                writer.WriteValue(QStringLiteral("Value%1").arg(v), qint32(round));
            writer.EndUpdate();
            if (round == 0 && ::write(ready[1], "x", 1) != 1)
                ::_exit(1);
        }
    }
    ::close(ready[1]);
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
}

class RegistryStore : public ConfigHome {
protected:
    TRegistryEnhanced reg;
    void SetUp() override
    {
        ConfigHome::SetUp();
        reg.Key = QStringLiteral("Software\\Vantu\\ZORVEX\\");
    }
};

TEST_F(RegistryStore, PanelKeyLivesInVantuZorvexConfUnderTheConfigHome)
{
    EXPECT_EQ(reg.FileName(), confPath());
    reg.Key = QStringLiteral("\\Software\\Vantu\\ZORVEX");
    EXPECT_EQ(reg.FileName(), confPath());
    reg.WriteValue("Zoom", "2");
    EXPECT_TRUE(QFile::exists(confPath()));
}

TEST_F(RegistryStore, FirstRunReadsGiveTheEmptyResultNotTheDefaultAndCreateNothing)
{
    EXPECT_EQ(reg.ReadValue("WTimer", QString("10")), QString());
    EXPECT_EQ(reg.ReadValue("PanelX", qint32(-6)), 0);
    EXPECT_FALSE(QFile::exists(vantuDir()));
}

TEST_F(RegistryStore, ExistingKeyWithoutTheValueGivesTheDefault)
{
    writeConf("[General]\nOther=1\n");
    EXPECT_EQ(reg.ReadValue("WTimer", QString("10")), "10");
    EXPECT_EQ(reg.ReadValue("PanelX", qint32(-6)), -6);
    writeConf("");
    EXPECT_EQ(reg.ReadValue("WTimer", QString("10")), "10");
}

TEST_F(RegistryStore, TextAndIntegerAreKeptApartAndReadAcrossTypes)
{
    reg.WriteValue("AsText", "800");
    reg.WriteValue("AsInteger", qint32(800));
    EXPECT_EQ(reg.ReadValue("AsInteger", QString("d")), "800");
    EXPECT_EQ(reg.ReadValue("AsText", qint32(-1)), 800);
    const QByteArray file = readConf();
    EXPECT_TRUE(file.contains("AsText=800\n")) << file.constData();
    EXPECT_TRUE(file.contains("AsInteger=int32:800\n")) << file.constData();
}

TEST_F(RegistryStore, TextThatIsNoNumberReadAsIntegerGivesTheDefault)
{
    for (const char* text : {"abc", "", " 5", "5 ", "12x", "99999999999", "0x10"}) {
        reg.WriteValue("Counter", QString::fromLatin1(text));
        EXPECT_EQ(reg.ReadValue("Counter", qint32(-3)), -3) << text;
    }
    reg.WriteValue("Counter", "-2147483648");
    EXPECT_EQ(reg.ReadValue("Counter", qint32(0)), INT_MIN);
}

TEST_F(RegistryStore, EveryTextRoundTripsThroughTheFileEvenOnesLookingLikeOurIntegers)
{
    const QStringList texts{"int32:5", "int32:", "'", "''x", "'int32:7", "", " lead", "trail ", "a, b",
                            "@Variant(x)", "@@", "C:\\dir\\", "x=y", ";not a comment", "#neither",
                            "line\nbreak", "tab\there", "Ünïcödé €", "\"quoted\"", "%2F%25", "[Group]"};
    for (int i = 0; i < texts.size(); ++i)
        reg.WriteValue(QStringLiteral("T%1").arg(i), texts[i]);
    // Read from a copy under another name, so nothing can come from memory.
    ASSERT_TRUE(QFile::copy(confPath(), vantuDir() + "/Copy.conf"));
    TRegistryEnhanced copy;
    copy.Key = QStringLiteral("Software\\Vantu\\Copy");
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(copy.ReadValue(QStringLiteral("T%1").arg(i), QString("absent")), texts[i]) << i;
        if (texts[i].startsWith("int32:")) {
            EXPECT_EQ(copy.ReadValue(QStringLiteral("T%1").arg(i), qint32(-9)), -9) << i;
        }
    }
    // Earlier versions wrote the file through QSettings: it reads the same.
    {
        QSettings old(vantuDir() + "/Old.conf", QSettings::IniFormat);
        for (int i = 0; i < texts.size(); ++i) {
            const bool escaped = texts[i].startsWith("int32:") || texts[i].startsWith("'");
            old.setValue(QStringLiteral("T%1").arg(i), escaped ? "'" + texts[i] : texts[i]);
        }
        old.setValue("Queue/Recent/Last", "a.kql");
    }
    TRegistryEnhanced earlier;
    earlier.Key = QStringLiteral("Software\\Vantu\\Old");
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(earlier.ReadValue(QStringLiteral("T%1").arg(i), QString("absent")), texts[i]) << i;
    EXPECT_EQ(earlier.ReadValue("QUEUE\\recent\\Last", QString()), "a.kql");
}

TEST_F(RegistryStore, IntegersRoundTripAtTheirLimits)
{
    for (qint32 n : {qint32(0), qint32(-6), INT_MAX, INT_MIN}) {
        reg.WriteValue("N", n);
        EXPECT_EQ(reg.ReadValue("N", qint32(1)), n);
        EXPECT_EQ(reg.ReadValue("N", QString()), QString::number(n));
    }
}

TEST_F(RegistryStore, HandTypedValuesReadAsTextAndBrokenIntegersAsAbsent)
{
    writeConf("[General]\nWTimer=5\nPanelX=5\nZoom=a, b\nWCapCount=int32:many\n");
    EXPECT_EQ(reg.ReadValue("WTimer", QString("10")), "5");
    EXPECT_EQ(reg.ReadValue("PanelX", qint32(-6)), 5);
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), "1");   // a list: another type
    EXPECT_EQ(reg.ReadValue("WCapCount", qint32(7)), 7);
    EXPECT_EQ(reg.ReadValue("WCapCount", QString("d")), "d");
}

TEST_F(RegistryStore, NamesMatchWithoutRegardToCaseAndStayOneValue)
{
    reg.WriteValue("Loop", "ON");
    EXPECT_EQ(reg.ReadValue("LOOP", QString("OFF")), "ON");
    reg.WriteValue("LOOP", "OFF");
    EXPECT_EQ(reg.ReadValue("loop", QString("x")), "OFF");
    QSettings raw(confPath(), QSettings::IniFormat);
    EXPECT_EQ(raw.allKeys(), QStringList{"Loop"});
}

TEST_F(RegistryStore, WritingOverHandTypedSpellingsLeavesOneValue)
{
    writeConf("[General]\nloop=ON\nLOOP=OFF\nZoom=2\n");
    reg.WriteValue("Loop", "ON");
    QSettings raw(confPath(), QSettings::IniFormat);
    QStringList keys = raw.allKeys();
    keys.sort(Qt::CaseInsensitive);
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0].toLower(), "loop");
    EXPECT_EQ(raw.value(keys[0]).toString(), "ON");
    EXPECT_EQ(keys[1], "Zoom");
}

TEST_F(RegistryStore, BackslashesInNamesMakeSubKeysFoundWithoutRegardToCase)
{
    reg.WriteValue("Queue\\Recent\\Last", "a.kql");
    reg.WriteValue("Queue\\Count", qint32(3));
    EXPECT_EQ(reg.ReadValue("queue\\RECENT\\last", QString()), "a.kql");
    EXPECT_EQ(reg.ReadValue("QUEUE\\count", qint32(0)), 3);
    // The sub-key exists, the value does not: default. The sub-key does not: empty.
    EXPECT_EQ(reg.ReadValue("Queue\\Nothing", QString("d")), "d");
    EXPECT_EQ(reg.ReadValue("Other\\Nothing", QString("d")), QString());
    EXPECT_EQ(reg.ReadValue("Last", QString("d")), "d");
    // A slash is part of a name, not a separator.
    reg.WriteValue("a/b", "slash");
    EXPECT_EQ(reg.ReadValue("A/B", QString()), "slash");
    EXPECT_EQ(reg.ReadValue("a\\b", QString("d")), QString());
}

TEST_F(RegistryStore, RootsWithoutAStoreReadEmptyAndWriteNothing)
{
    reg.RootKey = hkLocalMachine;
    reg.WriteValue("Zoom", "2");
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), QString());
    EXPECT_FALSE(QFile::exists(vantuDir()));
    reg.RootKey = hkCurrentUser;
    reg.Key = QStringLiteral("Vantu");
    reg.WriteValue("Zoom", "2");
    EXPECT_FALSE(QFile::exists(vantuDir()));
}

TEST_F(RegistryStore, AnUpdateCommitsOnceAtItsEnd)
{
    writeConf("[General]\nZoom=1\n");
    const QByteArray before = readConf();
    QSignalSpy written(&reg, &TRegistryEnhanced::ValueWritten);
    reg.BeginUpdate();
    reg.WriteValue("Zoom", "3");
    reg.BeginUpdate();
    reg.WriteValue("WTimer", "4");
    EXPECT_TRUE(reg.EndUpdate());
    EXPECT_EQ(readConf(), before);                       // still the old file
    EXPECT_EQ(reg.ReadValue("ZOOM", QString()), "3");    // but the store sees it
    EXPECT_TRUE(reg.EndUpdate());
    EXPECT_EQ(written.count(), 2);
    TRegistryEnhanced fresh;
    fresh.Key = reg.Key;
    EXPECT_EQ(fresh.ReadValue("Zoom", QString()), "3");
    EXPECT_EQ(fresh.ReadValue("WTimer", QString()), "4");
    EXPECT_FALSE(reg.EndUpdate());                       // nothing left open
}

TEST_F(RegistryStore, UpdateOnAFirstRunReadsEmptyUntilSomethingIsWritten)
{
    reg.BeginUpdate();
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), QString());
    reg.WriteValue("Loop", "ON");
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), "1");
    EXPECT_TRUE(reg.EndUpdate());
}

TEST_F(RegistryStore, UpdateThatOnlyReadsLeavesTheFileAlone)
{
    reg.BeginUpdate();
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), QString());
    EXPECT_TRUE(reg.EndUpdate());
    EXPECT_FALSE(QFile::exists(vantuDir()));
    writeConf("[General]\nZoom=2\n");
    const QDateTime stamp = QFileInfo(confPath()).lastModified();
    QFile::setPermissions(confPath(), QFile::ReadOwner | QFile::ReadOther);
    reg.BeginUpdate();
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), "2");
    EXPECT_TRUE(reg.EndUpdate());
    EXPECT_EQ(QFileInfo(confPath()).lastModified(), stamp);
}

TEST_F(RegistryStore, FullDiskDuringTheCommitLeavesTheOldFileWhole)
{
    writeConf("[General]\nZoom=1\n");
    const QByteArray before = readConf();
    // A private temporary folder: other test programs running at the same time
    // make and remove working copies in the shared one.
    QTemporaryDir privateTemp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", privateTemp.path().toLocal8Bit());
    const auto restoreTmp = qScopeGuard([&savedTmp] {
        if (savedTmp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmp);
    });
    const auto leftovers = [] {
        return QDir(QDir::tempPath()).entryList({"keld-settings-*"}, QDir::Files | QDir::Hidden).size();
    };
    const auto before_leftovers = leftovers();
    // Room for the old file and its working copy, not for the new settings.
    const bool written = WithFullDisk(200, [this] {
        reg.BeginUpdate();
        for (int i = 0; i < 50; ++i)
            reg.WriteValue(QStringLiteral("Value%1").arg(i), QStringLiteral("some text to fill the disk"));
        return reg.EndUpdate();
    });
    EXPECT_FALSE(written);
    EXPECT_EQ(readConf(), before);
    EXPECT_EQ(QDir(vantuDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZORVEX.conf"});
    EXPECT_EQ(leftovers(), before_leftovers);
    // A later write starts from the file, not from what failed.
    reg.WriteValue("Other", "x");
    EXPECT_EQ(reg.ReadValue("Value0", QString("absent")), "absent");
    EXPECT_EQ(reg.ReadValue("Zoom", QString()), "1");
}

// One line the INI reader rejected used to stop every later write, silently, for
// good; and values of other programs came back re-encoded.
TEST_F(RegistryStore, UnreadableLinesCostNothingTheOriginalIsKeptAndForeignValuesStayByteForByte)
{
    const QByteArray original = "[General]\nZoom=2\nthis line has no equals sign\nWTimer=5\n# a comment\n"
                                "bin\x01\x02=ary\n[OtherProgram]\nName=Jos\xe9 \"quoted\", kept\n";
    writeConf(original);
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), "2");
    EXPECT_EQ(reg.ReadValue("WTimer", QString("10")), "5");

    testing::internal::CaptureStderr();
    reg.BeginUpdate();
    reg.WriteValue("Zoom", "3");
    const bool written = reg.EndUpdate();
    reg.WriteValue("Loop", "ON");   // the file is clean now: nothing more is kept or said
    const QString told = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_TRUE(written);
    EXPECT_EQ(readConf(confPath() + ".bad"), original);
    const QByteArray clean = readConf();
    EXPECT_TRUE(clean.contains("\nName=Jos\xe9 \"quoted\", kept\n")) << clean.constData();
    EXPECT_FALSE(clean.contains("equals") || clean.contains("comment") || clean.contains("ary"))
        << clean.constData();
    EXPECT_EQ(told.count(QStringLiteral("KELD32: ")), 1) << told.toStdString();
    EXPECT_TRUE(told.contains(confPath() + ".bad") && told.contains(QStringLiteral("line 3, 5, 6")))
        << told.toStdString();
    TRegistryEnhanced fresh;
    fresh.Key = reg.Key;
    EXPECT_EQ(fresh.ReadValue("Zoom", QString()), "3");
    EXPECT_EQ(fresh.ReadValue("WTimer", QString()), "5");
    EXPECT_EQ(fresh.ReadValue("LOOP", QString()), "ON");

    // A second broken file never replaces the original kept before.
    writeConf("Zoom=4\nbroken again\n");
    reg.WriteValue("Zoom", "1");
    EXPECT_EQ(readConf(confPath() + ".bad"), original);
    EXPECT_EQ(readConf(confPath() + ".bad.2"), QByteArray("Zoom=4\nbroken again\n"));
    EXPECT_EQ(fresh.ReadValue("Zoom", QString()), "1");
}

// The working copies lived in the temporary folder: each kill during a write left
// a full copy and a lock file there.
TEST_F(RegistryStore, NothingIsWrittenOutsideTheSettingsFolderAndKillsLeaveNothingBehind)
{
    QTemporaryDir privateTemp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", privateTemp.path().toLocal8Bit());
    const auto restoreTmp = qScopeGuard([&savedTmp] {
        if (savedTmp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmp);
    });
    const auto everything = [](const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    };
    writeConf("[General]\nZoom=1\n");
    reg.BeginUpdate();
    reg.WriteValue("Zoom", "2");
    EXPECT_TRUE(everything(privateTemp.path()).isEmpty()) << everything(privateTemp.path()).join(' ').toStdString();
    EXPECT_EQ(everything(vantuDir()), QStringList{"ZORVEX.conf"});
    EXPECT_TRUE(reg.EndUpdate());

    for (int round = 0; round < 20; ++round)
        KillWhileWriting(reg.Key);
    EXPECT_EQ(everything(vantuDir()), QStringList{"ZORVEX.conf"});
    EXPECT_TRUE(everything(privateTemp.path()).isEmpty());
    EXPECT_EQ(reg.ReadValue("Zoom", QString()), "2");
    EXPECT_NE(reg.ReadValue("Value19", qint32(-1)), -1);
}

TEST_F(RegistryStore, ReadOnlyFolderKeepsTheOldFileAndNothingCrashes)
{
    writeConf("[General]\nZoom=1\n");
    const QByteArray before = readConf();
    QFile::setPermissions(vantuDir(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const int result = AsUnprivilegedUser([this] {
        reg.BeginUpdate();
        reg.WriteValue("Zoom", "3");
        reg.WriteValue("New", qint32(5));
        const bool written = reg.EndUpdate();
        reg.WriteValue("Zoom", "4");                      // committed on its own
        // Neither the failed update nor the failed single write may show later.
        return !written && reg.ReadValue("Zoom", QString()) == "1"
                       && reg.ReadValue("New", qint32(-1)) == -1 ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readConf(), before);
}

TEST_F(RegistryStore, KeyThatCannotBeCreatedIsSkippedSilently)
{
    QFile blocker(vantuDir());               // a file where the folder must go
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    reg.WriteValue("Zoom", "3");
    reg.BeginUpdate();
    reg.WriteValue("Zoom", "3");
    EXPECT_FALSE(reg.EndUpdate());
    EXPECT_EQ(reg.ReadValue("Zoom", QString("1")), QString());
}

} // namespace
