// The whole filter as CUPS runs it: settings from the command line and the
// PPD, and the framed printer stream on standard output.
#include <gtest/gtest.h>

#include <regex>

#include "FilterRun.h"
#include "TestRaster.h"

using namespace cr80test;

namespace {

std::string cmd(const std::string& text)
{
    return "\x1b" + text + "\r";
}

FilterJob job(const std::string& options, unsigned pages = 1)
{
    FilterJob j;
    j.options = options;
    j.ppd = std::string(CR80_TEST_DATA_DIR) + "/test.ppd";
    j.stdinBytes = sampleRaster(pages);
    return j;
}

} // namespace

TEST(Stream, SettingsAreReadInTableOrderFromOptionsThenPpd)
{
    ProcessResult r = runFilter(job("GHighQualityMode=ON"));
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    std::regex line(R"(ZEZ2O1 DEBUG: (LOCAL   OPTION|DEFAULT OPTION|NO      OPTION) - key:(\w+) value:)");
    std::vector<std::string> keys;
    for (auto it = std::sregex_iterator(r.err.begin(), r.err.end(), line); it != std::sregex_iterator(); ++it)
        keys.push_back((*it)[1].str().substr(0, 5) + " " + (*it)[2].str());
    ASSERT_GE(keys.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 8),
              (std::vector<std::string>{"DEFAU Resolution", "DEFAU PaperSize", "NO    IFormCustomWidth",
                                        "NO    IFormCustomHeight", "NO    ISendBlankPanel", "LOCAL GHighQualityMode",
                                        "NO    IGMonoReaderType", "DEFAU FBlackManagement"}));
    EXPECT_EQ(keys.back(), "NO    IGMonochromeSpeed");
}

TEST(Stream, OneSidedCardsAreFramedAndTheHeadIsWrittenOnce)
{
    ProcessResult r = runFilter(job("", 2));
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    const std::string start = cmd("Psync;1;0") + "<HEADER>" + cmd("Psmgr;1") + cmd("Ppws;1767225600");
    EXPECT_EQ(r.out.substr(0, start.size()), start);
    EXPECT_EQ(count(r.out, "<HEADER>"), 1u);
    EXPECT_EQ(count(r.out, "<CARD>"), 2u);
    EXPECT_EQ(count(r.out, "<FACE>"), 2u);
    EXPECT_NE(r.out.find(cmd("Pr;0;t") + cmd("Pwres;300;300;0")), std::string::npos); // RC_YMCKO from the PPD
    EXPECT_NE(r.out.find("<DOC Duplex=0>"), std::string::npos);
    const std::string end = cmd("Psync;11;1") + "<END>" + cmd("Psync;11;0");
    EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end);
}

TEST(Stream, TwoSidedJobPairsFacesAndSendsAnOddLastFaceAlone)
{
    ProcessResult r = runFilter(job("GDuplexMode=DUPLEX_CC", 3));
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    EXPECT_NE(r.out.find("<DOC Duplex=1>"), std::string::npos);
    EXPECT_EQ(count(r.out, "<CARD>"), 2u);
    EXPECT_EQ(count(r.out, "<FACE>"), 3u);
    EXPECT_EQ(count(r.out, cmd("Sv")), 1u);
}

TEST(Stream, MagneticDataAndPassthroughCommandsTakeTheirPlaces)
{
    ProcessResult r = runFilter(job("Track1Data=ABC Track3Data=123 "
                                    "passthrough='[CH,15500,A]Hello|[DT,2000]Bye|[FT,5000,O]Once'",
                                    2));
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    // Magnetic data: front face head, after "Sr", before the level commands, on every card.
    EXPECT_EQ(count(r.out, cmd("Sr") + cmd("Dm;1;ABC") + cmd("Dm;3;123") + "\x1bPc;a;=;"), 2u);
    EXPECT_EQ(count(r.out, cmd("Psync;5;0") + cmd("Hello") + cmd("Ss")), 2u);
    EXPECT_EQ(count(r.out, cmd("Once")), 1u);
    // Document tail at priority 2000: before the end of the document (1000).
    EXPECT_NE(r.out.find(cmd("Psync;6;0") + cmd("Bye") + cmd("Psync;4;1")), std::string::npos);
}

TEST(Stream, RegistryReaderKindStillPrintsTheCard)
{
    ProcessResult r = runFilter(job("IGMonoReaderType=REG"));
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    EXPECT_EQ(count(r.out, "<CARD>"), 1u);
    EXPECT_NE(r.err.find("WARNING - (prt:"), std::string::npos);

    // A face asking for a custom picture then fails as for an unreadable file.
    r = runFilter(job("IGMonoReaderType=REG FBlackManagement=BMPBLACK IFBlackCustom=/tmp/k.bmp", 2));
    ASSERT_TRUE(r.exitedWith(0));
    EXPECT_EQ(count(r.out, "<CARD>"), 0u);
    EXPECT_EQ(count(r.err, "WARNING - Failed (reading external data)"), 2u);
}
