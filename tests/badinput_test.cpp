// The catalogue of broken inputs: every row is one bad raster, PPD, custom
// picture or setting, with what the filter must do about it. In every case
// the filter exits 0 without a crash or a sanitizer report, the stream on
// standard output holds only whole cards, and the expected log lines appear.
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <functional>

#include "BmpFile.h"
#include "FilterRun.h"
#include "TestRaster.h"
#include "streamreader.h"

using namespace cr80test;

namespace {

// A small custom card keeps each run short; pictures are made to its size.
const std::string SmallCard = "PaperSize=CRCUSTOM IFormCustomWidth=64 IFormCustomHeight=40 ";
const unsigned W = 64, H = 40;

std::string goodRaster(unsigned pages = 1)
{
    std::vector<RasterImage> images;
    for (unsigned i = 0; i < pages; ++i)
        images.push_back(patternImage(W, H, i + 1));
    return rasterOf(images);
}

// One page whose header is changed by `edit`; `data` false leaves the pixels out.
std::string oddPage(const std::function<void(cups_page_header2_t&)>& edit, bool data = true)
{
    RawPage page = rawPage(patternImage(W, H));
    edit(page.header);
    if (!data)
        page.data.clear();
    return rawRasterOf({page});
}

// A good first page followed by an odd one.
std::string goodThenOdd(const std::function<void(cups_page_header2_t&)>& edit)
{
    RawPage good = rawPage(patternImage(W, H, 1));
    RawPage odd = rawPage(patternImage(W, H, 2));
    edit(odd.header);
    return rawRasterOf({good, odd});
}

// A page of width x height dots of which only `rows` rows are in the stream.
std::string hugePage(unsigned width, unsigned height, unsigned rows)
{
    RawPage page = rawPage(patternImage(1, 1));
    page.header.cupsWidth = width;
    page.header.cupsHeight = height;
    page.header.cupsBytesPerLine = 3 * width;
    page.data.assign(static_cast<size_t>(rows) * 3 * width, '\x40');
    return rawRasterOf({page});
}

// `pages` white pages of width x height dots in a compressed raster, where
// a whole page takes a few kilobytes.
std::string compressedPages(unsigned width, unsigned height, unsigned pages)
{
    TempDir dir;
    const std::string path = dir.file("compressed.ras");
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_WRITE_COMPRESSED);
    cups_page_header2_t header = rawPage(patternImage(1, 1)).header;
    header.cupsWidth = width;
    header.cupsHeight = height;
    header.cupsBytesPerLine = 3 * width;
    std::vector<unsigned char> row(header.cupsBytesPerLine, 255);
    for (unsigned p = 0; p < pages; ++p) {
        cupsRasterWriteHeader2(ras, &header);
        for (unsigned y = 0; y < height; ++y)
            cupsRasterWritePixels(ras, row.data(), header.cupsBytesPerLine);
    }
    cupsRasterClose(ras);
    close(fd);
    return readFile(path);
}

enum class Ppd { Test, Unset, Missing, Garbage, Empty, Bare };
enum class Input { Stdin, File, MissingFile, Directory };

struct BadInput {
    const char* name;
    std::function<std::string()> raster; // the raster bytes
    std::string options;                 // pictures are named inside the case's directory
    int cards;                           // whole cards expected in the stream
    std::vector<std::string> logs;       // expected on standard error
    Ppd ppd = Ppd::Test;
    Input input = Input::Stdin;
    std::vector<std::pair<std::string, std::string>> files = {}; // written to the directory first
    int errorLines = -1;                                         // CUPS "ERROR:" lines expected; -1: not counted
};

const std::string NotRead = "ZEZ2O1 INFO: Warning - not able to read input raster\n";
const std::string Unsupported = "ZEZ2O1 INFO: fillBitmap fails (unsupported page: ";
const std::string TextParse = "[OptionsConverter::updateTextRegionOptions] WARNING - Parsing error (";
const std::string SubBad = "[OptionsConverter::updateBlackSubsStrategyOptions] WARNING - IGBlackSub: Bad format - "
                           "Option skipped\r\n";
