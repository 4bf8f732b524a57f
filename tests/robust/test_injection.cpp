// File names that look like MCI syntax. Either the player opens exactly that file
// under "vid", or it refuses the name with a message before anything is sent;
// a name never makes the service open a second file or another alias.
#include "RobustFixture.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

class HostileNames : public RobustFixture {
protected:
    // A playable copy of the good clip under `name` in its own folder.
    QString copyNamed(const QString& name)
    {
        const QString dir = keldtest::StampedClip::folder() + QStringLiteral("/names");
        QDir().mkpath(dir);
        const QString path = dir + QLatin1Char('/') + name;
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(BadMedia::goodClip(), path)) << name.toStdString();
        return path;
    }

    std::string ask(const std::string& command)
    {
        std::string reply;
        service->service.send(command, reply);
        return reply;
    }

    int openAliases() { return std::stoi("0" + ask("sysinfo all quantity open")); }
};

TEST_F(HostileNames, NamesWithKeywordsBlanksAndNonAsciiTextOpenAsExactlyThatFile)
{
    const QString names[] = {
        QStringLiteral("clip alias vid2.avi"),
        QStringLiteral("x alias vid type waveaudio.avi"),
        QStringLiteral("  two  blanks .avi"),
        QStringLiteral("Ünïcödé 日本語 клип.avi"),
        QStringLiteral("it's $(echo) & ; | .avi"),
        QStringLiteral("wait notify seek to end.avi"),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = copyNamed(name);
        service->sent.clear();
        errors.clear();
        openFromDialog(path);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(" | ").toStdString();
        ASSERT_EQ(MediaOpen, 1);
        EXPECT_EQ(service->countStartingWith("open "), 1);
        EXPECT_EQ(service->sent.at(0), ("open \"" + path + "\" alias vid").toStdString());
        EXPECT_EQ(ask("info vid file"), path.toStdString());
        EXPECT_EQ(FrameCount, BadMedia::goodClipFrames());
        EXPECT_EQ(openAliases(), 1);
        int result = 0;
        CloseMedia(result);
    }
}

TEST_F(HostileNames, NamesThatWouldBreakTheQuotingAreRefusedBeforeAnythingIsOpened)
{
    // Each of these, quoted as it is, would end the element early. The first makes
    // "open "<decoy>" type "mpegvideo" alias vid": a valid command that opens the
    // decoy, another file than the one chosen.
    const QString decoy = copyNamed(QStringLiteral("decoy.avi"));
    const QString names[] = {
        decoy + QStringLiteral("\" type \"mpegvideo"),
        decoy + QStringLiteral("\" alias w \""),
        QStringLiteral("a\"b.avi"),
        QStringLiteral("line\nbreak.avi"),
        QStringLiteral("carriage\rreturn.avi"),
        QStringLiteral("tab\tname.avi"),
        QStringLiteral("\".avi"),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name;
        service->sent.clear();
        errors.clear();
        openFromDialog(path);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QStringLiteral("double quote or a control character")));
        EXPECT_TRUE(errors.first().endsWith(path));
        EXPECT_EQ(service->countStartingWith("open"), 0);
        EXPECT_EQ(MediaOpen, 0);
        EXPECT_EQ(openAliases(), 0);
        expectUsable();
    }
}

TEST_F(HostileNames, ANameWhoseBytesAreNotUtf8IsExplainedNotReportedMissing)
{
    // "café.avi" written in Latin-1: the name Qt hands on has U+FFFD for the é.
    const QString dir = keldtest::StampedClip::folder() + QStringLiteral("/names");
    QDir().mkpath(dir);
    const QByteArray bytes = QFile::encodeName(dir) + QByteArray("/caf\xe9.avi");
    QFile source(BadMedia::goodClip());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray clip = source.readAll();
    FILE* raw = std::fopen(bytes.constData(), "wb");
    ASSERT_NE(raw, nullptr);
    ASSERT_EQ(std::fwrite(clip.constData(), 1, size_t(clip.size()), raw), size_t(clip.size()));
    std::fclose(raw);

    const QString seen = QFile::decodeName(bytes);
    ASSERT_TRUE(seen.contains(QChar(QChar::ReplacementCharacter)));
    service->sent.clear();
    errors.clear();
    openFromDialog(seen);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("not valid UTF-8")));
    EXPECT_EQ(service->countStartingWith("open"), 0);
    EXPECT_EQ(MediaOpen, 0);
    expectUsable();
    std::remove(bytes.constData());

    // A real name may hold U+FFFD itself: it opens.
    const QString odd = copyNamed(QStringLiteral("odd \uFFFD name.avi"));
    errors.clear();
    openFromDialog(odd);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(" | ").toStdString();
    EXPECT_EQ(MediaOpen, 1);
    int result = 0;
    CloseMedia(result);
}

TEST_F(HostileNames, AForcedDeviceNameFromAnEditedSettingsFileCannotAddKeywords)
{
    // "open <device>!"<file>" alias vid": a stored device name with blanks or quotes
    // would open the decoy under another alias, or with another type.
    const QString decoy = copyNamed(QStringLiteral("decoy.avi"));
    const QString devices[] = {
        QStringLiteral("avivideo alias w"),
        QStringLiteral("\"") + decoy + QStringLiteral("\" alias w type avivideo"),
        QStringLiteral("avivideo!x"),
        QStringLiteral("avi\tvideo"),
    };
    ForceDevice = 1;
    for (const QString& device : devices) {
        SCOPED_TRACE(device.toStdString());
        ForcedDevice = device;
        service->sent.clear();
        errors.clear();
        openFromDialog(BadMedia::goodClip());
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QStringLiteral("not a device name")));
        EXPECT_TRUE(errors.first().endsWith(device));
        EXPECT_EQ(service->countStartingWith("open"), 0);
        EXPECT_EQ(MediaOpen, 0);
        EXPECT_EQ(openAliases(), 0);
    }
    // A real device name still forces the device.
    ForcedDevice = QStringLiteral("avivideo");
    errors.clear();
    openFromDialog(BadMedia::goodClip());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(" | ").toStdString();
    EXPECT_EQ(MediaOpen, 1);
    EXPECT_EQ(service->countStartingWith("open avivideo!\""), 1);
    ForceDevice = 0;
    ForcedDevice.clear();
    int result = 0;
    CloseMedia(result);
    expectUsable();
}

TEST_F(HostileNames, ARefusedNameInTheQueueStopsOnlyThatEntry)
{
    const QString good = BadMedia::goodClip();
    const QStringList queue{good, QStringLiteral("/tmp/evil\" alias w \"x.avi"), good};
    playFromQueue(queue, 1);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(service->countStartingWith("open"), 0);
    EXPECT_EQ(entries(), queue);
    playFromQueue(queue, 2);
    EXPECT_EQ(MediaOpen, 1);
    EXPECT_EQ(openAliases(), 1);
}

} // namespace
