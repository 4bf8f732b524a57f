#pragma once
#include "mci/MciDevice.h"
#include "mci/MciKeyword.h"

#include <cstdint>
#include <map>
#include <string>

namespace mci {

struct CommandDecl;

// The typed value a keyword carried in a command.
struct MciValue {
    int64_t number = 0;     // Integer, Position, Handle
    std::string text;       // Text, Rest, Choice (the canonical choice)
    Rect rect;              // Rect
    bool isStart = false;   // Position "start"
    bool isEnd = false;     // Position "end"
    bool isDefault = false; // Handle "default"
};

// A command after checking against the command table: handlers read only this.
struct MciCommand {
    const CommandDecl* decl = nullptr;
    std::string target;          // alias, device name, "all", or the open target
    bool targetQuoted = false;
    size_t targetQuotedFrom = std::string::npos;
    std::map<Kw, MciValue> args;  // keyed by the declared keyword

    bool has(Kw keyword) const { return args.count(keyword) != 0; }
    const MciValue& get(Kw keyword) const
    {
        static const MciValue none;
        const auto found = args.find(keyword);
        return found == args.end() ? none : found->second;
    }
};

} // namespace mci
