#include "ScriptedMci.h"

#include "engine/MCI_FUNC.h"

#include <algorithm>
#include <cstring>

void ScriptedMci::answer(const std::string& command, Answer a)
{
    fixed_[command] = std::move(a);
}

void ScriptedMci::answerOnce(const std::string& command, Answer a)
{
    once_[command].push_back(std::move(a));
}

void ScriptedMci::setDefault(Answer a)
{
    default_ = std::move(a);
}

std::vector<std::string> ScriptedMci::sentSince(size_t index) const
{
    if (index >= sent_.size())
        return {};
    return std::vector<std::string>(sent_.begin() + static_cast<long>(index), sent_.end());
}

size_t ScriptedMci::count(const std::string& command) const
{
    return static_cast<size_t>(std::count(sent_.begin(), sent_.end(), command));
}

mci::ErrorCode ScriptedMci::sendString(const char* command, char* reply, unsigned replyLength)
{
    sent_.emplace_back(command);
    Answer a = default_;
    auto queued = once_.find(command);
    if (queued != once_.end() && !queued->second.empty()) {
        a = queued->second.front();
        queued->second.pop_front();
    } else if (auto it = fixed_.find(command); it != fixed_.end()) {
        a = it->second;
    }
    if (reply && replyLength > 0) {
        const size_t n = std::min<size_t>(a.reply.size(), replyLength - 1);
        std::memcpy(reply, a.reply.data(), n);
        reply[n] = '\0';
    }
    return a.code;
}

std::string ScriptedMci::errorString(mci::ErrorCode code) const
{
    return "scripted error " + std::to_string(code);
}

ScriptedMci::Installed::Installed(ScriptedMci& mci) : previous_(SetMciBackend(&mci)) {}

ScriptedMci::Installed::~Installed()
{
    SetMciBackend(previous_);
}
