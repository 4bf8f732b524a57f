#include "ServiceFixture.h"

#include <thread>

using namespace mci;

using ServiceOpen = ServiceFixture;

TEST_F(ServiceOpen, QuotedPathWithBlanksPicksTheDeviceByExtension)
{
    ASSERT_EQ(send("open \"/my films/a clip.AVI\" alias vid"), MCI_OK);
    EXPECT_EQ(script.calls, std::vector<std::string>{"open /my films/a clip.AVI"});
    EXPECT_EQ(ask("info vid file"), "/my films/a clip.AVI");
    EXPECT_EQ(ask("info vid product"), "KELD32 avivideo on libmpv");
}

TEST_F(ServiceOpen, ExtensionTableDeviceNamesMatchWithoutCase)
{
    ASSERT_EQ(send("open \"/m/b.mpg\" alias vid"), MCI_OK);
    EXPECT_EQ(ask("info vid product"), "KELD32 mpegvideo on libmpv");
}

TEST_F(ServiceOpen, DeviceBangPathForcesTheDeviceQuotedOrNot)
{
    ASSERT_EQ(send("open MPEGVideo!\"/my films/x!y.avi\" alias vid"), MCI_OK);
    EXPECT_EQ(script.calls.back(), "open /my films/x!y.avi");
    EXPECT_EQ(ask("info vid product"), "KELD32 mpegvideo on libmpv");
    ASSERT_EQ(send("open avivideo!/m/c.mpg alias v2"), MCI_OK);
    EXPECT_EQ(script.calls.back(), "open /m/c.mpg");
    EXPECT_EQ(ask("info v2 product"), "KELD32 avivideo on libmpv");
}

TEST_F(ServiceOpen, TypeKeywordNamesTheDeviceForAnyExtension)
{
    ASSERT_EQ(send("open \"/m/clip.unknown\" type mpegvideo alias vid"), MCI_OK);
    EXPECT_EQ(ask("info vid product"), "KELD32 mpegvideo on libmpv");
    ASSERT_EQ(send("open /m/clip2.unknown type digitalvideo alias v2"), MCI_OK);
    EXPECT_EQ(ask("info v2 product"), "KELD32 avivideo on libmpv");
}

