#include "ShellFixture.h"

#include "shell/CheckVideoDevices.h"
#include "engine/MCI_FUNC.h"
#include "mci/MciService.h"

namespace {

// Discovery on the real MCI service: its devices, opened bare under "vid".
class DiscoveryOnService : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        previous = SetMciBackend(&service);
    }
    void TearDown() override
    {
        SetMciBackend(previous);
        ShellFixture::TearDown();
    }
    mci::MciService service;
    mci::MciBackend* previous = nullptr;
};

TEST_F(DiscoveryOnService, FindsTheVideoDevicesAndLeavesVidFree)
{
    WriteTable("avi=AVIVideo\r\nmpg=MPEGVideo\r\nwav=waveaudio\r\nmid=sequencer\r\n");
    CheckVideoDevices();

    EXPECT_EQ(about->DeviceNames(), QStringList({"avivideo", "mpegvideo"}));
    EXPECT_EQ(about->Extensions(), QStringList({"avi", "mpg"}));
    EXPECT_EQ(panel->OpenDialog1Filter, QStringLiteral("Video Files(*.avi;*.mpg)|*.avi;*.mpg|All Files(*.*)|*.*"));

    // Every bare device was closed again: the alias is free for the medium.
    QString reply;
    quint32 error = 0;
    SendMciString(QStringLiteral("sysinfo all quantity open"), reply, error);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(reply, QStringLiteral("0"));
}

} // namespace
