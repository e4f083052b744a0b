#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "settings/PassthroughOptionsParser.h"

using tavgdi::IPassthroughOptionsParser;
using tavgdi::PassthroughOptionsParser;
namespace PT = PrintingTags;

namespace {

// Position, priority, eternal, command.
typedef std::tuple<PT::PrintingTagsType, word, bool, std::string> Entry;

// Every entry the parser yields, read from an exactly-sized heap copy.
std::vector<Entry> parseAll(IPassthroughOptionsParser& parser, const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size()]);
    std::memcpy(copy.get(), text.data(), text.size());
    std::vector<Entry> entries;
    if (!parser.begin(copy.get(), static_cast<int>(text.size())))
        return entries;
    while (parser.next())
        entries.emplace_back(parser.getPrintingTag(), parser.getPriority(), parser.getLifeTime(),
                             std::string(parser.getCommand(), static_cast<size_t>(parser.getCommandSize())));
    EXPECT_FALSE(parser.next()) << "a finished parse stays finished";
    EXPECT_EQ(parser.getCommand(), nullptr);
    return entries;
}

std::vector<Entry> parseAll(const std::string& text)
{
    PassthroughOptionsParser parser;
    return parseAll(parser, text);
}

} // namespace

TEST(PassthroughOptionsParser, Grammar)
{
    const std::string digits255 = std::string(254, '0') + "7";
    const std::string digits256 = std::string(255, '0') + "7";
    struct Case {
        std::string text;
        std::vector<Entry> expected;
    } cases[] = {
        {"Pc;k", {{PT::DocHead, 0, true, "Pc;k"}}},
        {"[FH,100,O]Pc;k;=;10|[ct]Ss",
         {{PT::FrontFaceHead, 100, false, "Pc;k;=;10"}, {PT::CardTail, 0, true, "Ss"}}},
        {"[FHX]a", {}},
        {"[XX]a", {}},
        {"[FH,5]a", {{PT::FrontFaceHead, 5, true, "a"}}},
        {"[FH,]a", {{PT::FrontFaceHead, 0, true, "a"}}},
        {"[FH,5,a]a", {{PT::FrontFaceHead, 5, true, "a"}}},
        {"[FH,5,X]a", {}},
        {"[FH,5,o,x]a", {}},
        {"[FH", {}},
        {"[FH,5,o cmd", {}},
        {"[DT]   ", {}},
        {"a||b", {{PT::DocHead, 0, true, "a"}}},
        {"a|", {{PT::DocHead, 0, true, "a"}}},
        {"|a", {}},
        {" \t\r\n\v\f", {}},
        {"  \t a b  \n|  c \t", {{PT::DocHead, 0, true, "a b"}, {PT::DocHead, 0, true, "c"}}},
        {" \n[ bt ,\t7 , A ]  cmd x ", {{PT::BackFaceTail, 7, true, "cmd x"}}},
        {"x[y],z]|w", {{PT::DocHead, 0, true, "x[y],z]"}, {PT::DocHead, 0, true, "w"}}},
        {"[FH]]x", {{PT::FrontFaceHead, 0, true, "]x"}}},
        {"[FH,65537]x", {{PT::FrontFaceHead, 1, true, "x"}}},
        {"[FH,100000000000000000000]x", {{PT::FrontFaceHead, 0, true, "x"}}},
        {"[FH," + digits255 + "]x", {{PT::FrontFaceHead, 7, true, "x"}}},
        {"[FH," + digits256 + "]x", {}},
        {"[" + std::string(256, 'F') + "]x", {}},
        {"[dh]1|[dt]2|[ch]3|[ct]4|[fh]5|[ft]6|[bh]7|[bt]8",
         {{PT::DocHead, 0, true, "1"}, {PT::DocTail, 0, true, "2"}, {PT::CardHead, 0, true, "3"},
          {PT::CardTail, 0, true, "4"}, {PT::FrontFaceHead, 0, true, "5"}, {PT::FrontFaceTail, 0, true, "6"},
          {PT::BackFaceHead, 0, true, "7"}, {PT::BackFaceTail, 0, true, "8"}}},
        {std::string("a\0b|c", 5), {{PT::DocHead, 0, true, std::string("a\0b", 3)}, {PT::DocHead, 0, true, "c"}}},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases)
        EXPECT_EQ(parseAll(c.text), c.expected) << "text: " << c.text;
    testing::internal::GetCapturedStderr();
}

TEST(PassthroughOptionsParser, OtherPunctuationAndReuse)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<IPassthroughOptionsParser> byFactory(TavFactory::FactoryIPassthroughOptionsParser());
    EXPECT_EQ(parseAll(*byFactory, "[BH,3,o]k"), (std::vector<Entry>{{PT::BackFaceHead, 3, false, "k"}}));
    PassthroughOptionsParser parser('#', '{', '}', ';');
    EXPECT_EQ(parseAll(parser, "{fh;5;o}a|b#[FH]c"),
              (std::vector<Entry>{{PT::FrontFaceHead, 5, false, "a|b"}, {PT::DocHead, 0, true, "[FH]c"}}));
    parser.setPunctuation('|', '[', ']', ',');
    EXPECT_EQ(parseAll(parser, "[CT,2]x"), (std::vector<Entry>{{PT::CardTail, 2, true, "x"}}));
    testing::internal::GetCapturedStderr();
}

// Random texts never crash, never point outside the text, and every command
// honours the grammar.
TEST(PassthroughOptionsParser, FuzzStaysInsideTheText)
{
    static const char alphabet[] = "[],|||  \t\nFHDTCBOoAa0123456789xX";
    std::mt19937 rng(20240611u);
    const bool wasEnabled = tavgdi::InternalLog::isEnable;
    tavgdi::InternalLog::isEnable = false;
    PassthroughOptionsParser parser;
    for (int round = 0; round < 4000; ++round) {
        const size_t length = 1 + rng() % 48;
        std::unique_ptr<char[]> text(new char[length]);
        for (size_t i = 0; i < length; ++i)
            text[i] = (rng() % 4 == 0) ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % (sizeof(alphabet) - 1)];
        ASSERT_TRUE(parser.begin(text.get(), static_cast<int>(length)));
        size_t entries = 0;
        while (parser.next()) {
            ASSERT_LE(++entries, length);
            const char* cmd = parser.getCommand();
            const int size = parser.getCommandSize();
            ASSERT_NE(cmd, nullptr);
            ASSERT_GE(size, 1);
            ASSERT_GE(cmd, text.get());
            ASSERT_LE(cmd + size, text.get() + length);
            EXPECT_FALSE(std::isspace(static_cast<unsigned char>(cmd[0])));
            EXPECT_FALSE(std::isspace(static_cast<unsigned char>(cmd[size - 1])));
            EXPECT_EQ(std::memchr(cmd, '|', static_cast<size_t>(size)), nullptr);
            EXPECT_LT(static_cast<int>(parser.getPrintingTag()), PT::PrintingTagsTypeSize);
        }
        EXPECT_FALSE(parser.next());
    }
    tavgdi::InternalLog::isEnable = wasEnabled;
}
