// CUPS status lines: their text, whole lines even after an open log line,
// one PAGE line per card copy, and one ERROR line per lost page.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "input/MonoReaders.h"
#include "pipeline/DocumentSupervisor.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/GDataOptions.h"

using namespace tavgdi;
using namespace TavGdiOptions;

namespace {

dword discard(void*, void*, dword size)
{
    return size;
}

// Only the status lines of a captured standard error.
std::string statusLines(const std::string& err)
{
    std::string out;
    size_t at = 0;
    while (at < err.size()) {
        size_t end = err.find('\n', at);
        if (end == std::string::npos)
            end = err.size();
        const std::string line = err.substr(at, end - at);
        for (const char* prefix : {"PAGE: ", "INFO: ", "ERROR: "})
            if (line.rfind(prefix, 0) == 0)
                out += line + "\n";
        at = end + 1;
    }
    return out;
}

class Status : public ::testing::Test {
protected:
    // Each test captures a fresh standard error.
    void SetUp() override
    {
        StatusReporter::reset();
        InternalLog::isAtLineStart = true;
    }
    void TearDown() override { StatusReporter::reset(); }
};

} // namespace

TEST_F(Status, CardsAndCopiesAreCountedAsPages)
{
    testing::internal::CaptureStderr();
    StatusReporter::cardSent(1);
    StatusReporter::cardSent(3);
    StatusReporter::cardSent(0); // never fewer than one copy
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "INFO: Printing card 1\nPAGE: 1 1\n"
              "INFO: Printing card 2\nPAGE: 2 1\nPAGE: 3 1\nPAGE: 4 1\n"
              "INFO: Printing card 3\nPAGE: 5 1\n");
    EXPECT_EQ(StatusReporter::cardsSent(), 3);
    EXPECT_EQ(StatusReporter::pagesPrinted(), 5);
}

TEST_F(Status, StatusStartsItsOwnLineAfterAnOpenLogLine)
{
    testing::internal::CaptureStderr();
    InternalLog::print(L"[TAVRIN UNIDRIVER] no line end");
    StatusReporter::cardSent(1);
    InternalLog::print(L"closed\r\n");
    StatusReporter::jobError("stop");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[TAVRIN UNIDRIVER] no line end\nINFO: Printing card 1\nPAGE: 1 1\nclosed\r\nERROR: stop\n");
}

TEST_F(Status, FailuresNameThePageAndTheirCause)
{
    struct Case {
        int page;
        const char* noted;   // cause noted by the face, or null
        const char* fallback;
        const char* line;
    } cases[] = {
        {2, nullptr, "it failed", "ERROR: Page 2 was not printed: it failed\n"},
        {3, "the custom black picture is missing", "it failed",
         "ERROR: Page 3 was not printed: the custom black picture is missing\n"},
        {0, nullptr, "it failed", "ERROR: A card was not printed: it failed\n"},
        // A cause's text cannot add a status line of its own.
        {4, "file C:\\k.bmp\nPAGE: 9 1\r\x1b", "it failed",
         "ERROR: Page 4 was not printed: file C:\\\\k.bmp\\nPAGE: 9 1\\r\\x1b\n"},
    };
    for (const Case& c : cases) {
        StatusReporter::reset();
        StatusReporter::setCurrentPage(c.page);
        if (c.noted != nullptr) {
            StatusReporter::noteFailureCause(c.noted);
            StatusReporter::noteFailureCause("a later cause loses");
        }
        testing::internal::CaptureStderr();
        StatusReporter::faceFailed(c.fallback);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line) << c.page;
    }
}

TEST_F(Status, APageIsReportedOnceAndACauseDoesNotOutliveItsPage)
{
    testing::internal::CaptureStderr();
    StatusReporter::setCurrentPage(1);
    StatusReporter::pageError(1, "cannot be read");
    StatusReporter::faceFailed("fallback"); // same page: already told
    StatusReporter::noteFailureCause("stale cause");
    StatusReporter::setCurrentPage(2);
    StatusReporter::faceFailed("fallback");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: Page 1 cannot be read\nERROR: Page 2 was not printed: fallback\n");
}

// The document supervisor reports each sent card with its copies, and a
// failed face once.
TEST_F(Status, DocumentSupervisorReportsSentCardsAndFailedFaces)
{
    GDataOptions doc, card, front, back;
    for (GDataOptions* face : {&front, &back}) {
        face->setOption(DpiX, 300);
        face->setOption(DpiY, 300);
        face->setOption(PaperSizeW, 1016);
        face->setOption(PaperSizeH, 648);
        face->setOption(OutputDeviceType, DeviceColor);
    }
    ExternalBufferAggregator aggregator;
    StdLGRectManager rects;
    rects.create(nullptr);
    MediaDefinition media(300, 300, 1016, 648);
    std::vector<byte> page(1016 * 648 * 3, 255);

    testing::internal::CaptureStderr();
    {
        DocumentSupervisor ds(&doc, &card, &front, &back, nullptr, &aggregator, &rects, &media);
        ds.setCopyCount(2);
        StatusReporter::setCurrentPage(1);
        EXPECT_TRUE(ds.newFace(discard, nullptr, page.data(), page.size(), 1016, 648, 24, false));
        StatusReporter::setCurrentPage(2);
        EXPECT_FALSE(ds.newFace(discard, nullptr, nullptr, 0, 0, 0, 24, false));
        StatusReporter::setCurrentPage(3);
        EXPECT_TRUE(ds.newFace(discard, nullptr, page.data(), page.size(), 1016, 648, 24, true));
    }
    EXPECT_EQ(statusLines(testing::internal::GetCapturedStderr()),
              "INFO: Printing card 1\nPAGE: 1 1\nPAGE: 2 1\n"
              "ERROR: Page 2 was not printed: its picture could not be turned into printer panels\n"
              "INFO: Printing card 2\nPAGE: 3 1\nPAGE: 4 1\n");
}
