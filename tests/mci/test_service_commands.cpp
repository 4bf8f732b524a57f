#include "ServiceFixture.h"

using namespace mci;

using ServiceCommands = ServiceFixture;
using Calls = std::vector<std::string>;

TEST_F(ServiceCommands, TransportReachesTheDevice)
{
    openVid();
    for (const char* command : {"play vid", "play vid reverse", "stop vid", "pause vid", "resume vid",
                                "step vid", "step vid reverse", "step vid by 5", "step vid reverse by 3"})
        ASSERT_EQ(send(command), MCI_OK) << command;
    EXPECT_EQ(script.calls, (Calls{"play", "play reverse", "stop", "pause", "resume", "step 1", "step -1",
                                   "step 5", "step -3"}));
}

TEST_F(ServiceCommands, SeekInFramesAndToTheEnds)
{
    openVid();
    ASSERT_EQ(send("set vid time format frames"), MCI_OK);
    ASSERT_EQ(send("seek vid to 1"), MCI_OK);
    ASSERT_EQ(send("seek vid to start"), MCI_OK);
    ASSERT_EQ(send("seek vid to end"), MCI_OK);
    EXPECT_EQ(script.calls, (Calls{"seek 1", "seek 0", "seek 249"}));
    EXPECT_EQ(send("seek vid"), MCIERR_MISSING_PARAMETER);
}

TEST_F(ServiceCommands, MillisecondsAreTheDefaultAndConvertBothWays)
{
    openVid();  // 25 fps
    EXPECT_EQ(ask("status vid time format"), "milliseconds");
    script.position = 50;
    EXPECT_EQ(ask("status vid position"), "2000");
    EXPECT_EQ(ask("status vid length"), "10000");
    ASSERT_EQ(send("seek vid to 2039"), MCI_OK);
    ASSERT_EQ(send("play vid from 4000"), MCI_OK);
    EXPECT_EQ(script.calls, (Calls{"seek 50", "seek 100", "play"}));

    ASSERT_EQ(send("set vid time format frames"), MCI_OK);
    EXPECT_EQ(ask("status vid time format"), "frames");
    EXPECT_EQ(ask("status vid position"), "50");
    EXPECT_EQ(ask("status vid length"), "250");
    ASSERT_EQ(send("set vid time format ms"), MCI_OK);
    EXPECT_EQ(ask("status vid position"), "2000");
}

TEST_F(ServiceCommands, TimeFormatBelongsToOneAlias)
{
    openVid();
    ASSERT_EQ(send("open \"/m/other.avi\" alias two"), MCI_OK);
    ASSERT_EQ(send("set vid time format frames"), MCI_OK);
    EXPECT_EQ(ask("status two time format"), "milliseconds");
}

TEST_F(ServiceCommands, StepByCountsFramesInAnyTimeFormat)
{
    openVid();
    ASSERT_EQ(send("step vid by 2"), MCI_OK);
    EXPECT_EQ(script.calls, (Calls{"step 2"}));
}

TEST_F(ServiceCommands, PlayReverseFromSeeksThenPlaysBackward)
{
    openVid();
    ASSERT_EQ(send("set vid time format frames"), MCI_OK);
    ASSERT_EQ(send("play vid reverse from end"), MCI_OK);
    ASSERT_EQ(send("play vid from 10 to 20"), MCI_OK);
    EXPECT_EQ(script.calls, (Calls{"seek 249", "play reverse", "seek 10", "play to 20"}));
}

TEST_F(ServiceCommands, StatusItems)
{
    openVid();
    script.frameRate1000 = 29970;
    script.volume = 800;
    EXPECT_EQ(ask("status vid nominal frame rate"), "29970");
    EXPECT_EQ(ask("status vid frame rate"), "29970");
    EXPECT_EQ(ask("status vid volume"), "800");
    EXPECT_EQ(ask("Status vid ready"), "true");
    script.ready = false;
    EXPECT_EQ(ask("Status vid ready"), "false");
    EXPECT_EQ(ask("status vid media present"), "true");
    const std::pair<DeviceMode, const char*> modes[] = {{DeviceMode::NotReady, "not ready"},
                                                        {DeviceMode::Playing, "playing"},
                                                        {DeviceMode::Paused, "paused"},
                                                        {DeviceMode::Stopped, "stopped"},
                                                        {DeviceMode::Seeking, "seeking"}};
    for (const auto& [mode, text] : modes) {
        script.mode = mode;
        EXPECT_EQ(ask("status vid mode"), text);
    }
}

