// CUPS status lines: their text, whole lines even after an open log line,
// one PAGE line per card copy, and one ERROR line per lost page.
#include <gtest/gtest.h>

#include <vector>

#include "InternalLog.h"
#include "pipeline/StatusReporter.h"

using namespace tavgdi;

namespace {

class Status : public ::testing::Test {
protected:
    // Each test captures a fresh standard error.
    void SetUp() override { InternalLog::isAtLineStart = true; }
    StatusReporter status; // a fresh job's
};

std::vector<std::string> sunk;
void keep(const std::string& line)
{
    sunk.push_back(line);
}

} // namespace

TEST_F(Status, CardsAndCopiesAreCountedAsPages)
{
    testing::internal::CaptureStderr();
    status.cardSent(1);
    status.cardSent(3);
    status.cardSent(0); // never fewer than one copy
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "INFO: Printing card 1\nPAGE: 1 1\n"
                                                      "INFO: Printing card 2\nPAGE: 2 1\nPAGE: 3 1\nPAGE: 4 1\n"
                                                      "INFO: Printing card 3\nPAGE: 5 1\n");
    EXPECT_EQ(status.cardsSent(), 3);
    EXPECT_EQ(status.pagesPrinted(), 5);
}

TEST_F(Status, StatusStartsItsOwnLineAfterAnOpenLogLine)
{
    testing::internal::CaptureStderr();
    InternalLog::print(L"[TAVRIN UNIDRIVER] no line end");
    status.cardSent(1);
    InternalLog::print(L"closed\r\n");
    status.jobError("stop");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[TAVRIN UNIDRIVER] no line end\nINFO: Printing card 1\nPAGE: 1 1\nclosed\r\nERROR: stop\n");
}

TEST_F(Status, APageIsReportedOnceAndACauseDoesNotOutliveItsPage)
{
    testing::internal::CaptureStderr();
    status.setCurrentPage(1);
    status.pageError(1, "cannot be read");
    status.faceFailed("fallback"); // same page: already told
    status.noteFailureCause("stale cause");
    status.setCurrentPage(2);
    status.faceFailed("fallback");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: Page 1 cannot be read\nERROR: Page 2 was not printed: fallback\n");
}

// Each job has its own counts; a job with a sink hands its lines there and
// writes nothing on standard error.
TEST_F(Status, JobsCountApartAndASinkTakesTheLines)
{
    sunk.clear();
    StatusReporter other(keep);
    testing::internal::CaptureStderr();
    status.cardSent(2);
    other.cardSent(1);
    other.streamFailed(nullptr);
    other.cardSent(1); // the stream is lost: no longer counted
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "INFO: Printing card 1\nPAGE: 1 1\nPAGE: 2 1\n");
    EXPECT_EQ(sunk, (std::vector<std::string>{"INFO: Printing card 1", "PAGE: 1 1",
                                              "ERROR: The printer stream could not be written; the job was "
                                              "stopped and the cards after the last one counted were not printed"}));
    EXPECT_EQ(status.pagesPrinted(), 2);
    EXPECT_EQ(other.pagesPrinted(), 1);
    EXPECT_FALSE(status.isStreamLost());
    EXPECT_TRUE(other.isStreamLost());
}
