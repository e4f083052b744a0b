// The status lines CUPS reads from a whole filter run: the job's settings in
// one INFO line, a PAGE and an INFO line per printed card, an ERROR line
// naming every page that was lost, a WARNING line for every setting not
// honoured as given. Nothing else the filter writes starts with a prefix
// CUPS acts on, so these are all an administrator sees at LogLevel info.
#include <gtest/gtest.h>

#include <cstring>

#include "FilterRun.h"
#include "TestRaster.h"

using namespace cr80test;

namespace {

// The lines of standard error CUPS acts on (it compares the prefix at the
// start of the line; any other line goes to its log at debug level), in order.
std::string statusLines(const std::string& err)
{
    return cr80test::statusLines(err, {"EMERG:", "ALERT:", "CRIT:", "ERROR:", "WARNING:", "NOTICE:", "INFO:", "DEBUG:",
                                       "DEBUG2:", "PAGE:", "ATTR:", "STATE:", "PPD:", "CONTROL:"});
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
    const std::string Plain =
        "INFO: Card CR80 at 300x300 dpi, ribbon RC_YMCKO, one-sided, black: none, overlay: none, tracks: none\n";
    struct Case {
        const char* name;
        std::string raster;
        std::string options;
        std::string expected;
        size_t minimumOutput; // bytes of printer stream at least
    } cases[] = {
        {"two cards", sampleRaster(2), "",
         Plain + "INFO: Printing card 1\nPAGE: 1 1\nINFO: Printing card 2\nPAGE: 2 1\n", 100000},
        {"empty job", "", "",
         Plain + "ERROR: Page 1 cannot be read: the job holds no readable page (the print data is empty or "
                 "damaged)\n",
         0},
        {"one-bit page after a good one", rawRasterOf({rawPage(card), oneBitPage()}), "",
         Plain + "INFO: Printing card 1\nPAGE: 1 1\n"
                 "ERROR: Page 2 cannot be printed: it is not an 8-bit RGB page (1016x648 dots, 1 bits per colour, 1 "
                 "bits per pixel); the queue must use the card printer's PPD\n",
         100000},
        {"missing custom black picture", rasterOf({card}), "FBlackManagement=BMPBLACK IFBlackCustom=nonexistent.bmp",
         "INFO: Card CR80 at 300x300 dpi, ribbon RC_YMCKO, one-sided, black: picture, overlay: none, tracks: none\n"
         "ERROR: Page 1 was not printed: the custom black picture chosen for it (IFBlackCustom) cannot be read\n",
         0},
        // A two-sided card with the usual choices, CUPS's own option names
        // among them, and names the filter does not know (not an error).
        {"two-sided card", rasterOf({card, card}),
         "media=CR80 sides=two-sided-long-edge GDuplexType=DUPLEX_CM GRibbonType=RC_YMCKOK "
         "FBlackManagement=TEXTINBLACK IFTextRegion=10x20x300x100;10x400x900x600(200) BOverlayManagement=FULLVARNISH "
         "GMagT2Encoding=ISO2 Track2Data=1234 Track3Data=5678 job-uuid=urn:uuid:1 NoSuchSetting=7",
         "INFO: Card CR80 at 300x300 dpi, ribbon RC_YMCKOK, two-sided (front colour, back monochrome), black: front "
         "text regions (2), back none, overlay: front none, back full, tracks: 2, 3\n"
         "INFO: Printing card 1\nPAGE: 1 1\n",
         100000},
        // Mistaken choices print with what the warnings name.
        {"mistaken choices", rasterOf({card}),
         "GRibbonType=BOGUS Resolution=150dpi FBlackManagement=TEXTINBLACK IFTextRegion=10X20 "
         "BBlackManagement=TEXTINBLACK ISendBlankPanel=true FHalftoning=FLOYD GFeederPos=AUTO IGBlackSub=FF80",
         "WARNING: Resolution: \"150dpi\" is not one of its choices; 300x300 dpi is used instead\n"
         "WARNING: ISendBlankPanel: \"true\" is not one of its choices; OFF is used instead\n"
         "WARNING: GRibbonType: \"BOGUS\" is not one of its choices; RC_YMCKO is used instead\n"
         "WARNING: IFTextRegion: \"10X20\" cannot be read at character 3; that region and those before it are "
         "not used\n"
         "WARNING: FBlackManagement is TEXTINBLACK but the job gives no text region for the front: no text was "
         "extracted to the black panel (the regions are set with IFTextRegion)\n"
         "WARNING: IGBlackSub: \"FF80\" is not six hexadecimal digits; black is not replaced by a fixed colour\n"
         "INFO: Card CR80 at 300x300 dpi, ribbon RC_YMCKO, one-sided, black: text regions (0), overlay: none, "
         "tracks: none\n"
         "INFO: Printing card 1\nPAGE: 1 1\n",
         100000},
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

// Job values (title, user, option values, page header texts) reach the logs,
// but cannot end a log line and start a status line of their own, nor make a
// line longer than CUPS reads whole (it cuts at 2047 bytes and takes the rest
// as a line): every line of standard error is a log line or a status line the
// filter meant to write, and no raw control byte of a value gets through.
TEST(FilterStatus, JobValuesCannotForgeStatusLines)
{
    const std::string Card = "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40 ";
    const std::string Printed = "INFO: Card custom 5.4x3.4 mm at 300x300 dpi, ribbon RC_YMCKO, one-sided, black: none, "
                                "overlay: none, tracks: none\n"
                                "INFO: Printing card 1\nPAGE: 1 1\n";
    const std::string Forged = "\nPAGE: 999 1\nATTR: job-impressions=99\nPPD: DefaultGRibbonType=RM_KO\n"
                               "STATE: +media-empty-error\r\nERROR: forged\n\x1b"
                               "INFO: forged\n";
    std::string wide; // two bytes a character: the pipeline log counts characters
    for (int i = 0; i < 1500; ++i)
        wide += "\xc3\xa9";
    RawPage oddHeader = rawPage(patternImage(64, 40));
    strcpy(oddHeader.header.MediaType, "x\nPAGE: 999 1\n");
    struct Case {
        const char* name;
        std::string user, title, options;
        std::string raster;
        std::string expected; // the status lines
    } cases[] = {
        {"option value", "user", "Card", Card + "IFBlackCustom='x" + Forged + "'", "", Printed},
        {"title", "user", "Card" + Forged, Card, "", Printed},
        {"user", "bob" + Forged, "Card", Card, "", Printed},
        {"passthrough and text region values", "user", "Card",
         Card + "passthrough='[FH]Pa" + Forged + "' IFTextRegion='1x2" + Forged + "'", "",
         "WARNING: IFTextRegion: \"1x2\\nPAGE: 999 1\\nATTR: job-impressions=99\\nPPD: DefaultGRibbonType...\" "
         "cannot be read at character 126; that region and those before it are not used\n" +
             Printed},
        {"page header text", "user", "Card", Card, rawRasterOf({oddHeader}), Printed},
        {"keyword value", "user", "Card", Card + "GRibbonType='RC\nERROR: forged\r\nPAGE: 9 1'", "",
         "WARNING: GRibbonType: \"RC\\nERROR: forged\\r\\nPAGE: 9 1\" is not one of its choices; RC_YMCKO is used "
         "instead\n" +
             Printed},
        {"long keyword value", "user", "Card", Card + "GRibbonType=x" + wide, "",
         "WARNING: GRibbonType: \"x" + wide.substr(0, 62) +
             "...\" is not one of its choices; RC_YMCKO is used "
             "instead\n" +
             Printed},
        {"track data", "user", "Card", Card + "Track2Data='1" + Forged + "'", "",
         "INFO: Card custom 5.4x3.4 mm at 300x300 dpi, ribbon RC_YMCKO, one-sided, black: none, overlay: none, "
         "tracks: 2\n"
         "ERROR: Track 2 data holds the control byte 0x0A at position 2, which would break the printer commands; "
         "no card of the job was printed\n"
         "ERROR: The print job could not be started; nothing was printed\n"},
        {"values longer than a line", "user", std::string(3000, 'T') + "PAGE: 999 1",
         Card + "IFBlackCustom=" + wide + "PAGE:999 IBBlackCustom=" + std::string(2100, 'B') + "PAGE: 999 1", "",
         Printed},
    };
    for (const Case& c : cases) {
        FilterJob job;
        job.args = std::vector<std::string>{"1", c.user, c.title, "1", c.options};
        job.stdinBytes = c.raster.empty() ? rasterOf({patternImage(64, 40)}) : c.raster;
        ProcessResult r = runFilter(job);
        ASSERT_TRUE(r.exitedWith(0)) << c.name << "\n" << r.err.substr(0, 2000);
        EXPECT_EQ(statusLines(r.err), c.expected) << c.name;
        size_t at = 0;
        while (at < r.err.size()) {
            size_t end = r.err.find('\n', at);
            if (end == std::string::npos)
                end = r.err.size();
            const std::string line = r.err.substr(at, end - at);
            at = end + 1;
            EXPECT_LE(line.size(), 2046u) << c.name << ": " << line.substr(0, 100);
            const bool isLog = line.rfind("ZEZ2O1 ", 0) == 0 || line.rfind("[TAVRIN UNIDRIVER", 0) == 0;
            EXPECT_TRUE(isLog || c.expected.find(line + "\n") != std::string::npos) << c.name << ": " << line;
            // The formats' own tabs and line-ending CRs are the only control bytes.
            size_t bad = 0;
            while (bad < line.size() && (static_cast<unsigned char>(line[bad]) >= 0x20 || line[bad] == '\t' ||
                                         (line[bad] == '\r' && bad + 1 == line.size())))
                ++bad;
            EXPECT_EQ(bad, line.size()) << c.name << ": " << line;
        }
    }
}
