#pragma once
#include "mci/MciCommand.h"
#include "mci/MciError.h"
#include "mci/MciKeyword.h"

#include <string>
#include <vector>

namespace mci {

struct MciContext;

// What follows a keyword.
enum class ArgType {
    Flag,      // nothing
    Integer,   // signed decimal
    Position,  // signed decimal, "start" or "end"
    Handle,    // unsigned decimal or "default"
    Rect,      // four signed decimals
    Text,      // one word (may be quoted)
    Rest,      // the rest of the command, taken whole
    Choice,    // one of the declared words or phrases
};

// What the word after the command word names.
enum class TargetKind {
    Instance,  // an open alias
    OpenTarget,// a device name, DEVICE!ELEMENT or an element
    AllOrInstance, // an open alias or "all"
    Sysinfo,   // "all", a device type or a device name
};

struct KeywordDecl {
    Kw id = Kw::Wait;
    std::string phrase;          // lower case, words separated by one blank
    ArgType type = ArgType::Flag;
    int group = 0;               // keywords of one nonzero group exclude each other
    bool needsElement = false;   // refused on a bare device
    std::vector<std::string> choices;  // for Choice
    std::vector<std::string> words;    // the phrase split at blanks, filled by the table
};

using Handler = ErrorCode (*)(MciContext& context, const MciCommand& command, std::string& reply);

struct CommandDecl {
    std::string name;
    TargetKind target = TargetKind::Instance;
    std::vector<KeywordDecl> keywords;
    Handler handler = nullptr;
    bool needsElement = false;   // the whole command needs an open file
    bool needsItem = false;      // exactly one keyword of group 1 must be given
};

// The one table of every command the service knows.
class MciCommandTable {
public:
    static const MciCommandTable& standard();
    explicit MciCommandTable(std::vector<CommandDecl> commands);

    // Case-insensitive; nullptr when unknown.
    const CommandDecl* find(const std::string& name) const;
    const std::vector<CommandDecl>& commands() const { return commands_; }

private:
    std::vector<CommandDecl> commands_;
};

} // namespace mci
