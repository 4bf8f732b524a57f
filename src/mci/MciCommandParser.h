#pragma once
#include "mci/MciCommand.h"
#include "mci/MciCommandTable.h"
#include "mci/MciTokenizer.h"

#include <string>
#include <vector>

namespace mci {

// Turns a command string into a checked MciCommand against a command table.
// Every syntax error code comes from here; handlers never look at text.
class MciCommandParser {
public:
    explicit MciCommandParser(const MciCommandTable& table);

    ErrorCode parse(const std::string& line, MciCommand& command) const;

private:
    struct Cursor {
        const std::string& line;
        const std::vector<MciToken>& tokens;
        size_t index;
    };

    ErrorCode parseKeywords(Cursor& at, MciCommand& command) const;
    ErrorCode parseValue(const KeywordDecl& keyword, Cursor& at, MciValue& value) const;
    static ErrorCode takeRest(Cursor& at, MciValue& value);
    static const KeywordDecl* matchKeyword(const CommandDecl& decl, const Cursor& at, size_t& words);
    static size_t matchWords(const std::vector<std::string>& words, const Cursor& at);

    const MciCommandTable& table_;
};

} // namespace mci
