#pragma once
// A fixture that keeps the pipeline's log out of the test output and turns
// the log back to what it was after the test.

#include <gtest/gtest.h>

#include <utility>

#include "InternalLog.h"

namespace cr80test {

class QuietLog : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

} // namespace cr80test
