#include <gtest/gtest.h>

#include "tavrinerror.h"

TEST(FilterLog, EachLevelWritesOnePrefixedLine)
{
    testing::internal::CaptureStderr();
    info("res : %d", 0);
    fatal("%s", "stop");
    debug("%d%%", 5);
    error("x");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ZEZ2O1 INFO: res : 0\nZEZ2O1 FATAL: stop\nZEZ2O1 DEBUG: 5%\nZEZ2O1 ERROR: x\n");
}
