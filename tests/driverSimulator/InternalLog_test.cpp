#include <gtest/gtest.h>

#include "InternalLog.h"

using tavgdi::InternalLog;

TEST(InternalLog, FormatsNarrowStringsAndKeepsPercentSigns)
{
    testing::internal::CaptureStderr();
    InternalLog::print(L"[A] %S and %s\r\n", "one", "two");
    InternalLog::print(L"%S\r\n", "100% sure");
    InternalLog::print(L"%d%%\r\n", 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[A] one and two\r\n100% sure\r\n5%\r\n");
}

TEST(InternalLog, NonAsciiTextIsWrittenAsUtf8)
{
    testing::internal::CaptureStderr();
    InternalLog::print(L"caf\u00e9 %s\r\n", "d\xc3\xa9j\xc3\xa0");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "caf\xc3\xa9 d\xc3\xa9j\xc3\xa0\r\n");
}

TEST(InternalLog, LongMessagesAreCut)
{
    std::string big(5000, 'x');
    testing::internal::CaptureStderr();
    InternalLog::print(L"%s", big.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr().size(), size_t(InternalLog::MaxMessageSize - 1));
}

TEST(InternalLog, DisabledLogWritesNothing)
{
    testing::internal::CaptureStderr();
    InternalLog::isEnable = false;
    InternalLog::print(L"hidden\r\n");
    InternalLog::isEnable = true;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Formats longer than the short-format area take the long way, %S included.
TEST(InternalLog, LongFormatsAndMessagesAtTheLimit)
{
    const std::wstring pad(600, L'-');
    testing::internal::CaptureStderr();
    InternalLog::print((pad + L"%S|%d\r\n").c_str(), "text", 7);
    const std::string fits(InternalLog::MaxMessageSize - 1, 'y');
    InternalLog::print(L"%s", fits.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(600, '-') + "text|7\r\n" + fits);
}
