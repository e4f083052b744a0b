// The status lines CUPS reads from a whole filter run: a PAGE and an INFO
// line per printed card, an ERROR line naming every page that was lost.
#include <gtest/gtest.h>

#include "FilterRun.h"
#include "TestRaster.h"

using namespace cr80test;

namespace {

// The lines of standard error CUPS takes as status, in order.
std::string statusLines(const std::string& err)
{
    std::string out;
    size_t at = 0;
    while (at < err.size()) {
        size_t end = err.find('\n', at);
        if (end == std::string::npos)
            end = err.size();
        const std::string line = err.substr(at, end - at);
        for (const char* prefix : {"PAGE: ", "INFO: ", "ERROR: ", "WARNING: "})
            if (line.rfind(prefix, 0) == 0)
                out += line + "\n";
        at = end + 1;
    }
    return out;
}

RawPage oneBitPage()
{
    RawPage page = rawPage(patternImage(1016, 648));
    page.header.cupsBitsPerColor = 1;
    page.header.cupsBitsPerPixel = 1;
    page.header.cupsBytesPerLine = 127;
    page.data.resize(127 * 648);
    return page;
}

} // namespace

TEST(FilterStatus, EveryPrintedCardAndEveryLostPageIsToldToCups)
{
    const RasterImage card = patternImage(1016, 648);
    struct Case {
        const char* name;
        std::string raster;
        std::string options;
        std::string expected;
        size_t minimumOutput; // bytes of printer stream at least
    } cases[] = {
        {"two cards", sampleRaster(2), "",
         "INFO: Printing card 1\nPAGE: 1 1\nINFO: Printing card 2\nPAGE: 2 1\n", 100000},
        {"empty job", "", "",
         "ERROR: Page 1 cannot be read: the job holds no readable page (the print data is empty or damaged)\n", 0},
        {"one-bit page after a good one", rawRasterOf({rawPage(card), oneBitPage()}), "",
         "INFO: Printing card 1\nPAGE: 1 1\n"
         "ERROR: Page 2 cannot be printed: it is not an 8-bit RGB page (1016x648 dots, 1 bits per colour, 1 bits "
         "per pixel); the queue must use the card printer's PPD\n",
         100000},
        {"missing custom black picture", rasterOf({card}), "FBlackManagement=BMPBLACK IFBlackCustom=nonexistent.bmp",
         "ERROR: Page 1 was not printed: the custom black picture chosen for it (IFBlackCustom) cannot be read\n", 0},
    };
    for (const Case& c : cases) {
        FilterJob job;
        job.stdinBytes = c.raster;
        job.options = c.options;
        ProcessResult r = runFilter(job);
        ASSERT_TRUE(r.exitedWith(0)) << c.name << "\n" << r.err.substr(0, 2000);
        EXPECT_EQ(statusLines(r.err), c.expected) << c.name;
        EXPECT_GE(r.out.size(), c.minimumOutput) << c.name;
        if (c.minimumOutput == 0) {
            EXPECT_EQ(r.out, "") << c.name;
        }
    }
}
