#include <gtest/gtest.h>

#include <chrono>

#include "FilterRun.h"
#include "TestRaster.h"

using cr80test::ProcessResult;
using cr80test::ProcessRequest;
using cr80test::runProcess;

namespace {

ProcessRequest shell(const std::string& script)
{
    ProcessRequest request;
    request.argv = {"/bin/sh", "-c", script};
    request.timeoutMs = 20000;
    return request;
}

}  // namespace

TEST(RunProcess, CapturesOutputErrorAndExitStatus)
{
    const ProcessResult r = runProcess(shell("echo out; echo err >&2; printf 'a\\0b'; exit 3"));
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.out, std::string("out\na\0b", 7));
    EXPECT_EQ(r.err, "err\n");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(r.timedOut);
}

TEST(RunProcess, FeedsLargeStandardInputWhileReadingOutput)
{
    // Bigger than any pipe buffer, echoed back on both outputs at once.
    const std::string input = cr80test::sampleRaster();
    ProcessRequest request = shell("tee /dev/stderr");
    request.stdinBytes = input;
    const ProcessResult r = runProcess(request);
    ASSERT_TRUE(r.exitedWith(0)) << r.startError;
    EXPECT_TRUE(r.out == input);
    EXPECT_TRUE(r.err == input);

    // A child that ignores its input does not hurt the caller.
    request = shell("exit 0");
    request.stdinBytes = std::string(4 << 20, 'x');
    EXPECT_TRUE(runProcess(request).exitedWith(0));
}

TEST(RunProcess, EnvironmentChangesApply)
{
    setenv("CR80_TEST_INHERITED", "kept", 1);
    setenv("CR80_TEST_REMOVED", "there", 1);
    ProcessRequest request = shell("echo \"$CR80_TEST_INHERITED|${CR80_TEST_REMOVED-unset}|$CR80_TEST_NEW\"");
    request.env = {{"CR80_TEST_REMOVED", std::nullopt}, {"CR80_TEST_NEW", "a=b"}};
    EXPECT_EQ(runProcess(request).out, "kept|unset|a=b\n");
    unsetenv("CR80_TEST_INHERITED");
    unsetenv("CR80_TEST_REMOVED");
}

TEST(RunProcess, HangingChildIsKilledAtTheTimeLimit)
{
    // The background sleeper keeps the output pipe open after the shell is gone.
    ProcessRequest request = shell("sleep 30 & sleep 30");
    request.timeoutMs = 300;
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = runProcess(request);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.signal, SIGKILL);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(RunProcess, SignalsAndStartFailuresAreReported)
{
    const ProcessResult killed = runProcess(shell("kill -TERM $$"));
    EXPECT_EQ(killed.signal, SIGTERM);

    ProcessRequest missing;
    missing.argv = {"/nonexistent/program"};
    const ProcessResult r = runProcess(missing);
    EXPECT_FALSE(r.started);
    EXPECT_NE(r.startError.find("No such file"), std::string::npos) << r.startError;
    EXPECT_FALSE(runProcess(ProcessRequest{}).started);
}

TEST(FilterRun, BuildsTheCupsCommandLineAndEnvironment)
{
    cr80test::FilterJob job;
    job.title = "My card";
    job.options = "Ribbon=YMCKO";
    EXPECT_EQ(cr80test::filterArgs(job), (std::vector<std::string>{"1", "user", "My card", "1", "Ribbon=YMCKO"}));
    job.file = "/tmp/x.ras";
    EXPECT_EQ(cr80test::filterArgs(job).back(), "/tmp/x.ras");
}

TEST(MaskPointers, ReplacesPointerValuesOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"PPD load (ptr: 55d0c8a1b2c0, src:/x.ppd)", "PPD load (ptr: <ptr>, src:/x.ppd)"},
        {"[A::startDoc] (prt:55d0c8a1b2c0, pdevobj:7ffc00112233)\r\n", "[A::startDoc] (prt:<ptr>, pdevobj:<ptr>)\r\n"},
        {"Cups Header Ptr: 7ffd0000", "Cups Header Ptr: <ptr>"},
        {"PTR: 5a0 face:1\t\tRECT: 5b0\r\n", "PTR: <ptr> face:1\t\tRECT: <ptr>\r\n"},
        {"Copy Count - DevMode: 0", "Copy Count - DevMode: <ptr>"},
        {"(555555555555) (123456789)", "(<ptr>) (<ptr>)"},
        {"at 0x7f00AbC1 and 0X1f", "at 0x<ptr> and 0X<ptr>"},
        {"dump_55d0c8a1b2c0.bin", "dump_<ptr>.bin"},
        // Left alone: numbers and words that only look like hex.
        {"Band ID (5) size (614400) (face) (add)", "Band ID (5) size (614400) (face) (add)"},
        {"WARNING - x (driverSimulator/CardSupervisor::123)", "WARNING - x (driverSimulator/CardSupervisor::123)"},
        {"ptr:nothing 10x5 myptr:5", "ptr:nothing 10x5 myptr:5"},
        {"ptr:abcdefgh", "ptr:abcdefgh"},
    };
    for (const auto& [in, want] : cases)
        EXPECT_EQ(cr80test::maskPointers(in), want) << in;
}
