#include "mci/MciCommandParser.h"

#include <cctype>
#include <limits>
#include <sstream>

namespace mci {

namespace {

bool sameWord(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> words(const std::string& phrase)
{
    std::vector<std::string> out;
    std::istringstream in(phrase);
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

// Signed decimal without anything around it; false when not a number or too large.
bool toInteger(const std::string& text, int64_t& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i >= text.size())
        return false;
    uint64_t magnitude = 0;
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (magnitude > (limit - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

std::string trimmedEnd(std::string text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

// One pair of quotes around the whole text, and no other quote.
bool enclosedInQuotes(const std::string& text)
{
    return text.size() >= 2 && text.front() == '"' && text.find('"', 1) == text.size() - 1;
}

} // namespace

MciCommandParser::MciCommandParser(const MciCommandTable& table) : table_(table) {}

ErrorCode MciCommandParser::parse(const std::string& line, MciCommand& command) const
{
    command = MciCommand();
    std::vector<MciToken> tokens;
    if (const ErrorCode error = MciTokenizer::split(line, tokens))
        return error;
    if (tokens.empty())
        return MCIERR_MISSING_COMMAND_STRING;
    command.decl = tokens[0].quoted() ? nullptr : table_.find(tokens[0].text);
    if (!command.decl)
        return MCIERR_UNRECOGNIZED_COMMAND;
    if (tokens.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    command.target = tokens[1].text;
    command.targetQuoted = tokens[1].quoted();
    command.targetQuotedFrom = tokens[1].quotedFrom;
    Cursor at{line, tokens, 2};
    return parseKeywords(at, command);
}

ErrorCode MciCommandParser::parseKeywords(Cursor& at, MciCommand& command) const
{
    const CommandDecl& decl = *command.decl;
    std::vector<int> groupsSeen;
    while (at.index < at.tokens.size()) {
        size_t used = 0;
        const KeywordDecl* keyword = matchKeyword(decl, at, used);
        if (!keyword)
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (command.has(keyword->id))
            return MCIERR_DUPLICATE_FLAGS;
        if (keyword->group != 0) {
            for (int seen : groupsSeen)
                if (seen == keyword->group)
                    return MCIERR_FLAGS_NOT_COMPATIBLE;
            groupsSeen.push_back(keyword->group);
        }
        at.index += used;
        MciValue value;
        if (const ErrorCode error = parseValue(*keyword, at, value))
            return error;
        command.args.emplace(keyword->id, std::move(value));
    }
    if (decl.needsItem && groupsSeen.empty())
        return MCIERR_MISSING_PARAMETER;
    return MCI_OK;
}

ErrorCode MciCommandParser::parseValue(const KeywordDecl& keyword, Cursor& at, MciValue& value) const
{
    const auto& tokens = at.tokens;
    const bool more = at.index < tokens.size();
    switch (keyword.type) {
    case ArgType::Flag:
        return MCI_OK;
    case ArgType::Integer:
    case ArgType::Position:
    case ArgType::Handle: {
        if (!more)
            return MCIERR_MISSING_PARAMETER;
        const MciToken& token = tokens[at.index++];
        if (keyword.type == ArgType::Position && !token.quoted()) {
            value.isStart = sameWord(token.text, "start");
            value.isEnd = sameWord(token.text, "end");
            if (value.isStart || value.isEnd)
                return MCI_OK;
        }
        if (keyword.type == ArgType::Handle && !token.quoted() && sameWord(token.text, "default")) {
            value.isDefault = true;
            return MCI_OK;
        }
        if (!toInteger(token.text, value.number))
            return MCIERR_BAD_INTEGER;
        if (keyword.type == ArgType::Handle && value.number < 0)
            return MCIERR_OUTOFRANGE;
        return MCI_OK;
    }
    case ArgType::Rect: {
        int64_t n[4];
        for (int64_t& number : n) {
            if (at.index >= tokens.size())
                return MCIERR_MISSING_PARAMETER;
            if (!toInteger(tokens[at.index++].text, number))
                return MCIERR_BAD_INTEGER;
            if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
                return MCIERR_OUTOFRANGE;
        }
        value.rect = {static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2]),
                      static_cast<int>(n[3])};
        return MCI_OK;
    }
    case ArgType::Text:
        if (!more)
            return MCIERR_MISSING_STRING_ARGUMENT;
        value.text = tokens[at.index++].text;
        return MCI_OK;
    case ArgType::Rest:
        if (!more)
            return MCIERR_MISSING_STRING_ARGUMENT;
        return takeRest(at, value);
    case ArgType::Choice: {
        if (!more)
            return MCIERR_MISSING_PARAMETER;
        size_t best = 0;
        for (const std::string& option : keyword.choices) {
            const size_t used = matchWords(words(option), at);
            if (used > best) {
                best = used;
                value.text = option;
            }
        }
        if (best == 0)
            return MCIERR_BAD_CONSTANT;
        at.index += best;
        return MCI_OK;
    }
    }
    return MCIERR_PARSER_INTERNAL;
}

// The rest of the command is one text (a path): either wholly in quotes, blanks
// and all, or as written. MCI has no escape for a quote, so a quote anywhere else
// would silently leave the text or stay in it by chance: the command is refused.
ErrorCode MciCommandParser::takeRest(Cursor& at, MciValue& value)
{
    const std::string rest = trimmedEnd(at.line.substr(at.tokens[at.index].begin));
    at.index = at.tokens.size();
    if (enclosedInQuotes(rest)) {
        value.text = rest.substr(1, rest.size() - 2);
        return MCI_OK;
    }
    if (rest.find('"') != std::string::npos)
        return MCIERR_NO_CLOSING_QUOTE;
    value.text = rest;
    return MCI_OK;
}

const KeywordDecl* MciCommandParser::matchKeyword(const CommandDecl& decl, const Cursor& at, size_t& used)
{
    const KeywordDecl* best = nullptr;
    used = 0;
    for (const KeywordDecl& keyword : decl.keywords) {
        const size_t n = matchWords(keyword.words, at);
        if (n > used) {
            used = n;
            best = &keyword;
        }
    }
    return best;
}

// Number of tokens the phrase takes at the cursor, 0 when it does not match.
size_t MciCommandParser::matchWords(const std::vector<std::string>& parts, const Cursor& at)
{
    if (parts.empty())
        return 0;
    if (at.index + parts.size() > at.tokens.size())
        return 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const MciToken& token = at.tokens[at.index + i];
        if (token.quoted() || !sameWord(token.text, parts[i]))
            return 0;
    }
    return parts.size();
}

} // namespace mci
