#include "mci/MciExtensionTable.h"
#include "mci/MciService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace mci;

namespace {

// Points XDG_CONFIG_HOME at a fresh directory for one test and restores it after.
class ConfigHome : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    bool hadSaved = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }
    void TearDown() override
    {
        if (hadSaved)
            qputenv("XDG_CONFIG_HOME", saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    void writeIni(const QByteArray& text)
    {
        QDir().mkpath(dir.path() + "/Vantu");
        QFile file(dir.path() + "/Vantu/win.ini");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static std::vector<std::string> keys(const MciExtensionTable& table)
    {
        std::vector<std::string> out;
        for (const auto& entry : table.entries())
            out.push_back(entry.extension + "=" + entry.device);
        return out;
    }
};

} // namespace

TEST_F(ConfigHome, FileSectionIsReadInOrderWithCommentsAndOtherSectionsIgnored)
{
    writeIni("\xEF\xBB\xBF[fonts]\r\navi=wrong\r\n"
             "[MCI Extensions]\r\n; bound by hand\r\navi=AVIVideo\r\n  mpg = MPEGVideo \r\n"
             "not a pair\r\nwav=waveaudio\r\n"
             "[drivers]\r\nmov=wrong\r\n");
    EXPECT_EQ(MciExtensionTable::iniPath(), dir.path().toStdString() + "/Vantu/win.ini");
    const MciExtensionTable table = MciExtensionTable::load();
    EXPECT_EQ(keys(table), (std::vector<std::string>{"avi=AVIVideo", "mpg=MPEGVideo", "wav=waveaudio"}));
    EXPECT_EQ(table.deviceFor("MPG"), "MPEGVideo");
    EXPECT_EQ(table.deviceFor("mov"), "");
}

TEST_F(ConfigHome, FileWithoutTheSectionGivesAnEmptyTable)
{
    writeIni("[fonts]\nx=y\n");
    EXPECT_TRUE(MciExtensionTable::load().entries().empty());
}

TEST_F(ConfigHome, NoFileGivesTheBuiltInTable)
{
    const MciExtensionTable table = MciExtensionTable::load();
    EXPECT_EQ(table.entries().front().extension, "avi");
    EXPECT_EQ(table.deviceFor("avi"), "avivideo");
    for (const char* ext : {"mpg", "mpeg", "mp4", "mkv", "webm", "mov", "ogv", "m2ts", "vob", "3gp", "MOV"})
        EXPECT_EQ(table.deviceFor(ext), "mpegvideo") << ext;
    for (const char* ext : {"wav", "mp3", "flac", "ogg", "opus", "m4a"})
        EXPECT_EQ(table.deviceFor(ext), "waveaudio") << ext;
    EXPECT_EQ(table.deviceFor("mid"), "sequencer");
    EXPECT_EQ(table.deviceFor("cda"), "cdaudio");
}

TEST_F(ConfigHome, ADirectoryInPlaceOfTheFileCountsAsNoFile)
{
    QDir().mkpath(dir.path() + "/Vantu/win.ini");
    EXPECT_EQ(MciExtensionTable::load().deviceFor("avi"), "avivideo");
}

TEST_F(ConfigHome, TheServiceOpensByTheUsersTable)
{
    writeIni("[mci extensions]\nzzz=cdaudio\n");
    MciService service;
    std::string reply;
    // The user's table binds .zzz to cdaudio, which refuses files; .avi is unbound there.
    EXPECT_EQ(service.send("open \"/m/a.zzz\" alias vid", reply), MCIERR_NO_ELEMENT_ALLOWED);
    EXPECT_EQ(service.send("open \"/m/a.avi\" alias vid", reply), MCIERR_EXTENSION_NOT_FOUND);
}

TEST(ExtensionTable, OnlyTheFirstSectionOfThatNameCounts)
{
    const MciExtensionTable table =
        MciExtensionTable::fromIniText("[mci extensions]\navi=a\n[x]\n[mci extensions]\nmpg=b\n");
    ASSERT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.deviceFor("avi"), "a");
}

TEST_F(ConfigHome, RelativeConfigHomeFallsBackToHome)
{
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "relative/dir");
    qputenv("HOME", "/home/someone");
    EXPECT_EQ(MciExtensionTable::iniPath(), "/home/someone/.config/Vantu/win.ini");
    qputenv("HOME", savedHome);
}
