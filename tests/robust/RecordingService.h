#pragma once
#include "mci/MciService.h"

#include <string>
#include <vector>

// The real MCI service, with every command string it was sent kept for the test.
class RecordingService : public mci::MciBackend {
public:
    mci::ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override
    {
        sent.emplace_back(command ? command : "");
        return service.sendString(command, reply, replyLength);
    }
    std::string errorString(mci::ErrorCode code) const override { return service.errorString(code); }

    // How many commands began with `prefix`.
    int countStartingWith(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& s : sent)
            n += s.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    mci::MciService service;
    std::vector<std::string> sent;
};
