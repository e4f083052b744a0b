// The printer application live: a server on a free loopback port with
// scratch state and spool, a printer made at start on a file:// device, jobs
// submitted with ipptool. Its cards must be the filter's cards.
#include <gtest/gtest.h>

#ifdef CR80_PRINTER_APP_PATH

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <string>
#include <unistd.h>
#include <vector>

#include <cups/raster.h>

#include "FilterRun.h"
#include "LiveServer.h"
#include "TestRaster.h"

using namespace cr80test;

namespace {

const char* const Epoch = "1767225600";
const std::string OperationHead = " GROUP operation-attributes-tag\n ATTR charset attributes-charset utf-8\n"
                                  " ATTR language attributes-natural-language en\n ATTR uri printer-uri $uri\n";

// A PWG raster (CUPS raster v2 with PWG fields) of `pages`, as IPP clients send.
std::string pwgRasterOf(const TempDir& dir, const std::vector<RasterImage>& pages, bool gray = false)
{
    const std::string path = dir.file(gray ? "pages-gray.pwg" : "pages.pwg");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_WRITE_PWG);
    for (const RasterImage& image : pages) {
        cups_page_header2_t h;
        pwg_media_t* media = pwgMediaForSize(static_cast<int>(image.width * 2540 / 300 + 1),
                                             static_cast<int>(image.height * 2540 / 300 + 1));
        cupsRasterInitPWGHeader(&h, media, gray ? "sgray_8" : "srgb_8", 300, 300, "one-sided", nullptr);
        h.cupsWidth = image.width;
        h.cupsHeight = image.height;
        h.cupsBytesPerLine = image.width * (gray ? 1 : 3);
        cupsRasterWriteHeader2(ras, &h);
        std::vector<unsigned char> row(h.cupsBytesPerLine);
        for (unsigned y = 0; y < image.height; ++y) {
            const uint8_t* rgb = &image.rgb[3ull * image.width * y];
            if (gray)
                for (unsigned x = 0; x < image.width; ++x)
                    row[x] = rgb[3 * x];
            else
                std::memcpy(row.data(), rgb, row.size());
            cupsRasterWritePixels(ras, row.data(), h.cupsBytesPerLine);
        }
    }
    cupsRasterClose(ras);
    close(fd);
    return path;
}

// The filter's stream for `pages` with `options`, stamped as the server's cards are.
std::string filterStream(const std::string& options, const std::vector<RasterImage>& pages)
{
    FilterJob job;
    job.options = options;
    job.stdinBytes = rasterOf(pages);
    job.sourceDateEpoch = std::string(Epoch);
    const ProcessResult filter = runFilter(job);
    EXPECT_TRUE(filter.exitedWith(0)) << filter.err;
    EXPECT_FALSE(filter.out.empty());
    return filter.out;
}

// The gray picture the app sees as RGB: R=G=B=the gray.
RasterImage grayOf(const RasterImage& image)
{
    RasterImage out = image;
    for (size_t i = 0; i < out.rgb.size(); i += 3)
        out.rgb[i + 1] = out.rgb[i + 2] = out.rgb[i];
    return out;
}

// A server on a free loopback port with scratch state and spool, and one
// printer "card" writing into a directory, for each test.
class PrinterApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access("/usr/bin/ipptool", X_OK) != 0)
            GTEST_SKIP() << "ipptool is not installed";
        std::string why;
        ASSERT_TRUE(server.start(&why, "info", Epoch, device)) << why;
    }

    // Submits `file` and waits until the job reaches `state` (9 completed,
    // 8 aborted; 0: the submission must fail with `status`); extra job
    // attributes as ipptool ATTR lines.
    ProcessResult submit(const std::string& file, const std::string& format, const std::string& jobName, int state,
                         const std::string& extra = "", const std::string& status = "successful-ok")
    {
        std::string test = "{\n NAME \"Print\"\n OPERATION Print-Job\n" + OperationHead +
                           " ATTR name requesting-user-name test\n ATTR mimeMediaType document-format " + format +
                           "\n ATTR name job-name " + jobName + "\n GROUP job-attributes-tag\n" + extra +
                           " FILE $filename\n STATUS " + status + "\n}\n";
        if (state != 0)
            test += "{\n NAME \"Wait\"\n OPERATION Get-Job-Attributes\n" + OperationHead +
                    " ATTR integer job-id $job-id\n STATUS successful-ok\n DELAY 0.1\n EXPECT job-state WITH-VALUE " +
                    std::to_string(state) + " REPEAT-NO-MATCH REPEAT-LIMIT 300\n}\n";
        return runCommand({"ipptool", "-t", "-f", file, server.uri(), dir.write(jobName + ".test", test)});
    }

    std::string device; // none: the server's out directory
    TempDir dir;
    PrinterAppServer server{CR80_PRINTER_APP_PATH, dir.path()};
};

