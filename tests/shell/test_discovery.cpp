#include "ShellFixture.h"

#include "shell/CheckVideoDevices.h"
#include "engine/MCI_FUNC.h"

namespace {

const QString kTitle = QStringLiteral("Vantu's MCI Video File Player");
const QString kChecking = QStringLiteral("Vantu's MCI Video File Player   -   Checking MCI Video Devices");
const QString kEmptyFilter = QStringLiteral("Video Files()||All Files(*.*)|*.*");

class Discovery : public ShellFixture {
protected:
    void InstallExample()
    {
        WriteTable("avi=AVIVideo\r\nmpg=MPEGVideo\r\nwav=waveaudio\r\n");
        InstallDevices({{"avivideo", "digitalvideo"}, {"mpegvideo", "digitalvideo"}, {"cdaudio", "cdaudio"}});
    }
};

TEST_F(Discovery, ExampleSystemGivesItsVideoDevicesExtensionsAndFilter)
{
    InstallExample();
    CheckVideoDevices();

    EXPECT_EQ(about->DeviceNames(), QStringList({"avivideo", "mpegvideo"}));
    EXPECT_EQ(about->Extensions(), QStringList({"avi", "mpg"}));
    EXPECT_EQ(panel->OpenDialog1Filter, QStringLiteral("Video Files(*.avi;*.mpg)|*.avi;*.mpg|All Files(*.*)|*.*"));
    EXPECT_EQ(mci.sent(), DetectionCommands({"avivideo", "mpegvideo", "cdaudio"}));

    // The caption tells that detection runs, and is the plain title afterwards.
    ASSERT_FALSE(mci.captions.empty());
    for (const QString& caption : mci.captions)
        EXPECT_EQ(caption, kChecking);
    EXPECT_EQ(panel->windowTitle(), kTitle);

    EXPECT_TRUE(about->PageShown(about->TabSheet2));
    EXPECT_FALSE(about->PageShown(about->TabSheet3));
}

TEST_F(Discovery, OnlyExactLowerCaseVideoTypesCountAsVideoDevices)
{
    WriteTable("avi=AVIVideo\r\nflc=Animation1\r\nmov=QTVideo\r\n");
    InstallDevices({{"AVIVideo", "DigitalVideo"}, {"Animation1", "animation"}, {"QTVideo", "digitalvideo "}});
    CheckVideoDevices();

    // "digitalvideo " arrives trimmed by the channel and counts; capitals do not.
    EXPECT_EQ(about->DeviceNames(), QStringList({"Animation1", "QTVideo"}));
    EXPECT_EQ(about->Extensions(), QStringList({"flc", "mov"}));
}

TEST_F(Discovery, DevicesThatCannotOpenOrAnswerTheirTypeAreSkippedButClosed)
{
    WriteTable("avi=avivideo\r\nmpg=mpegvideo\r\nvob=dvdvideo\r\n");
    mci.answer("sysinfo all quantity", {"3", 0});
    mci.answer("sysinfo all name 1", {"avivideo", 0});
    mci.answer("sysinfo all name 2", {"mpegvideo", 0});
    mci.answer("sysinfo all name 3", {"dvdvideo", 0});
    mci.answer("open avivideo alias vid", {"", 263});
    // mpegvideo's type query fails although its reply names a video type.
    mci.answerOnce("capability vid device type", {"digitalvideo", 274});
    mci.answerOnce("capability vid device type", {"digitalvideo", 0});
    CheckVideoDevices();

    EXPECT_EQ(about->DeviceNames(), QStringList({"dvdvideo"}));
    EXPECT_EQ(about->Extensions(), QStringList({"vob"}));
    const Commands expected{"sysinfo all quantity",
                            "sysinfo all name 1", "open avivideo alias vid", "close vid",
                            "sysinfo all name 2", "open mpegvideo alias vid", "capability vid device type", "close vid",
                            "sysinfo all name 3", "open dvdvideo alias vid", "capability vid device type", "close vid"};
    EXPECT_EQ(mci.sent(), expected);
}

TEST_F(Discovery, AdjacentEntriesToRemoveAreAllRemovedAndTheFilterKeepsTableOrder)
{
    WriteTable("mpg=MPEGVideo\r\nwav=waveaudio\r\nmid=sequencer\r\nrmi=sequencer\r\navi=avivideo\r\ncda=cdaudio\r\n");
    InstallDevices({{"avivideo", "digitalvideo"}, {"mpegvideo", "digitalvideo"}});
    CheckVideoDevices();

    // Shown sorted, but the patterns follow the table.
    EXPECT_EQ(about->Extensions(), QStringList({"avi", "mpg"}));
    EXPECT_EQ(panel->OpenDialog1Filter, QStringLiteral("Video Files(*.mpg;*.avi)|*.mpg;*.avi|All Files(*.*)|*.*"));
}

TEST_F(Discovery, NoDevicesRemovesEveryExtension)
{
    WriteTable("avi=avivideo\r\nmpg=mpegvideo\r\n");
    mci.answer("sysinfo all quantity", {"0", 0});
    about->SetExtensions({"old"});
    CheckVideoDevices();

    EXPECT_TRUE(about->DeviceNames().isEmpty());
    EXPECT_TRUE(about->Extensions().isEmpty());
    EXPECT_EQ(panel->OpenDialog1Filter, kEmptyFilter);
    EXPECT_EQ(mci.sent(), Commands({"sysinfo all quantity"}));
}

TEST_F(Discovery, FailedOrMeaninglessDeviceCountReadsNoTable)
{
    WriteTable("avi=avivideo\r\n");
    struct Case {
        const char* name;
        ScriptedMci::Answer count;
    };
    for (const Case& c : {Case{"service fails", {"3", 261}}, Case{"not a number", {"three", 0}}}) {
        SCOPED_TRACE(c.name);
        mci.answer("sysinfo all quantity", c.count);
        mci.clearSent();
        about->SetDeviceNames({"stale"});
        about->SetExtensions({});
        CheckVideoDevices();

        EXPECT_TRUE(about->DeviceNames().isEmpty());
        EXPECT_TRUE(about->Extensions().isEmpty());  // the table was not read into it
        EXPECT_EQ(panel->OpenDialog1Filter, kEmptyFilter);
        EXPECT_EQ(mci.sent(), Commands({"sysinfo all quantity"}));
        EXPECT_EQ(panel->windowTitle(), kTitle);
    }
}

TEST_F(Discovery, FailedCountLeavesTheExtensionListAsItWas)
{
    mci.answer("sysinfo all quantity", {"", 261});
    about->SetExtensions({"mpg", "avi"});
    CheckVideoDevices();
    EXPECT_EQ(about->Extensions(), QStringList({"avi", "mpg"}));
    EXPECT_TRUE(about->DeviceNames().isEmpty());
}

TEST_F(Discovery, RepeatedDetectionGivesTheSameResult)
{
    InstallExample();
    CheckVideoDevices();
    const QString filter = panel->OpenDialog1Filter;
    const Commands first = mci.sent();

    mci.clearSent();
    InstallDevices({{"avivideo", "digitalvideo"}, {"mpegvideo", "digitalvideo"}, {"cdaudio", "cdaudio"}});
    CheckVideoDevices();

    EXPECT_EQ(about->DeviceNames(), QStringList({"avivideo", "mpegvideo"}));
    EXPECT_EQ(about->Extensions(), QStringList({"avi", "mpg"}));
    EXPECT_EQ(panel->OpenDialog1Filter, filter);
    EXPECT_EQ(mci.sent(), first);
}

TEST_F(Discovery, ABareExtensionThatSpellsADeviceNameIsStillDropped)
{
    // An earlier run left the bare line "avivideo"; it must not survive as a kept extension.
    WriteTable("avi=avivideo\r\n");
    InstallDevices({{"avivideo", "digitalvideo"}});
    about->SetExtensions({"avivideo"});
    CheckVideoDevices();
    EXPECT_EQ(about->Extensions(), QStringList({"avi"}));
}

TEST_F(Discovery, MissingSectionGivesAnEmptyPatternList)
{
    WriteWinIni("[mci]\r\nAVIVideo=mciavi.drv\r\n");
    InstallDevices({{"avivideo", "digitalvideo"}});
    CheckVideoDevices();
    EXPECT_EQ(about->DeviceNames(), QStringList({"avivideo"}));
    EXPECT_TRUE(about->Extensions().isEmpty());
    EXPECT_EQ(panel->OpenDialog1Filter, kEmptyFilter);
}

TEST_F(Discovery, WithoutWinIniTheBuiltInTableBindsOurDevices)
{
    InstallDevices({{"avivideo", "digitalvideo"}, {"mpegvideo", "digitalvideo"}, {"waveaudio", "waveaudio"}});
    CheckVideoDevices();
    const QStringList extensions = about->Extensions();
    EXPECT_TRUE(extensions.contains("avi"));
    EXPECT_TRUE(extensions.contains("mpg"));
    EXPECT_TRUE(extensions.contains("mov"));
    EXPECT_FALSE(extensions.contains("wav"));
    EXPECT_TRUE(panel->OpenDialog1Filter.startsWith("Video Files(*.avi;*.mpg;"));
}

TEST_F(Discovery, AnOpenMediumIsClosedBeforeItsAliasIsBorrowed)
{
    InstallExample();
    MediaOpen = 1;
    CheckVideoDevices();
    ASSERT_GE(mci.sent().size(), 2u);
    EXPECT_EQ(mci.sent().front(), "close vid");
    EXPECT_EQ(mci.sent().at(1), "sysinfo all quantity");
    EXPECT_EQ(MediaOpen, 0);
}

TEST_F(Discovery, ReadMciExtensionsReplacesLinesOfTheSameKeyAndAppendsTheRest)
{
    WriteTable("avi=AVIVideo\r\nmpg=MPEGVideo\r\n");
    QStringList lines{"AVI=old", "avi2=x", "keep"};
    ReadMciExtensions(lines);
    EXPECT_EQ(lines, QStringList({"avi=AVIVideo", "avi2=x", "keep", "mpg=MPEGVideo"}));
}
} // namespace