TEST_F(ServiceOpen, UnknownDevicesAndExtensionsFailWithoutOpening)
{
    EXPECT_EQ(send("open \"/m/clip.qqq\" alias vid"), MCIERR_EXTENSION_NOT_FOUND);
    EXPECT_EQ(send("open \"/m/noextension\" alias vid"), MCIERR_EXTENSION_NOT_FOUND);
    EXPECT_EQ(send("open \"/m/clip.xyz\" alias vid"), MCIERR_DEVICE_NOT_INSTALLED);
    EXPECT_EQ(send("open vcr alias vid"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("open vcr!\"/m/a.avi\" alias vid"), MCIERR_DEVICE_NOT_INSTALLED);
    EXPECT_EQ(send("open \"/m/a.avi\" type vcr alias vid"), MCIERR_DEVICE_NOT_INSTALLED);
    EXPECT_TRUE(script.calls.empty());
    EXPECT_EQ(send("status vid mode"), MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(ServiceOpen, FailedDeviceOpenLeavesNoAliasBehind)
{
    script.openResult = MCIERR_FILE_NOT_FOUND;
    EXPECT_EQ(send("open \"/m/gone.avi\" alias vid"), MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(send("status vid mode"), MCIERR_INVALID_DEVICE_NAME);
    script.openResult = MCI_OK;
    EXPECT_EQ(send("open \"/m/here.avi\" alias vid"), MCI_OK);
}

TEST_F(ServiceOpen, AliasRules)
{
    ASSERT_EQ(send("open avivideo alias vid"), MCI_OK);
    EXPECT_EQ(send("open mpegvideo alias VID"), MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(send("open cdaudio alias all"), MCIERR_CANNOT_USE_ALL);
    EXPECT_EQ(send("status Vid mode"), MCI_OK);
    EXPECT_EQ(send("status other mode"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("play all"), MCIERR_CANNOT_USE_ALL);
    ASSERT_EQ(send("close vid"), MCI_OK);
    EXPECT_EQ(script.closes, 1);
    EXPECT_EQ(send("close vid"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("open mpegvideo alias vid"), MCI_OK);
}

TEST_F(ServiceOpen, WithoutAliasTheDeviceNameIsTheAlias)
{
    ASSERT_EQ(send("open cdaudio"), MCI_OK);
    EXPECT_EQ(ask("capability cdaudio device type"), "cdaudio");
    EXPECT_EQ(send("open cdaudio"), MCIERR_DEVICE_OPEN);
}

TEST_F(ServiceOpen, CloseAllFreesEveryAlias)
{
    ASSERT_EQ(send("open avivideo alias a"), MCI_OK);
    ASSERT_EQ(send("open mpegvideo alias b"), MCI_OK);
    ASSERT_EQ(send("open cdaudio alias c"), MCI_OK);
    EXPECT_EQ(ask("sysinfo all quantity open"), "3");
    ASSERT_EQ(send("close all"), MCI_OK);
    EXPECT_EQ(script.closes, 2);
    EXPECT_EQ(ask("sysinfo all quantity open"), "0");
    EXPECT_EQ(send("open cdaudio alias a"), MCI_OK);
}

// A player that answers its user while an open runs sends the close from another
// thread: it must end the open, not wait behind it.
TEST_F(ServiceOpen, ACloseFromAnotherThreadEndsTheOpenItNames)
{
    script.held.hold = true;
    for (const char* close : {"close vid", "close all"}) {
        ErrorCode opened = MCI_OK;
        std::thread opener([&] { opened = send("open \"/m/big.avi\" alias vid"); });
        script.held.awaitRunning();
        EXPECT_EQ(send(close), MCI_OK) << close;
        opener.join();
        EXPECT_EQ(opened, MCIERR_OPEN_CANCELLED) << close;
        EXPECT_EQ(send("status vid mode"), MCIERR_INVALID_DEVICE_NAME) << close;
    }
    script.held.hold = false;
    EXPECT_EQ(send("open \"/m/big.avi\" alias vid"), MCI_OK);
    EXPECT_EQ(send("close other"), MCIERR_INVALID_DEVICE_NAME);
}

// 150 opens under new aliases once held 854 MB and 715 threads of libmpv.
TEST_F(ServiceOpen, OpensPastTheBoundAreRefusedUntilADeviceIsClosed)
{
    const auto openAs = [this](size_t n) {
        return send("open \"/m/clip" + std::to_string(n) + ".avi\" alias v" + std::to_string(n));
    };
    for (size_t n = 0; n < MciInstanceTable::MaxOpen; ++n)
        ASSERT_EQ(openAs(n), MCI_OK) << n;
    script.calls.clear();
    EXPECT_EQ(openAs(MciInstanceTable::MaxOpen), MCIERR_OUT_OF_MEMORY);
    EXPECT_EQ(send("open cdaudio alias cd"), MCIERR_OUT_OF_MEMORY);
    EXPECT_TRUE(script.calls.empty()) << "no device was made for a refused open";
    EXPECT_EQ(send("status v" + std::to_string(MciInstanceTable::MaxOpen) + " mode"), MCIERR_INVALID_DEVICE_NAME);
    ASSERT_EQ(send("close v3"), MCI_OK);
    EXPECT_EQ(openAs(MciInstanceTable::MaxOpen), MCI_OK);
    ASSERT_EQ(send("close all"), MCI_OK);
    EXPECT_EQ(openAs(0), MCI_OK);
}

TEST_F(ServiceOpen, CdaudioStubOpensBareAndRefusesElements)
{
    EXPECT_EQ(send("open cdaudio!\"/m/track01.cda\" alias cd"), MCIERR_NO_ELEMENT_ALLOWED);
    ASSERT_EQ(send("open cdaudio alias cd"), MCI_OK);
    EXPECT_EQ(ask("capability cd device type"), "cdaudio");
    EXPECT_EQ(ask("capability cd can eject"), "true");
    EXPECT_EQ(ask("status cd media present"), "false");
    EXPECT_EQ(send("play cd"), MCIERR_NONAPPLICABLE_FUNCTION);
    EXPECT_EQ(send("status cd position"), MCIERR_NONAPPLICABLE_FUNCTION);
}

TEST_F(ServiceOpen, BareVideoDeviceAnswersCapabilitiesButRefusesMediaCommands)
{
    script.caps.deviceType = "digitalvideo";
    script.caps.canStretch = true;
    ASSERT_EQ(send("open mpegvideo alias vid"), MCI_OK);
    EXPECT_EQ(script.calls, std::vector<std::string>{"open "});
    EXPECT_EQ(ask("capability vid device type"), "digitalvideo");
    EXPECT_EQ(ask("capability vid can stretch"), "true");
    for (const char* command : {"play vid", "seek vid to 1", "step vid", "status vid position",
                                "status vid length", "where vid source", "capture vid as /tmp/x.bmp",
                                "window vid handle 5", "put vid destination at 0 0 1 1", "update vid"})
        EXPECT_EQ(send(command), MCIERR_NONAPPLICABLE_FUNCTION) << command;
    EXPECT_EQ(script.calls.size(), 1u);  // none reached the device
}

TEST_F(ServiceOpen, LongPathIsOpenedWhole)
{
    const std::string path = "/" + std::string(400, 'p') + "/clip.avi";
    ASSERT_EQ(send("open \"" + path + "\" alias vid"), MCI_OK);
    EXPECT_EQ(script.calls.back(), "open " + path);
}
