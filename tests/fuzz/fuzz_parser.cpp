// Feeds arbitrary bytes to the tokenizer and the command parser.
#include "mci/MciCommandParser.h"
#include "mci/MciCommandTable.h"
#include "mci/MciTokenizer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);

    std::vector<mci::MciToken> tokens;
    if (mci::MciTokenizer::split(line, tokens) == mci::MCI_OK) {
        // Every word must point inside the command and no word may be empty unless quoted.
        for (const mci::MciToken& t : tokens) {
            if (t.begin >= line.size())
                std::abort();
            if (t.text.empty() && !t.quoted())
                std::abort();
        }
    }

    static const mci::MciCommandParser parser(mci::MciCommandTable::standard());
    mci::MciCommand command;
    const mci::ErrorCode error = parser.parse(line, command);
    if (error == mci::MCI_OK && !command.decl)
        std::abort();
    return 0;
}