const std::string PassEnd = "[PassthroughOptionsParser::next] End of parsing (location)\r\n";
const std::string BlackRead = "[FaceSupervisor::runMonochromeProcessing] WARNING - Failed (reading external data)";
const std::string OverlayRead = "[FaceSupervisor::runOverlayProcessing] WARNING - Failed (reading external data)";
const std::string Dropped = "[CardSupervisor::newFace] WARNING - (prt:";
const std::string Long(5000, '7');
const std::string StartFailed = "\nERROR: The print job could not be started; nothing was printed\n";

std::vector<BadInput> catalogue()
{
    auto raster = [] { return goodRaster(); };
    const std::string custom = SmallCard + "FBlackManagement=BMPBLACK IFBlackCustom=black.bmp ";
    // clang-format off
    return {
        // The raster stream.
        {"empty input", [] { return std::string(); }, SmallCard, 0, {NotRead, "fillBitmap fails (null parameter)"}},
        {"truncated raster header", [] { return goodRaster().substr(0, 200); }, SmallCard, 0, {NotRead}},
        {"truncated pixels", [] { std::string r = goodRaster(); return r.substr(0, r.size() - W * 3 * 10); },
         SmallCard, 1, {"ZEZ2O1 INFO: Warning - raster ended 10 rows before the end of the page (40 rows)"}},
        {"header without pixels", [] { return oddPage([](cups_page_header2_t&) {}, false); }, SmallCard, 1,
         {"ZEZ2O1 INFO: Warning - raster ended 40 rows before the end of the page (40 rows)"}},
        {"zero width", [] { return oddPage([](cups_page_header2_t& h) { h.cupsWidth = 0; }, false); }, SmallCard,
         0, {NotRead, Unsupported + "0x40 dots"}},
        {"zero height", [] { return oddPage([](cups_page_header2_t& h) { h.cupsHeight = 0; }, false); }, SmallCard,
         0, {NotRead, Unsupported + "0x0 dots"}}, // libcups refuses the header
        // Pages are accepted up to four times the card's dots, and fitted;
        // larger ones are refused before anything is allocated or read.
        {"page of four cards", [] { return hugePage(2 * W, 2 * H, 2 * H); }, SmallCard, 1, {}},
        {"page one row over four cards", [] { return hugePage(2 * W, 2 * H + 1, 2 * H + 1); }, SmallCard, 0,
         {NotRead, "fillBitmap fails (page of 128x81 dots is more than 4 times the card's 64x40 dots)",
          "ERROR: Page 1 cannot be printed: at 128x81 dots it is far larger than a card"}},
        {"giant dimensions", [] { return hugePage(0x7fffffff / 3, 0x7fffffff, 0); }, SmallCard, 0,
         {NotRead, "is more than 4 times the card's"}},
        {"page of 9000x9942 dots with 10 rows", [] { return hugePage(9000, 9942, 10); }, "", 0,
         {NotRead, "is more than 4 times the card's 1016x648 dots"}},
        {"compressed pages of 9000x9942 dots", [] { return compressedPages(9000, 9942, 2); }, "", 0,
         {NotRead, "is more than 4 times the card's 1016x648 dots"}},
        {"line of 80000000 dots", [] { return hugePage(80000000, 1, 0); }, "", 0,
         {NotRead, "is more than 4 times the card's 1016x648 dots"}},
        {"card of no size: the byte limit holds", [] { return hugePage(10000, 8948, 0); },
         "PaperSize=CRCUSTOM IFormCustomWidth=0 IFormCustomHeight=0", 0,
         {NotRead, "fillBitmap fails (page of 10000x8948 dots is larger than 268435456 bytes)"}},
        {"16 bits per colour",
         [] {
             return oddPage([](cups_page_header2_t& h) {
                 h.cupsBitsPerColor = 16;
                 h.cupsBitsPerPixel = 48;
                 h.cupsBytesPerLine = W * 6;
             }, false);
         },
         SmallCard, 0, {NotRead, "16 bits per colour, 48 bits per pixel"}},
        {"1 bit per colour",
         [] {
             return oddPage([](cups_page_header2_t& h) {
                 h.cupsBitsPerColor = 1;
                 h.cupsBitsPerPixel = 1;
                 h.cupsColorSpace = CUPS_CSPACE_K;
                 h.cupsBytesPerLine = W / 8;
             }, false);
         },
         SmallCard, 0, {NotRead, "1 bits per colour, 1 bits per pixel"}},
        {"CMYK colour space",
         [] {
             return oddPage([](cups_page_header2_t& h) {
                 h.cupsColorSpace = CUPS_CSPACE_CMYK;
                 h.cupsBitsPerPixel = 32;
                 h.cupsBytesPerLine = W * 4;
             }, false);
         },
         SmallCard, 0, {NotRead, "8 bits per colour, 32 bits per pixel"}},
        {"banded colour order",
         [] { return oddPage([](cups_page_header2_t& h) { h.cupsColorOrder = CUPS_ORDER_BANDED; }); }, SmallCard,
         0, {NotRead, "colour order 1"}},
        {"enumerations out of range",
         [] {
             return oddPage([](cups_page_header2_t& h) {
                 // Numbers that are none of the enumerations' values, as a
                 // broken stream carries them.
                 const unsigned order = 12000, space = 99999, other = 0x7fffffff;
                 memcpy(&h.cupsColorOrder, &order, sizeof(order));
                 memcpy(&h.cupsColorSpace, &space, sizeof(space));
                 for (auto* field : {&h.Collate, &h.Duplex, &h.InsertSheet, &h.ManualFeed, &h.MirrorPrint,
                                     &h.NegativePrint, &h.OutputFaceUp, &h.Separations, &h.TraySwitch, &h.Tumble})
                     memcpy(field, &other, sizeof(other));
                 memcpy(&h.Jog, &other, sizeof(other));
                 memcpy(&h.LeadingEdge, &other, sizeof(other));
                 memcpy(&h.Orientation, &other, sizeof(other));
                 memcpy(&h.CutMedia, &other, sizeof(other));
                 memcpy(&h.AdvanceMedia, &other, sizeof(other));
             });
         },
         SmallCard, 0, {NotRead, "colour order 12000"}},
        {"bytes per line not three per dot",
         [] { return oddPage([](cups_page_header2_t& h) { h.cupsBytesPerLine = W * 3 + 1; }, false); }, SmallCard,
         0, {NotRead, Unsupported + "0x0 dots"}}, // libcups refuses the header
        {"not a raster", [] { return std::string("%!PS-Adobe-3.0\n/Times findfont\nshowpage\n"); }, SmallCard, 0,
         {NotRead}},
        {"sync word then garbage", [] { return std::string("RaS2") + std::string(2000, '\xa5'); }, SmallCard, 0,
         {NotRead}},
        {"good page then a broken one",
         [] { return goodThenOdd([](cups_page_header2_t& h) { h.cupsBitsPerColor = 2; }); }, SmallCard, 1,
         {"ZEZ2O1 ERROR: Page 2 could not be read from the raster; the job ends after the 1 face(s) before it"}},
        {"missing input file", raster, SmallCard, 0, {"ZEZ2O1 FATAL: Unable to open raster file.\n"}, Ppd::Test,
         Input::MissingFile},
        {"input file is a directory", raster, SmallCard, 0, {NotRead}, Ppd::Test, Input::Directory},

        // The PPD.
        {"PPD that does not exist", raster, SmallCard, 1, {"PPD load (ptr: 0, src:/nonexistent/cr80card.ppd)"},
         Ppd::Missing},
        {"PPD of garbage", raster, SmallCard, 1, {"PPD load (ptr: 0, src:"}, Ppd::Garbage},
        {"empty PPD", raster, SmallCard, 1, {"PPD load (ptr: 0, src:"}, Ppd::Empty},
        {"no PPD variable", raster, SmallCard, 1, {"PPD load (ptr: 0, src:(null))"}, Ppd::Unset},
        // The PPD is dumped to the log: only the parts it has are read.
        {"PPD without sizes, fonts or filters", raster, SmallCard, 1, {"ppd->num_sizes: 0\n", "ppd->fonts: (null)\n"},
         Ppd::Bare},

        // Custom black and overlay pictures: a face whose picture cannot be
        // read fails, and its card is left out of the stream.
        {"custom black that is fine (control)", raster, custom, 1, {}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(W, H, 1)}}},
        {"custom black large but sound", raster, custom, 1, {}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(4000, 2500, 1)}}},
        {"custom black missing", raster, custom, 0, {BlackRead, Dropped}},
        {"custom black truncated", raster, custom, 0, {BlackRead, Dropped}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(W, H, 1).substr(0, 100)}}},
        {"custom black header only", raster, custom, 0, {BlackRead, Dropped}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(W, H, 1, false)}}},
        {"custom black 8-bit", raster, custom, 0, {BlackRead, Dropped}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(W, H, 8)}}},
        {"custom black top-down", raster, custom, 0, {BlackRead, Dropped}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(W, -H, 1)}}},
        {"custom black gigantic", raster, custom, 0, {BlackRead, Dropped}, Ppd::Test, Input::Stdin,
         {{"black.bmp", rawBmp(2000000000, 2000000000, 1, false)}}},
        {"custom black empty file", raster, custom, 0, {BlackRead, Dropped}, Ppd::Test, Input::Stdin, {{"black.bmp", ""}}},
        {"custom overlay of garbage", raster,
         SmallCard + "FOverlayManagement=BMPVARNISH IFOverlayCustom=overlay.bmp", 0, {OverlayRead, Dropped},
         Ppd::Test, Input::Stdin, {{"overlay.bmp", std::string(3000, 'B')}}},
        {"custom black name of 5000 characters", raster,
         SmallCard + "FBlackManagement=BMPBLACK IFBlackCustom=" + Long, 0, {BlackRead, Dropped}},

        // Passthrough texts: the entries before the fault stay, the rest goes.
        {"passthrough location unterminated", raster, SmallCard + "passthrough='Pa|[FH,5'", 1,
         {PassEnd}},
        {"passthrough unknown section", raster, SmallCard + "passthrough='[XX]Pb'", 1, {PassEnd}},
        {"passthrough empty location", raster, SmallCard + "passthrough='[]Pc'", 1, {PassEnd}},
        {"passthrough letters for a priority", raster, SmallCard + "passthrough='[FH,abc]Pd'", 1, {PassEnd}},
        {"passthrough bad lifetime", raster, SmallCard + "passthrough='[FH,5,X]Pe'", 1, {PassEnd}},
        {"passthrough lifetime then junk", raster, SmallCard + "passthrough='[FH,5,Ax]Pf'", 1, {PassEnd}},
        {"passthrough priority of 300 digits", raster,
         SmallCard + "passthrough='[FH," + std::string(300, '9') + "]Pg'", 1, {PassEnd}},
        {"passthrough section of 300 letters", raster,
         SmallCard + "passthrough='[" + std::string(300, 'F') + "]Ph'", 1, {PassEnd}},
        {"passthrough location only", raster, SmallCard + "passthrough='[FH,1,O]'", 1,
         {"[PassthroughOptionsParser::next] End of parsing (trim esc cmd)\r\n"}},
        {"passthrough of 5000 characters", raster, SmallCard + "passthrough=" + Long, 1, {}},

        // Text regions.
        {"text region with a bad character", raster, SmallCard + "IFTextRegion=10X20", 1, {TextParse + "10X20)"}},
        {"text region with blanks", raster, SmallCard + "IFTextRegion='1x2 x3x4'", 1, {TextParse + "1x2 x3x4)"}},
        {"text region with five numbers", raster, SmallCard + "IFTextRegion=1x2x3x4x5", 1,
         {TextParse + "1x2x3x4x5)"}},
        {"text region with many numbers", raster, SmallCard + "IBTextRegion=1x2x3x4x5x6x7x8x9x10x11", 1,
         {TextParse + "1x2x3x4x5x6x7x8x9x10x11)"}},
        {"text region of 5000 digits", raster, SmallCard + "IFTextRegion=" + Long, 1, {}},
        {"text region of parentheses", raster, SmallCard + "IFTextRegion=((((1)))x(2)", 1, {}},

        // Black substitution colours of every wrong length.
        {"IGBlackSub empty", raster, SmallCard + "IGBlackSub=''", 1, {SubBad}},
        {"IGBlackSub of 1", raster, SmallCard + "IGBlackSub=F", 1, {SubBad}},
        {"IGBlackSub of 5", raster, SmallCard + "IGBlackSub=FF800", 1, {SubBad}},
        {"IGBlackSub of 7", raster, SmallCard + "IGBlackSub=FF80001", 1, {SubBad}},
        {"IGBlackSub of 12", raster, SmallCard + "IGBlackSub=FF8000FF8000", 1, {SubBad}},
        {"IGBlackSub of 5000", raster, SmallCard + "IGBlackSub=" + Long, 1, {SubBad}},

        // Absurd panel shifts, levels and sizes.
        {"huge panel shifts", raster,
         SmallCard + "GColorPanelManagement=CUSTOM IColorPanelShiftXS=2147483647 IColorPanelShiftXE=99999999999 "
                     "GMonoPanelManagement=CUSTOM IMonoPanelShiftXS=-2147483648 GOverlayPanelManagement=CUSTOM "
                     "IOverlayPanelShiftYS=100000 IOverlayPanelShiftYE=-100000 GShortPanelManagement=CUSTOM "
                     "IShortPanelShift=-5000",
         1, {}},
        {"absurd levels", raster,
         SmallCard + "IFThresholdValue=VAL999 IFBlackLevelValue=VAL-1 IFDarkLevelValue=VALxx FColorContrast=VAL "
                     "IGIQLABY=VAL100000 IGSendIQLA=ON IGMonochromeSpeed=-3 IGTextRectErr=2147483648",
         1, {}},
        {"custom card of zero size", raster, "PaperSize=CRCUSTOM IFormCustomWidth=0 IFormCustomHeight=0", 0,
         {"[CR80BmpParser::resize] WARNING", Dropped}},
        {"custom card too large", raster, "PaperSize=CRCUSTOM IFormCustomWidth=100000 IFormCustomHeight=-5", 0,
         {"[MediaDefinition::setResolution] WARNING - card too large", Dropped}},
        // The card buffer makes room for the job's own fragments.
        {"passthrough of 30000 characters", raster,
         SmallCard + "passthrough='[FH]" + std::string(15000, 'a') + "|[BT]b|[CT]" + std::string(15000, 'c') + "'", 1,
         {}},
        // Magnetic track data the printer cannot write as given refuses the
        // whole job with one cause, whatever the number of pages.
        {"magnetic data its formats hold (control)", [] { return goodRaster(2); },
         SmallCard + "GMagT2Encoding=ISO2 Track2Data=;1234567890123456=2512? Track1Data=%B1234^DOE/J^2512?", 2, {},
         Ppd::Test, Input::Stdin, {}, 0},
        {"magnetic data its format cannot hold", [] { return goodRaster(3); },
         SmallCard + "GMagT2Encoding=ISO2 Track2Data=HELLO%%", 0,
         {"\nERROR: Track 2 data holds 'H' at position 1, which the ISO2 format cannot encode", StartFailed},
         Ppd::Test, Input::Stdin, {}, 2},
        {"magnetic data with a printer command", raster,
         SmallCard + "GMagT1Encoding=C2 Track1Data=12\x1bPc;k;=;10", 0,
         {"\nERROR: Track 1 data holds the control byte 0x1B at position 3", StartFailed}, Ppd::Test, Input::Stdin,
         {}, 2},
        {"magnetic data of 3 x 12000 characters", raster,
         SmallCard + "GMagT1Encoding=C2 GMagT2Encoding=C2 GMagT3Encoding=C2 Track1Data=" + std::string(12000, '1') +
             " Track2Data=" + std::string(12000, '2') + " Track3Data=" + std::string(12000, '3'),
         0, {"\nERROR: Track 3 data of 12000 characters does not fit in the magnetic encoding command", StartFailed},
         Ppd::Test, Input::Stdin, {}, 2},
        {"every value of 5000 characters", raster,
         SmallCard + "Resolution=" + Long + " GRibbonType=RC_" + Long + " FHalftoning=" + Long +
             " GDuplexMode=" + Long + " FColorContrast=VAL" + Long + " IFThresholdValue=" + Long +
             " GInputTray=" + Long + " IGSendIQLA=" + Long + " IGMonoReaderType=" + Long,
         1, {}},
    };
    // clang-format on
}

