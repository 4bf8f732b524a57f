#pragma once
#include "mci/MciBackend.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

// A stand-in for the MCI service: records every command string it is sent and
// answers from a script. Install it with ScriptedMci::Installed to route the
// player's command channel to it for one test.
class ScriptedMci : public mci::MciBackend {
public:
    struct Answer {
        std::string reply;
        mci::ErrorCode code = 0;
    };

    // Every later `command` gets this answer (exact text, case-sensitive).
    void answer(const std::string& command, Answer a);
    // The next `command` gets this answer; queued answers come before answer().
    void answerOnce(const std::string& command, Answer a);
    // For commands with no scripted answer (initially: empty reply, code 0).
    void setDefault(Answer a);

    const std::vector<std::string>& sent() const { return sent_; }
    std::vector<std::string> sentSince(size_t index) const;
    size_t count(const std::string& command) const;
    void clearSent() { sent_.clear(); }

    mci::ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override;
    std::string errorString(mci::ErrorCode code) const override;

    // Routes the command channel to a ScriptedMci for its lifetime.
    class Installed {
    public:
        explicit Installed(ScriptedMci& mci);
        ~Installed();
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;

    private:
        mci::MciBackend* previous_;
    };

private:
    std::map<std::string, Answer> fixed_;
    std::map<std::string, std::deque<Answer>> once_;
    Answer default_;
    std::vector<std::string> sent_;
};
