#include <gtest/gtest.h>

#include <string>

#include "InternalLog.h"
#include "tavrinerror.h"

// Each call is one line: the arguments' line ends and control bytes are
// escaped, and a line longer than CUPS reads whole is cut.
TEST(FilterLog, ArgumentsCannotStartALineOfTheirOwn)
{
    tavgdi::InternalLog::isAtLineStart = true;
    testing::internal::CaptureStderr();
    info("# ARG(%d) : %s", 3, "Card\nPAGE: 999 1\r\x1b");
    debug("key:%s value:%s", "IFBlackCustom", "x\nPPD: DefaultGRibbonType=RM_KO");
    info("%s", std::string(5000, 'z').c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ZEZ2O1 INFO: # ARG(3) : Card\\nPAGE: 999 1\\r\\x1b\n"
              "ZEZ2O1 DEBUG: key:IFBlackCustom value:x\\nPPD: DefaultGRibbonType=RM_KO\n"
              "ZEZ2O1 INFO: " +
                  std::string(tavgdi::InternalLog::MaxLineBytes - 13, 'z') + "\n");
}