// A printer that does not take the stream (here a full disk).
class PrinterAppOutput : public PrinterApp {
protected:
    PrinterAppOutput() { device = "file:///dev/full"; }
};

} // namespace

// Same pixels, same settings: the printer application's stream is the
// filter's, byte for byte — colour pages, gray pages expanded to RGB,
// two-sided cards, card settings as vendor attributes, pages of another size fitted to the card; a page more
// than 4 times the card's dots fails the job after the cards before it.
TEST_F(PrinterApp, StreamIsTheFiltersForTheSamePixels)
{
    const RasterImage front = patternImage(1016, 648, 3), back = patternImage(1016, 648, 4);
    struct Case {
        const char* name;
        std::vector<RasterImage> pages;
        bool gray;
        std::string filterOptions;
        std::string extra;
        int state; // 9 completed, 8 aborted
    } cases[] = {
        {"colour", {front, back}, false, "", "", 9},
        {"gray", {front, back}, true, "", "", 9},
        {"twosided", {front, back}, false, "sides=two-sided-long-edge", " ATTR keyword sides two-sided-long-edge\n", 9},
        {"othersize", {patternImage(1100, 700, 5)}, false, "", "", 9},
        {"toolarge", {front, patternImage(2100, 1400, 6)}, false, "", "", 8},
        {"vendor",
         {front, back},
         false,
         "GRibbonType=RC_YMCKOK FBlackManagement=ALLBLACKPOINT GMagT2Encoding=ISO2 Track2Data=12345 "
         "FColorContrast=VAL14 BPageRotate180=ON sides=two-sided-long-edge",
         " ATTR keyword sides two-sided-long-edge\n ATTR keyword ribbon-type rc-ymckok\n"
         " ATTR keyword front-black-mode allblackpoint\n ATTR keyword track-2-format iso2\n"
         " ATTR text track-2-data \"12345\"\n ATTR integer front-color-contrast 14\n ATTR keyword back-rotate on\n",
         9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string pwg = pwgRasterOf(dir, c.pages, c.gray);
        const ProcessResult sent = submit(pwg, "image/pwg-raster", c.name, c.state, c.extra);
        ASSERT_TRUE(sent.exitedWith(0)) << sent.out << sent.err;
        const std::string prn = readFile(server.outDir() + "/" + c.name + ".prn");
        std::vector<RasterImage> pages = c.pages;
        if (c.gray)
            for (RasterImage& page : pages)
                page = grayOf(page);
        const std::string filter = filterStream(c.filterOptions, pages);
        EXPECT_TRUE(prn == filter) << "app " << prn.size() << " bytes, filter " << filter.size();
    }
}

// JPEG and a two-page PDF give well-formed streams with one card per page.
// Media the printer does not offer never reaches the driver: PAPPL 1.3.1
// drops it at submission, even under ipp-attribute-fidelity, and tells the
// client so (successful-ok-ignored-or-substituted-attributes).
TEST_F(PrinterApp, DocumentFormatsAndRefusedMedia)
{
    if (access("/usr/bin/gs", X_OK) != 0)
        GTEST_SKIP() << "ghostscript is not installed";
    const std::string ps = dir.write(
        "two.ps",
        "%!PS\n<< /PageSize [243.84 155.52] >> setpagedevice\n"
        "1 0 0 setrgbcolor 20 20 100 100 rectfill showpage\n0 0 1 setrgbcolor 50 30 150 100 rectfill showpage\n");
    ASSERT_TRUE(ghostscript({"-sDEVICE=pdfwrite", "-sOutputFile=" + dir.file("two.pdf"), ps}));
    ASSERT_TRUE(ghostscript(
        {"-sDEVICE=jpeg", "-r300", "-dLastPage=1", "-sOutputFile=" + dir.file("one.jpg"), dir.file("two.pdf")}));

    struct Case {
        const char* name;
        std::string file;
        const char* format;
        const char* cards;
    } cases[] = {
        {"jpeg", dir.file("one.jpg"), "image/jpeg", "ok: 1 card(s)"},
        {"pdf", dir.file("two.pdf"), "application/pdf", "ok: 2 card(s)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult sent = submit(c.file, c.format, c.name, 9);
        ASSERT_TRUE(sent.exitedWith(0)) << sent.out << sent.err;
        const ProcessResult checked =
            runCommand({CR80_CARDSTREAM_PATH, "--check", server.outDir() + "/" + c.name + ".prn"});
        EXPECT_TRUE(checked.exitedWith(0)) << checked.out << checked.err;
        EXPECT_NE(checked.out.find(c.cards), std::string::npos) << checked.out;
    }

    // Bytes of no format PAPPL knows are refused (they used to crash the
    // server), and the server goes on printing.
    const ProcessResult noise =
        submit(dir.write("noise.bin", std::string(5000, 'Z')), "application/octet-stream", "noise", 8);
    EXPECT_TRUE(noise.exitedWith(0)) << noise.out << noise.err;

    // A photo whose header claims 60000 x 40000 dots is refused before it
    // is decoded, and the server goes on printing.
    std::string liar = readFile(dir.file("one.jpg"));
    const size_t frame = liar.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    liar.replace(frame + 5, 4, std::string("\x9c\x40\xea\x60", 4));
    const ProcessResult lied = submit(dir.write("liar.jpg", liar), "image/jpeg", "liar", 8);
    EXPECT_TRUE(lied.exitedWith(0)) << lied.out << lied.err;

    // Jobs sent at once by several clients each come out whole, in a file of
    // their own, although PAPPL may start two of them together.
    std::vector<std::future<ProcessResult>> clients;
    for (int c = 0; c < 6; ++c)
        clients.push_back(std::async(std::launch::async, [&, c]() {
            ProcessResult last;
            for (int j = 0; j < 5 && (j == 0 || last.exitedWith(0)); ++j)
                last = submit(dir.file("one.jpg"), "image/jpeg", "burst-" + std::to_string(c) + "-" + std::to_string(j),
                              9);
            return last;
        }));
    for (auto& client : clients) {
        const ProcessResult sent = client.get();
        EXPECT_TRUE(sent.exitedWith(0)) << sent.out << sent.err;
    }
    const std::string single = readFile(server.outDir() + "/jpeg.prn");
    for (int c = 0; c < 6; ++c)
        for (int j = 0; j < 5; ++j) {
            const std::string name = "burst-" + std::to_string(c) + "-" + std::to_string(j);
            EXPECT_TRUE(readFile(server.outDir() + "/" + name + ".prn") == single) << name;
        }

    const ProcessResult refused =
        submit(dir.file("one.jpg"), "image/jpeg", "a4", 0,
               " ATTR collection media-col {\n  MEMBER collection media-size {\n   MEMBER integer x-dimension 21000\n"
               "   MEMBER integer y-dimension 29700\n  }\n }\n",
               "successful-ok-ignored-or-substituted-attributes");
    EXPECT_TRUE(refused.exitedWith(0)) << refused.out << refused.err;
}

// The card settings: a value a setting does not take refuses the job, and
// nothing reaches the printer; the printer's defaults (Set-Printer-Attributes)
// print as the filter's settings do, and the colour modes offered follow the
// ribbon they name; the Card Settings page keeps the printer's other
// settings.
TEST_F(PrinterApp, CardSettings)
{
    const std::vector<RasterImage> pages = {patternImage(1016, 648, 7)};
    const std::string pwg = pwgRasterOf(dir, pages);

    const struct {
        const char* name;
        const char* extra;
    } bogus[] = {
        {"badribbon", " ATTR keyword ribbon-type rc-bogus\n"},
        {"badlevel", " ATTR integer front-color-contrast 21\n"},
        {"prefixonly", " ATTR keyword front-black-mode allblackpointx\n"},
    };
    for (const auto& c : bogus) {
        SCOPED_TRACE(c.name);
        const ProcessResult sent = submit(pwg, "image/pwg-raster", c.name, 8, c.extra);
        EXPECT_TRUE(sent.exitedWith(0)) << sent.out << sent.err;
        EXPECT_EQ(readFile(server.outDir() + "/" + c.name + ".prn"), "");
    }

    const std::string test = dir.write(
        "defaults.test",
        "{\n NAME \"Set\"\n OPERATION Set-Printer-Attributes\n" + OperationHead +
            " GROUP printer-attributes-tag\n ATTR keyword ribbon-type-default rm-kblack\n"
            " ATTR keyword front-halftoning-default threshold\n STATUS successful-ok\n}\n"
            "{\n NAME \"Monochrome\"\n OPERATION Get-Printer-Attributes\n" +
            OperationHead +
            " ATTR keyword requested-attributes print-color-mode-supported\n STATUS successful-ok\n DELAY 0.1\n"
            " EXPECT print-color-mode-supported WITH-VALUE monochrome REPEAT-NO-MATCH REPEAT-LIMIT 100\n}\n");
    const ProcessResult set = runCommand({"ipptool", "-t", server.uri(), test}, 30000);
    ASSERT_TRUE(set.exitedWith(0)) << set.out << set.err;

    // A monochrome printer takes gray pages only.
    const ProcessResult sent = submit(pwgRasterOf(dir, pages, true), "image/pwg-raster", "defaults", 9);
    ASSERT_TRUE(sent.exitedWith(0)) << sent.out << sent.err;
    const std::string options = "GRibbonType=RM_KBLACK FHalftoning=THRESHOLD";
    const std::string filter = filterStream(options, {grayOf(pages[0])});
    EXPECT_TRUE(readFile(server.outDir() + "/defaults.prn") == filter);

    // The Card Settings page: a form; a POST with its CSRF field saves a
    // setting the next jobs print with, one without it is refused.
    if (access("/usr/bin/curl", X_OK) != 0)
        GTEST_SKIP() << "curl is not installed";
    const std::string page = "http://localhost:" + std::to_string(server.port) + "/card/cardsettings";
    auto web = [&](const std::string& form) {
        std::vector<std::string> curl = {"curl", "-s", "-c", dir.file("jar"), "-b", dir.file("jar"), page};
        if (!form.empty())
            curl.insert(curl.end(), {"-d", form});
        return runCommand(curl, 10000).out;
    };
    const std::string form = web("");
    const size_t at = form.find("name=\"session\" value=\"");
    ASSERT_NE(at, std::string::npos) << form;
    ASSERT_NE(form.find("name=\"GOutputTray\""), std::string::npos);
    const size_t from = at + std::strlen("name=\"session\" value=\"");
    const std::string session = form.substr(from, form.find('"', from) - from);
    // The card output is a list of its choices; the saved one is selected.
    ASSERT_NE(form.find("<option value=\"REAR\">REAR</option>"), std::string::npos) << form;
    const std::string rear = "<option value=\"REAR\" selected>";
    EXPECT_EQ(web("GOutputTray=REAR").find(rear), std::string::npos);
    EXPECT_EQ(web("session=" + session + "&GOutputTray=BOGUS").find("<option value=\"BOGUS\""), std::string::npos);
    EXPECT_NE(web("session=" + session + "&GOutputTray=REAR").find(rear), std::string::npos);

    const ProcessResult stored = submit(pwgRasterOf(dir, pages, true), "image/pwg-raster", "stored", 9);
    ASSERT_TRUE(stored.exitedWith(0)) << stored.out << stored.err;
    const std::string filterStored = filterStream(options + " GOutputTray=REAR", {grayOf(pages[0])});
    EXPECT_NE(filterStored, filter);
    EXPECT_TRUE(readFile(server.outDir() + "/stored.prn") == filterStored);
}

// A printer that does not take the stream (here a full disk) fails the job
// instead of counting its card as printed, and the server goes on.
TEST_F(PrinterAppOutput, AStreamThePrinterDoesNotTakeFailsTheJob)
{
    const std::string pwg = pwgRasterOf(dir, {patternImage(1016, 648, 9)});
    for (const char* name : {"full", "again"}) {
        const ProcessResult sent = submit(pwg, "image/pwg-raster", name, 8);
        EXPECT_TRUE(sent.exitedWith(0)) << name << sent.out << sent.err;
    }
}

#endif
