// open_index FILE: opens FILE on the video device as the player does and prints, in
// seconds, the time `open` took (frame 0 on display) and the time until the index
// was whole ("status vid indexed" 100), then the length, the peak RSS in MiB after
// the open and the RSS after close. Used by bench/open_big.sh.
#include "mci/MciService.h"

#include <QCoreApplication>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::string send(mci::MciService& service, const std::string& command, bool& ok)
{
    char reply[512];
    ok = service.sendString(command.c_str(), reply, sizeof reply) == mci::MCI_OK;
    return reply;
}

long rssMiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6)) / 1024;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    // "open": stop once open has returned (the whole-index time is then the open's).
    const bool openOnly = argc == 3 && std::string(argv[2]) == "open";
    if (argc != 2 && !openOnly) {
        std::fprintf(stderr, "usage: open_index FILE [open]\n");
        return 2;
    }
    mci::MciService service;
    bool ok = false;
    const long before = rssMiB();
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    send(service, std::string("open \"") + argv[1] + "\" alias vid", ok);
    const auto opened = Clock::now();
    if (!ok) {
        std::fprintf(stderr, "open failed\n");
        return 1;
    }
    while (!openOnly && send(service, "status vid indexed", ok) != "100" && ok)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const auto whole = Clock::now();
    const std::string length = send(service, "status vid length", ok);
    const long peak = rssMiB();
    send(service, "close vid", ok);
    const auto secs = [&](Clock::time_point t) { return std::chrono::duration<double>(t - t0).count(); };
    std::printf("%.3f %.3f %s %ld %ld %ld\n", secs(opened), secs(whole), length.c_str(), before, peak, rssMiB());
    return 0;
}
