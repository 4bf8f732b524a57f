#pragma once
#include "FakeDevice.h"
#include "mci/MciService.h"
#include "mci/MciStubDevice.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A service whose video devices are fakes, with the real cdaudio stub and a
// small extension table.
class ServiceFixture : public ::testing::Test {
protected:
    FakeScript script;
    mci::MciService service{devices(), extensions()};

    mci::MciDeviceTable devices()
    {
        mci::MciDeviceTable table;
        auto fake = [this] { return std::make_unique<FakeDevice>(script); };
        table.add({"avivideo", "digitalvideo", fake});
        table.add({"mpegvideo", "digitalvideo", fake});
        table.add({"cdaudio", "cdaudio", [] {
                       return std::make_unique<mci::MciStubDevice>("cdaudio", mci::MCIERR_NO_ELEMENT_ALLOWED);
                   }});
        return table;
    }
    static mci::MciExtensionTable extensions()
    {
        return mci::MciExtensionTable({{"avi", "avivideo"}, {"mpg", "MPEGVideo"}, {"xyz", "nosuchdevice"}});
    }

    // Sends through the caller's buffer, as the player does.
    mci::ErrorCode send(const std::string& command, std::string* reply = nullptr, unsigned length = 255)
    {
        std::string buffer(length, '#');
        const mci::ErrorCode code = service.sendString(command.c_str(), buffer.data(), length);
        if (reply)
            *reply = buffer.c_str();
        return code;
    }
    std::string ask(const std::string& command)
    {
        std::string reply;
        EXPECT_EQ(send(command, &reply), mci::MCI_OK) << command;
        return reply;
    }
    void openVid()
    {
        ASSERT_EQ(send("open \"/media/clip.avi\" alias vid"), mci::MCI_OK);
        script.calls.clear();
    }
};
