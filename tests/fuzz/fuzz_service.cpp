// Runs every line of the input as a command string through the whole service
// (parser, alias table, handlers) on quiet fake devices, with reply buffers of
// every size down to none.
#include "FakeDevice.h"
#include "mci/MciService.h"
#include "mci/MciStubDevice.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

mci::MciDeviceTable fakeDevices(FakeScript& script)
{
    mci::MciDeviceTable table;
    auto fake = [&script] { return std::make_unique<FakeDevice>(script); };
    table.add({"avivideo", "digitalvideo", fake});
    table.add({"mpegvideo", "digitalvideo", fake});
    table.add({"waveaudio", "waveaudio", fake});
    table.add({"cdaudio", "cdaudio", [] {
                   return std::make_unique<mci::MciStubDevice>("cdaudio", mci::MCIERR_NO_ELEMENT_ALLOWED);
               }});
    return table;
}

void sendOne(mci::MciService& service, const std::string& line, unsigned replyLength)
{
    // Exactly replyLength bytes, so a write past the end is caught.
    std::unique_ptr<char[]> reply(new char[replyLength]);
    service.sendString(line.c_str(), replyLength ? reply.get() : nullptr, replyLength);
    if (replyLength > 0 && std::memchr(reply.get(), '\0', replyLength) == nullptr)
        std::abort();  // the reply must always be terminated inside the buffer
    (void)service.errorString(static_cast<mci::ErrorCode>(replyLength * 7));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FakeScript script;
    mci::MciService service(fakeDevices(script),
                            mci::MciExtensionTable({{"avi", "avivideo"}, {"mpg", "mpegvideo"}, {"wav", "waveaudio"}}));
    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    unsigned n = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        const std::string line = input.substr(start, end - start);
        // Commands are C strings: a zero byte ends one early, as it would for a caller.
        static const unsigned lengths[] = {255, 0, 1, 2, 5, 16, 4096};
        sendOne(service, line, lengths[n++ % 7]);
        start = end + 1;
    }
    return 0;
}