TEST_F(ServiceCommands, CapabilitiesAnswerTrueOrFalse)
{
    script.caps.deviceType = "digitalvideo";
    script.caps.canReverse = true;
    script.caps.hasVideo = true;
    script.caps.windows = true;
    openVid();
    EXPECT_EQ(ask("capability vid can reverse"), "true");
    EXPECT_EQ(ask("capability vid can save"), "false");
    EXPECT_EQ(ask("capability vid has video"), "true");
    EXPECT_EQ(ask("capability vid has audio"), "false");
    EXPECT_EQ(ask("capability vid device type"), "digitalvideo");
    EXPECT_EQ(ask("capability vid windows"), "1");
    EXPECT_EQ(send("capability vid"), MCIERR_MISSING_PARAMETER);
}

TEST_F(ServiceCommands, WhereAnswersFourNumbers)
{
    openVid();
    script.destination = {-160, -120, 1280, 960};
    EXPECT_EQ(ask("where vid source"), "0 0 320 240");
    EXPECT_EQ(ask("where vid destination"), "-160 -120 1280 960");
}

TEST_F(ServiceCommands, PlacementAndWindowCommands)
{
    openVid();
    for (const char* command : {"put vid destination at -20 -10 1280 960", "Put vid window at 0 38 640 480",
                                "window vid handle 94371843", "window vid handle default",
                                "window vid state show normal", "window vid state hide",
                                "window vid state show", "update vid"})
        ASSERT_EQ(send(command), MCI_OK) << command;
    EXPECT_EQ(script.calls, (Calls{"destination -20 -10 1280 960", "window 0 38 640 480", "handle 94371843",
                                   "handle 0", "show", "hide", "show", "update"}));
    EXPECT_EQ(send("put vid"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(send("window vid"), MCIERR_MISSING_PARAMETER);
}

TEST_F(ServiceCommands, VolumeIsCheckedAgainstItsRange)
{
    openVid();
    ASSERT_EQ(send("setaudio vid volume to 0"), MCI_OK);
    ASSERT_EQ(send("setaudio vid volume to 1000"), MCI_OK);
    EXPECT_EQ(send("setaudio vid volume to 1001"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(send("setaudio vid volume to -1"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(send("setaudio vid"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(script.calls, (Calls{"volume 0", "volume 1000"}));
}

TEST_F(ServiceCommands, CaptureTakesTheRestOfTheCommandAsPath)
{
    openVid();
    ASSERT_EQ(send("capture vid as /home/u/my caps/wcap0001.bmp"), MCI_OK);
    ASSERT_EQ(send("capture vid as \"/home/u/q/wcap0002.bmp\""), MCI_OK);
    EXPECT_EQ(script.calls, (Calls{"capture /home/u/my caps/wcap0001.bmp", "capture /home/u/q/wcap0002.bmp"}));
    EXPECT_EQ(send("capture vid"), MCIERR_MISSING_PARAMETER);

    // One pair of quotes around the whole path quotes it; any other quote refuses
    // the command instead of vanishing from the name or staying in it by chance.
    script.calls.clear();
    EXPECT_EQ(send("capture vid as /home/u/a\"b\"c.bmp"), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(send("capture vid as \"/home/u/a\"b.bmp"), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(send("capture vid as /home/u/my \"caps\"/x.bmp"), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(send("capture vid as /home/u/a\"b.bmp"), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_TRUE(script.calls.empty());
    ASSERT_EQ(send("capture vid as \"/home/u/my caps/x.bmp\"  "), MCI_OK);
    EXPECT_EQ(script.calls, (Calls{"capture /home/u/my caps/x.bmp"}));
}

TEST_F(ServiceCommands, ConfigureIsUnsupportedWithACodeAboveOne)
{
    openVid();
    EXPECT_EQ(send("configure vid"), MCIERR_UNSUPPORTED_FUNCTION);
    EXPECT_GT(send("configure vid"), 1u);
    EXPECT_EQ(send("configure nothing"), MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(ServiceCommands, RepliesAreCutToTheBufferAndClearedOnFailure)
{
    openVid();
    std::string reply;
    ASSERT_EQ(send("where vid source", &reply, 6), MCI_OK);
    EXPECT_EQ(reply, "0 0 3");
    ASSERT_EQ(send("status vid mode", &reply, 1), MCI_OK);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(service.sendString("status vid mode", nullptr, 0), MCI_OK);
    EXPECT_EQ(send("status vid bogus", &reply), MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(service.sendString(nullptr, nullptr, 0), MCIERR_MISSING_COMMAND_STRING);
}

TEST_F(ServiceCommands, ErrorTextsAreOursAndDistinct)
{
    EXPECT_NE(service.errorString(MCIERR_NO_CLOSING_QUOTE), service.errorString(MCIERR_BAD_INTEGER));
    EXPECT_NE(service.errorString(MCIERR_INVALID_DEVICE_NAME).find("open"), std::string::npos);
    EXPECT_NE(service.errorString(4242).find("4242"), std::string::npos);
}
