// The service's step command on the real video device: a count of any size lands
// where the words say, whatever the device does inside.
#include "DeviceTestSupport.h"
#include "mci/MciService.h"

using namespace keldtest;

namespace {

TEST(ServiceSteps, StepsByTheLargestCountsLandOnTheEnds)
{
    useHeadlessDevice();
    const ClipInfo clip = StampedClip::get(ClipKind::AviMjpeg);
    ASSERT_FALSE(clip.path.isEmpty()) << "ffmpeg could not make the clip";
    mci::MciService service;
    std::string reply;
    const auto send = [&](const std::string& command) { return service.send(command, reply); };
    ASSERT_EQ(send("open \"" + clip.path.toStdString() + "\" type mpegvideo alias vid"), mci::MCI_OK);
    ASSERT_EQ(send("set vid time format frames"), mci::MCI_OK);
    const std::string first = "0";
    const std::string last = std::to_string(clip.frames - 1);
    const std::pair<std::string, std::string> cases[] = {
        {"step vid by 9223372036854775807", last},
        {"step vid by -9223372036854775808 reverse", last},
        {"step vid by 9223372036854775807 reverse", first},
        {"step vid by -9223372036854775808", first},
    };
    for (const auto& [step, landing] : cases) {
        ASSERT_EQ(send("seek vid to 10 wait"), mci::MCI_OK);
        ASSERT_EQ(send(step), mci::MCI_OK) << step;
        ASSERT_EQ(send("status vid position"), mci::MCI_OK);
        EXPECT_EQ(reply, landing) << step;
    }
    EXPECT_EQ(send("close vid"), mci::MCI_OK);
}

} // namespace
