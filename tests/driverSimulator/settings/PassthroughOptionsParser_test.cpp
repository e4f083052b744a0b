#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "settings/PassthroughOptionsParser.h"

using tavgdi::PassthroughOptionsParser;
namespace PT = PrintingTags;

namespace {

// Position, priority, eternal, command.
typedef std::tuple<PT::PrintingTagsType, word, bool, std::string> Entry;

// Every entry the parser yields, read from an exactly-sized heap copy.
std::vector<Entry> parseAll(const std::string& text)
{
    PassthroughOptionsParser parser;
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

} // namespace

TEST(PassthroughOptionsParser, Grammar)
{
    const std::string digits255 = std::string(254, '0') + "7";
    const std::string digits256 = std::string(255, '0') + "7";
    struct Case {
        std::string text;
        std::vector<Entry> expected;
        // clang-format off
    } cases[] = {
        {"Pc;k", {{PT::DocHead, 0, true, "Pc;k"}}},
        {"[FHX]a", {}},
        {"[FH,5]a", {{PT::FrontFaceHead, 5, true, "a"}}},
        {"[FH,5,a]a", {{PT::FrontFaceHead, 5, true, "a"}}},
        {"[FH,5,X]a", {}},
        {"[FH,5,o,x]a", {}},
        {"[FH,5,o cmd", {}},
        {"a||b", {{PT::DocHead, 0, true, "a"}}},
        {"|a", {}},
        {"  \t a b  \n|  c \t", {{PT::DocHead, 0, true, "a b"}, {PT::DocHead, 0, true, "c"}}},
        {" \n[ bt ,\t7 , A ]  cmd x ", {{PT::BackFaceTail, 7, true, "cmd x"}}},
        {"x[y],z]|w", {{PT::DocHead, 0, true, "x[y],z]"}, {PT::DocHead, 0, true, "w"}}},
        {"[FH,65537]x", {{PT::FrontFaceHead, 1, true, "x"}}},
        {"[FH," + digits255 + "]x", {{PT::FrontFaceHead, 7, true, "x"}}},
        {"[FH," + digits256 + "]x", {}},
        {"[" + std::string(256, 'F') + "]x", {}},
        {"[dh]1|[dt]2|[ch]3|[ct]4|[fh]5|[ft]6|[bh]7|[bt]8",
         {{PT::DocHead, 0, true, "1"}, {PT::DocTail, 0, true, "2"}, {PT::CardHead, 0, true, "3"},
          {PT::CardTail, 0, true, "4"}, {PT::FrontFaceHead, 0, true, "5"}, {PT::FrontFaceTail, 0, true, "6"},
          {PT::BackFaceHead, 0, true, "7"}, {PT::BackFaceTail, 0, true, "8"}}},
        {std::string("a\0b|c", 5), {{PT::DocHead, 0, true, std::string("a\0b", 3)}, {PT::DocHead, 0, true, "c"}}},
    };
    // clang-format on
    testing::internal::CaptureStderr();
    for (const Case& c : cases)
        EXPECT_EQ(parseAll(c.text), c.expected) << "text: " << c.text;
    testing::internal::GetCapturedStderr();
}
