#include "ServiceFixture.h"
#include "mci/MciDeviceTable.h"

using namespace mci;

using Sysinfo = ServiceFixture;

TEST_F(Sysinfo, CountsAndNamesInstalledDevicesFromOne)
{
    EXPECT_EQ(ask("sysinfo all quantity"), "3");
    EXPECT_EQ(ask("sysinfo all name 1"), "avivideo");
    EXPECT_EQ(ask("sysinfo all name 3"), "cdaudio");
    EXPECT_EQ(send("sysinfo all name 0"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(send("sysinfo all name 4"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(send("sysinfo all"), MCIERR_MISSING_PARAMETER);
}

TEST_F(Sysinfo, ByDeviceTypeAndOpenAliases)
{
    EXPECT_EQ(ask("sysinfo digitalvideo quantity"), "2");
    EXPECT_EQ(ask("sysinfo digitalvideo name 2"), "mpegvideo");
    EXPECT_EQ(send("sysinfo vcr quantity"), MCIERR_INVALID_DEVICE_NAME);
    ASSERT_EQ(send("open cdaudio alias disc"), MCI_OK);
    EXPECT_EQ(ask("sysinfo all name 1 open"), "disc");
    EXPECT_EQ(ask("sysinfo digitalvideo quantity open"), "0");
}

// What device discovery does with the installed devices: open each bare, ask its type, close.
TEST(StandardDevices, DiscoveryFindsTheVideoDevicesAndSkipsTheOthers)
{
    MciService service(MciDeviceTable::standard(), MciExtensionTable::builtIn());
    std::string reply;
    ASSERT_EQ(service.send("sysinfo all quantity", reply), MCI_OK);
    const int n = std::stoi(reply);
    std::vector<std::string> video;
    std::vector<std::string> skipped;
    for (int i = 1; i <= n; ++i) {
        std::string name;
        ASSERT_EQ(service.send("sysinfo all name " + std::to_string(i), name), MCI_OK);
        if (service.send("open " + name + " alias vid", reply) == MCI_OK &&
            service.send("capability vid device type", reply) == MCI_OK && reply == "digitalvideo")
            video.push_back(name);
        else
            skipped.push_back(name);
        service.send("close vid", reply);
    }
    EXPECT_EQ(video, (std::vector<std::string>{"avivideo", "mpegvideo"}));
    EXPECT_EQ(skipped, (std::vector<std::string>{"waveaudio", "cdaudio", "sequencer"}));
    EXPECT_EQ(service.send("status vid mode", reply), MCIERR_INVALID_DEVICE_NAME);
}

TEST(StandardDevices, SequencerRefusesMidiFiles)
{
    MciService service(MciDeviceTable::standard(), MciExtensionTable::builtIn());
    std::string reply;
    EXPECT_EQ(service.send("open \"/m/song.mid\" alias vid", reply), MCIERR_INVALID_FILE);
    EXPECT_EQ(service.send("open sequencer alias vid", reply), MCI_OK);
}