std::string ppdPath(Ppd ppd, const TempDir& dir)
{
    switch (ppd) {
    case Ppd::Test:
        return std::string(CR80_TEST_DATA_DIR) + "/test.ppd";
    case Ppd::Missing:
        return "/nonexistent/cr80card.ppd";
    case Ppd::Garbage:
        return dir.write("garbage.ppd", "*PPD-Adobe: \"4.3\"\n\x01\x02*OpenUI *Foo\n*Default");
    case Ppd::Empty:
        return dir.write("empty.ppd", "");
    case Ppd::Bare:
        return dir.write("bare.ppd", "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                                     "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                                     "*PCFileName: \"BARE.PPD\"\n*Manufacturer: \"T\"\n*Product: \"(T)\"\n"
                                     "*ModelName: \"T\"\n*ShortNickName: \"T\"\n*NickName: \"T\"\n"
                                     "*PSVersion: \"(3010.000) 0\"\n");
    case Ppd::Unset:
        break;
    }
    return "";
}

} // namespace

TEST(BadInput, EveryCaseEndsCleanlyWithWholeCards)
{
    const std::vector<BadInput> cases = catalogue();
    ASSERT_GE(cases.size(), 30u);
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        for (const auto& f : c.files)
            dir.write(f.first, f.second);
        FilterJob job;
        job.title = "Bad input";
        job.options = c.options;
        job.env.emplace_back("CR80_PICTURE_DIR", dir.path());
        job.ppd = c.ppd == Ppd::Unset ? std::nullopt : std::optional<std::string>(ppdPath(c.ppd, dir));
        job.timeoutMs = 60000;
        switch (c.input) {
        case Input::Stdin:
            job.stdinBytes = c.raster();
            break;
        case Input::File:
            job.file = dir.write("job.ras", c.raster());
            break;
        case Input::MissingFile:
            job.file = dir.file("missing.ras");
            break;
        case Input::Directory:
            job.file = dir.path();
            break;
        }

        ProcessResult r = runFilter(job);
        ASSERT_TRUE(r.exitedWith(0)) << "exit " << r.exitCode << " signal " << r.signal << "\n"
                                     << r.err.substr(r.err.size() > 3000 ? r.err.size() - 3000 : 0);
        EXPECT_EQ(std::string::npos, r.err.find("Sanitizer")) << r.err;
        EXPECT_EQ(std::string::npos, r.err.find("runtime error")) << r.err;

        cr80tools::ParsedStream stream = cr80tools::parseStream(r.out);
        EXPECT_EQ("", stream.error);
        EXPECT_EQ(c.cards, static_cast<int>(count(r.out, "<CARD>")));
        EXPECT_EQ(c.cards, static_cast<int>(count(r.out, "</CARD>")));
        EXPECT_EQ(c.cards > 0 ? 1u : 0u, count(r.out, "<END>"));
        if (c.cards > 0) {
            EXPECT_EQ(std::string::npos, r.err.find("Failed (reading external data)"));
        }
        for (const std::string& line : c.logs)
            EXPECT_NE(std::string::npos, r.err.find(line)) << "missing log line: " << line;
        if (c.errorLines >= 0) {
            EXPECT_EQ(c.errorLines, static_cast<int>(count("\n" + r.err, "\nERROR:"))) << r.err;
        }
    }
}
