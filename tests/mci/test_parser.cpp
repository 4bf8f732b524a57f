#include "mci/MciCommandParser.h"
#include "mci/MciTokenizer.h"

#include <gtest/gtest.h>

using namespace mci;

namespace {

ErrorCode parse(const std::string& line, MciCommand& command)
{
    static const MciCommandParser parser(MciCommandTable::standard());
    return parser.parse(line, command);
}

ErrorCode parseCode(const std::string& line)
{
    MciCommand command;
    return parse(line, command);
}

} // namespace

TEST(Tokenizer, QuotedPartIsOneWordWithBlanksAndWithoutItsQuotes)
{
    std::vector<MciToken> tokens;
    ASSERT_EQ(MciTokenizer::split("open  \"/my films/a b.avi\"\talias vid", tokens), MCI_OK);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].text, "/my films/a b.avi");
    EXPECT_TRUE(tokens[1].quoted());
    EXPECT_EQ(tokens[3].text, "vid");
    EXPECT_FALSE(tokens[3].quoted());
}

TEST(Tokenizer, QuoteInsideAWordKeepsTheDevicePrefix)
{
    std::vector<MciToken> tokens;
    ASSERT_EQ(MciTokenizer::split("open mpegvideo!\"/a b/c.mpg\" alias vid", tokens), MCI_OK);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].text, "mpegvideo!/a b/c.mpg");
    EXPECT_EQ(tokens[1].quotedFrom, 10u);
}

TEST(Tokenizer, OpenQuoteIsAnErrorNotATruncatedPath)
{
    std::vector<MciToken> tokens;
    EXPECT_EQ(MciTokenizer::split("open \"/a b.avi alias vid", tokens), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(parseCode("open \"/a b.avi alias vid"), MCIERR_NO_CLOSING_QUOTE);
}

TEST(Parser, CommandWordsAndKeywordsIgnoreCase)
{
    MciCommand command;
    ASSERT_EQ(parse("Status vid READY", command), MCI_OK);
    EXPECT_EQ(command.decl->name, "status");
    EXPECT_TRUE(command.has(Kw::Ready));
    ASSERT_EQ(parse("Put vid Window At 0 38 640 480", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::WindowAt).rect.top, 38);
    EXPECT_EQ(command.get(Kw::WindowAt).rect.height, 480);
}

TEST(Parser, MultiWordKeywordsTakeTheLongestMatch)
{
    MciCommand command;
    ASSERT_EQ(parse("status vid nominal frame rate", command), MCI_OK);
    EXPECT_TRUE(command.has(Kw::NominalFrameRate));
    EXPECT_FALSE(command.has(Kw::FrameRate));
    ASSERT_EQ(parse("window vid state show normal", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::State).text, "show normal");
    ASSERT_EQ(parse("window vid state show", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::State).text, "show");
    // A phrase cut short is not its first word.
    EXPECT_EQ(parseCode("status vid nominal frame"), MCIERR_UNRECOGNIZED_KEYWORD);
}

TEST(Parser, TypedValues)
{
    MciCommand command;
    ASSERT_EQ(parse("seek vid to end", command), MCI_OK);
    EXPECT_TRUE(command.get(Kw::To).isEnd);
    ASSERT_EQ(parse("seek vid to -12", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::To).number, -12);
    ASSERT_EQ(parse("put vid destination at -160 -120 1280 960", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::DestinationAt).rect.left, -160);
    EXPECT_EQ(command.get(Kw::DestinationAt).rect.width, 1280);
    ASSERT_EQ(parse("window vid handle 94371843", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::Handle).number, 94371843);
    ASSERT_EQ(parse("window vid handle default", command), MCI_OK);
    EXPECT_TRUE(command.get(Kw::Handle).isDefault);
    ASSERT_EQ(parse("step vid reverse by 5 wait", command), MCI_OK);
    EXPECT_TRUE(command.has(Kw::Reverse));
    EXPECT_EQ(command.get(Kw::By).number, 5);
}

TEST(Parser, BadNumbersAreRefused)
{
    EXPECT_EQ(parseCode("seek vid to 12x"), MCIERR_BAD_INTEGER);
    EXPECT_EQ(parseCode("seek vid to 1.5"), MCIERR_BAD_INTEGER);
    EXPECT_EQ(parseCode("seek vid to 99999999999999999999"), MCIERR_BAD_INTEGER);
    EXPECT_EQ(parseCode("put vid destination at 0 0 640 4x0"), MCIERR_BAD_INTEGER);
    EXPECT_EQ(parseCode("put vid destination at 0 0 640 99999999999"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(parseCode("window vid handle -3"), MCIERR_OUTOFRANGE);
}

TEST(Parser, SyntaxErrorsHaveTheirOwnCodes)
{
    EXPECT_EQ(parseCode(""), MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(parseCode("   "), MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(parseCode("rewind vid"), MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(parseCode("\"play\" vid"), MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(parseCode("play"), MCIERR_MISSING_DEVICE_NAME);
    EXPECT_EQ(parseCode("play vid backwards"), MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(parseCode("status vid \"mode\""), MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(parseCode("seek vid to"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(parseCode("put vid destination at 0 0 640"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(parseCode("open cdaudio alias"), MCIERR_MISSING_STRING_ARGUMENT);
    EXPECT_EQ(parseCode("status vid"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(parseCode("status vid mode position"), MCIERR_FLAGS_NOT_COMPATIBLE);
    EXPECT_EQ(parseCode("play vid reverse reverse"), MCIERR_DUPLICATE_FLAGS);
    EXPECT_EQ(parseCode("set vid time format seconds"), MCIERR_BAD_CONSTANT);
    EXPECT_EQ(parseCode("window vid state sideways"), MCIERR_BAD_CONSTANT);
}

TEST(Parser, RestOfLineTakesAPathWithBlanksWhole)
{
    MciCommand command;
    ASSERT_EQ(parse("capture vid as /home/u/my caps/wcap0001.bmp", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::As).text, "/home/u/my caps/wcap0001.bmp");
    ASSERT_EQ(parse("capture vid as \"/home/u/my caps/wcap0002.bmp\"", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::As).text, "/home/u/my caps/wcap0002.bmp");
    EXPECT_EQ(parseCode("capture vid as"), MCIERR_MISSING_STRING_ARGUMENT);
}

TEST(Parser, CommandsLongerThan254CharactersAreReadWhole)
{
    const std::string dir = "/" + std::string(300, 'd') + "/";
    MciCommand command;
    ASSERT_EQ(parse("open \"" + dir + "clip.avi\" alias vid", command), MCI_OK);
    EXPECT_EQ(command.target, dir + "clip.avi");
    EXPECT_EQ(command.get(Kw::Alias).text, "vid");
    ASSERT_EQ(parse("capture vid as " + dir + "wcap0001.bmp", command), MCI_OK);
    EXPECT_EQ(command.get(Kw::As).text, dir + "wcap0001.bmp");
}

TEST(Parser, EveryCommandAcceptsWaitAndNotify)
{
    for (const CommandDecl& decl : MciCommandTable::standard().commands()) {
        const std::string item = decl.needsItem ? (decl.name == "sysinfo" ? " quantity"
                                                   : decl.name == "set"   ? " time format frames"
                                                                          : " " + decl.keywords[0].phrase)
                                                : "";
        EXPECT_EQ(parseCode(decl.name + " vid" + item + " wait notify"), MCI_OK) << decl.name;
    }
}
