#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "InternalLog.h"

using tavgdi::InternalLog;

// A value cannot end its log line: its control bytes and backslashes are
// escaped, whatever conversion brings it, while the format's own bytes (line
// ends, tabs) and every other argument stay as they are.
TEST(InternalLog, ValuesAreEscapedAndTheFormatKept)
{
    const std::string longValue = std::string(9000, 'v') + "\n";
    struct Case {
        std::function<void()> print;
        std::string expected;
    } cases[] = {
        {[] { InternalLog::print(L"[A] %S\r\n", "a\nPAGE: 1 1"); }, "[A] a\\nPAGE: 1 1\r\n"},
        {[] { InternalLog::print(L"%s|%s\r\n", "x\r\x1b\x7f\\\t", "ok"); }, "x\\r\\x1b\\x7f\\\\\\t|ok\r\n"},
        {[] { InternalLog::print(L"%d %lx %S %u %.1f\t%ld\r\n", -4, 0xabcUL, "\n", 7u, 2.5, -9L); },
         "-4 abc \\n 7 2.5\t-9\r\n"},
        // Width and precision apply to the value before it is escaped.
        {[] { InternalLog::print(L"[%-4s|%.2s|%*s]\r\n", "\t", "\n\n\n", 3, "\x01"); }, "[\\t   |\\n\\n|  \\x01]\r\n"},
        {[] { InternalLog::print(L"%c%c%%%c\r\n", '\n', 0, 'z'); }, "\\n\\x00%z\r\n"},
        {[] { InternalLog::print(L"%ls %s\r\n", L"wide", "\x1b"); }, "wide \\x1b\r\n"},
        // Beyond the formatting buffer: escaped, then cut to the message size.
        {[&] { InternalLog::print(L"%s\r\n", longValue.c_str()); }, std::string(InternalLog::MaxMessageSize - 1, 'v')},
        {[] { InternalLog::print(L"caf\u00e9 %s %S %d%%\r\n", "caf\xc3\xa9", "100% sure", 5); },
         "caf\xc3\xa9 caf\xc3\xa9 100% sure 5%\r\n"},
        // Formats longer than the short-format area take the long way.
        {[] { InternalLog::print((std::wstring(600, L'-') + L"%S|%d\r\n").c_str(), "\n", 7); },
         std::string(600, '-') + "\\n|7\r\n"},
        {[] {
             InternalLog::isEnable = false;
             InternalLog::print(L"hidden\r\n");
             InternalLog::isEnable = true;
         },
         ""},
    };
    for (const Case& c : cases) {
        InternalLog::isAtLineStart = true;
        testing::internal::CaptureStderr();
        c.print();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.expected);
    }
    InternalLog::isAtLineStart = true;
}

// CUPS cuts a line of standard error at 2047 bytes and reads the rest as a
// line of its own: no line, however its messages add up, grows beyond
// MaxLineBytes. A message that does not fit after an open line starts a new
// one; within a message the bytes beyond are left out up to the line end.
TEST(InternalLog, LinesStayShorterThanCupsReadsWhole)
{
    const size_t Max = InternalLog::MaxLineBytes;
    std::string wide;
    for (int i = 0; i < 1500; ++i)
        wide += "\xc3\xa9";
    InternalLog::isAtLineStart = true;
    testing::internal::CaptureStderr();
    InternalLog::print(L"%s", std::string(2000, 'x').c_str()); // leaves the line open
    InternalLog::print(L"%s\r\nnext\r\n", std::string(100, 'y').c_str());
    InternalLog::print(L"%s\r\n", wide.c_str()); // 2 bytes a character
    const std::string text = "a\n" + std::string(Max + 5, 'b') + "\nc";
    InternalLog::write(text.data(), text.size());
    EXPECT_FALSE(InternalLog::isAtLineStart);
    InternalLog::write("\n", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(2000, 'x') + "\n" + std::string(100, 'y') +
                                                          "\r\nnext\r\n" + wide.substr(0, Max) + "\n" + "a\n" +
                                                          std::string(Max, 'b') + "\nc\n");
    EXPECT_TRUE(InternalLog::isAtLineStart);
}
