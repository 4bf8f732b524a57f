// mcisend: sends MCI command strings to the service and prints each result.
// Each argument is one command; without arguments, each line of standard input is.
// Output per command: "<code>\t<reply>" on stdout; the error text of a failed command on stderr.
// Exit status 1 when any command failed.
#include "mci/MciService.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

constexpr unsigned kReplyLength = 4096;

bool sendOne(mci::MciService& service, const std::string& command)
{
    char reply[kReplyLength];
    const mci::ErrorCode code = service.sendString(command.c_str(), reply, kReplyLength);
    std::printf("%u\t%s\n", static_cast<unsigned>(code), reply);
    std::fflush(stdout);
    if (code != mci::MCI_OK)
        std::fprintf(stderr, "%s: %s\n", command.c_str(), service.errorString(code).c_str());
    return code == mci::MCI_OK;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // libmpv refuses to start under another numeric locale
    mci::MciService service;
    bool allOk = true;
    if (argc > 1) {
        for (int i = 1; i < argc; ++i)
            allOk = sendOne(service, argv[i]) && allOk;
        return allOk ? 0 : 1;
    }
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        allOk = sendOne(service, line) && allOk;
    }
    return allOk ? 0 : 1;
}
