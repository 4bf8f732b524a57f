#include "mci/MciTokenizer.h"

namespace mci {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

ErrorCode MciTokenizer::split(const std::string& command, std::vector<MciToken>& tokens)
{
    tokens.clear();
    size_t i = 0;
    const size_t n = command.size();
    while (i < n) {
        while (i < n && isBlank(command[i]))
            ++i;
        if (i >= n)
            break;
        MciToken token;
        token.begin = i;
        while (i < n && !isBlank(command[i])) {
            if (command[i] != '"') {
                token.text += command[i++];
                continue;
            }
            const size_t close = command.find('"', i + 1);
            if (close == std::string::npos)
                return MCIERR_NO_CLOSING_QUOTE;
            if (!token.quoted())
                token.quotedFrom = token.text.size();
            token.text.append(command, i + 1, close - i - 1);
            i = close + 1;
        }
        tokens.push_back(std::move(token));
    }
    return MCI_OK;
}

} // namespace mci
