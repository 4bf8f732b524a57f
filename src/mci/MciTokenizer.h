#pragma once
#include "mci/MciError.h"

#include <string>
#include <vector>

namespace mci {

// One blank-separated word of a command string. A double-quoted part is taken
// whole, blanks included, and its quotes are dropped.
struct MciToken {
    std::string text;
    size_t begin = 0;                        // offset of the word in the command
    size_t quotedFrom = std::string::npos;   // offset in `text` where a quoted part starts
    bool quoted() const { return quotedFrom != std::string::npos; }
};

// Splits a command into words; any length is handled whole.
class MciTokenizer {
public:
    // MCIERR_NO_CLOSING_QUOTE when a quote is left open.
    static ErrorCode split(const std::string& command, std::vector<MciToken>& tokens);
};

} // namespace mci
