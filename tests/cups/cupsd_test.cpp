// The filter inside a real CUPS: a private cupsd on a loopback port prints a
// PDF card and a PNG card to a file queue made with the project's PPD; the
// captured printer streams must be well formed and carry the pictures' inks.
// The same chain also runs through cupsfilter. With the printer application
// built, a driverless queue (`-m everywhere`) prints through it.
#include <gtest/gtest.h>

#include <cups/cups.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "FilterRun.h"
#include "LiveServer.h"
#include "TestRaster.h"
#include "settings/CupsExternalInterSettingsReader.h"
#include "streamreader.h"

using namespace cr80test;
namespace fs = std::filesystem;

namespace {

const char* const SystemServerBin = "/usr/lib/cups";

// The driver's files given to CUPS: the build's own, or with
// CR80_CUPS_TEST_TREE set, those of a tree laid out as the Debian package
// installs them (the package test unpacks one there).
struct DriverFiles {
    std::string filter, ppd, mimeDir, cardstream;
};

DriverFiles driverFiles()
{
    const char* tree = std::getenv("CR80_CUPS_TEST_TREE");
    if (tree == nullptr || *tree == '\0')
        return {filterPath(), defaultPpdPath(), std::string(CR80_SOURCE_DIR) + "/mime", CR80_CARDSTREAM_PATH};
    const std::string root = tree;
    return {root + CR80_CUPS_FILTER_DIR "/rastertocr80", root + CR80_PPD_DIR "/cr80card.ppd", root + CR80_MIME_DIR,
            root + CR80_PACKAGE_BIN_DIR "/cardstream"};
}

// A file's bytes, or "" when there is none.
std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The expected inks (0 none, 255 full) of one card area, page-upright.
struct InkArea {
    const char* what;
    unsigned x, y; // dot, in a 1016 x 648 card at 300 dpi
    int y_, m, c;
};

// Checks the stream's grammar with cardstream and the ink of the panels
// around each area's dot (a 9 x 9 dot block, within a tolerance: the CUPS
// chain converts colours and the panels may hold 7-bit values).
void expectCard(const std::string& stream, const std::vector<InkArea>& areas, const std::string& label)
{
    TempDir dir;
    ProcessRequest request;
    request.argv = {driverFiles().cardstream, "--check", dir.write("card.prn", stream)};
    ProcessResult check = runProcess(request);
    EXPECT_TRUE(check.exitedWith(0)) << label << ": " << check.out << check.err;
    EXPECT_EQ(check.out.rfind("ok: 1 card(s), 1 face(s), ", 0), 0u) << label << ": " << check.out;

    const cr80tools::ParsedStream parsed = cr80tools::parseStream(stream);
    std::map<char, std::vector<uint8_t>> dots;
    unsigned width = 0;
    for (const cr80tools::StreamItem& item : parsed.items) {
        if (item.kind == cr80tools::StreamItem::Panel && item.width == 1016 && item.height == 648) {
            dots[item.panel] = cr80tools::panelDots(stream, item);
            width = item.width;
        }
    }
    ASSERT_EQ(width, 1016u) << label << ": no CR80 panel at 300 dpi";
    for (const InkArea& area : areas) {
        for (const auto& [panel, expected] : {std::pair<char, int>{'y', area.y_}, {'m', area.m}, {'c', area.c}}) {
            if (dots.count(panel) == 0) {
                EXPECT_EQ(expected, 0) << label << ": no " << panel << " panel";
                continue;
            }
            long sum = 0;
            for (unsigned dy = 0; dy < 9; ++dy)
                for (unsigned dx = 0; dx < 9; ++dx)
                    sum += dots[panel][(area.y + dy - 4) * width + area.x + dx - 4];
            EXPECT_NEAR(sum / 81.0, expected, 24) << label << ": " << panel << " ink of the " << area.what;
        }
    }
}

// The PDF card: left half blue, bottom right red, top right white.
const char* const CardPostScript = "%!PS\n<< /PageSize [243.84 155.52] >> setpagedevice\n"
                                   "1 1 1 setrgbcolor 0 0 243.84 155.52 rectfill\n"
                                   "0 0 1 setrgbcolor 0 0 121.92 155.52 rectfill\n"
                                   "1 0 0 setrgbcolor 121.92 0 121.92 77.76 rectfill\nshowpage\n";
const std::vector<InkArea> PdfAreas = {
    {"blue left half", 254, 324, 0, 255, 255},
    {"red bottom right", 762, 486, 255, 255, 0},
    {"white top right", 762, 162, 0, 0, 0},
};

// The PNG card: top half green, bottom half yellow, at the card's own size.
cr80tools::RasterImage pngCard()
{
    cr80tools::RasterImage image(1016, 648, 255, 255, 0);
    for (unsigned y = 0; y < 324; ++y)
        for (unsigned x = 0; x < 1016; ++x)
            image.at(x, y)[0] = 0;
    return image;
}
const std::vector<InkArea> PngAreas = {
    {"green top half", 508, 162, 255, 0, 255},
    {"yellow bottom half", 508, 486, 255, 0, 0},
};

// Makes the PDF card with ghostscript.
std::string makePdf(const TempDir& dir)
{
    ghostscript({"-sDEVICE=pdfwrite", "-sOutputFile=" + dir.file("card.pdf"), dir.write("card.ps", CardPostScript)});
    return dir.file("card.pdf");
}

// Each test's private cupsd (the test is skipped where it cannot run): its
// own ServerRoot, ServerBin, spool, cache, state and logs under one temporary
// directory, a loopback port, open access.
class Cups : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!startCupsd(&why))
            GTEST_SKIP() << "cupsd cannot run here: " << why;
    }

    // Writes the configuration and starts cupsd; false with `why` when cupsd
    // cannot run here at all.
    bool startCupsd(std::string* why)
    {
        if (access("/usr/sbin/cupsd", X_OK) != 0 && access("/usr/bin/cupsd", X_OK) != 0) {
            *why = "no cupsd installed";
            return false;
        }
        // Filters run as the unprivileged user must reach their programs.
        chmod(root.c_str(), 0755);
        for (const char* d :
             {"conf", "bin", "bin/filter", "bin/backend", "bin/daemon", "cache", "state", "spool", "spool/tmp", "log"})
            fs::create_directories(root + "/" + d);
        for (const char* d : {"conf", "bin", "bin/filter", "bin/backend", "bin/daemon", "log"})
            chmod((root + "/" + d).c_str(), 0755);
        // ServerBin: the system's CUPS programs by symbolic link, our filter
        // as a real file (CUPS wants it owned by root and not writable by others).
        std::error_code ec;
        for (const char* sub : {"filter", "backend", "daemon"})
            for (const auto& entry : fs::directory_iterator(std::string(SystemServerBin) + "/" + sub, ec))
                fs::create_symlink(entry.path(), root + "/bin/" + sub + "/" + entry.path().filename().string(), ec);
        const std::string filter = root + "/bin/filter/rastertocr80";
        fs::remove(filter, ec);
        writeFile(filter, readFile(driverFiles().filter));
        chmod(filter.c_str(), 0755);
        // The printer stream's type, as installed next to CUPS's own types.
        for (const char* name : {"cr80card.types", "cr80card.convs"})
            writeFile(root + "/conf/" + name, readFile(driverFiles().mimeDir + "/" + name));

        port = freeLoopbackPort();
        std::string files = "ServerRoot " + root + "/conf\nServerBin " + root + "/bin\nCacheDir " + root +
                            "/cache\nStateDir " + root + "/state\nRequestRoot " + root + "/spool\nTempDir " + root +
                            "/spool/tmp\nDataDir /usr/share/cups\nErrorLog " + root + "/log/error_log\nAccessLog " +
                            root + "/log/access_log\nPageLog " + root + "/log/page_log\nFileDevice Yes\n";
        if (geteuid() == 0) {
            // As root, cupsd runs filters as an unprivileged user.
            const passwd* pw = getpwnam("lp");
            const group* gr = getgrnam("lp");
            files += std::string("User ") + (pw ? "lp" : "nobody") + "\nGroup " + (gr ? "lp" : "nogroup") +
                     "\nSystemGroup root\n";
        }
        writeFile(root + "/conf/cups-files.conf", files);
        writeFile(root + "/conf/cupsd.conf", "Listen 127.0.0.1:" + std::to_string(port) +
                                                 "\nLogLevel debug\nBrowsing No\nWebInterface No\n"
                                                 "DefaultAuthType None\n<Location />\n  Order allow,deny\n"
                                                 "  Allow all\n</Location>\n<Policy default>\n  <Limit All>\n"
                                                 "    Order deny,allow\n  </Limit>\n</Policy>\n");

        ProcessRequest request;
        request.argv = {"cupsd", "-f", "-c", root + "/conf/cupsd.conf", "-s", root + "/conf/cups-files.conf"};
        if (server.start(request, port, why))
            return true;
        *why = "cupsd did not start:\n" + *why + tailOf(readLog("error_log"));
        return false;
    }

    // A CUPS command line program talking to this server.
    ProcessResult run(std::vector<std::string> argv)
    {
        ProcessRequest request;
        request.argv = std::move(argv);
        request.env = {{"CUPS_SERVER", "127.0.0.1:" + std::to_string(port)}};
        request.timeoutMs = 60000;
        return runProcess(request);
    }

    std::string readLog(const std::string& name) const { return contents(root + "/log/" + name); }

    // The queue "card": `lpadmin -p card -E ARGS`, by default the driver's
    // PPD printing into `device`.
    void addQueue(std::vector<std::string> args = {})
    {
        if (args.empty())
            args = {"-v", "file://" + device, "-P", driverFiles().ppd};
        args.insert(args.begin(), {"lpadmin", "-p", "card", "-E"});
        const ProcessResult r = run(args);
        ASSERT_TRUE(r.exitedWith(0)) << r.startError << r.out << r.err;
    }

    // Prints with `lp -d card ARGS` and waits until CUPS lists the job as
    // completed: its request id ("card-N"), or "" after a test failure.
    std::string print(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"lp", "-d", "card"});
        const ProcessResult r = run(args);
        std::smatch m;
        if (!r.exitedWith(0) || !std::regex_search(r.out, m, std::regex("request id is (card-[0-9]+)"))) {
            ADD_FAILURE() << r.out << r.err;
            return "";
        }
        const std::string id = m[1];
        const auto listed = [&]() { return run({"lpstat", "-W", "completed", "-o", "card"}).out; };
        if (!waitFor([&]() { return listed().find(id + " ") != std::string::npos; }, 120)) {
            ADD_FAILURE() << id << " did not finish\n" << tailOf(readLog("error_log"));
            return "";
        }
        return id;
    }

    TempDir dir;
    const std::string root = dir.path(), device = dir.file("card.prn");
    int port = 0;
    ServerProcess server;
};

} // namespace

TEST_F(Cups, PrintsPdfAndPngCardsThroughARealCupsd)
{
    ASSERT_NO_FATAL_FAILURE(addQueue());
    // The queue lists the card printer's options with their defaults.
    ProcessResult r = run({"lpoptions", "-p", "card", "-l"});
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    for (const char* line : {"GRibbonType/", "*RC_YMCKO", "PageSize/", "*CR80", "FBlackManagement/", "Track1Data/"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;

    const std::string pdf = makePdf(dir);
    std::string error;
    const cr80tools::RasterImage png = pngCard();
    ASSERT_TRUE(cr80tools::writePng(dir.file("card.png"), png.width, png.height, 3, png.rgb, &error)) << error;

    struct Job {
        std::string file;
        std::vector<std::string> options;
        std::string line; // the status line expected in the job's log
        bool prints;      // a card comes out
        const std::vector<InkArea>* areas;
    } jobs[] = {
        {pdf, {}, "] Printing card 1", true, &PdfAreas},
        {dir.file("card.png"), {"-o", "fit-to-page"}, "] PAGE: 1 1", true, &PngAreas},
        // A job whose only card is lost still ends "completed" (the filter
        // exits 0), so CUPS must learn the failure from the ERROR line.
        {pdf,
         {"-o", "FBlackManagement=BMPBLACK"},
         "] Page 1 was not printed: the custom black picture",
         false,
         nullptr},
    };
    for (const Job& job : jobs) {
        std::error_code ec;
        fs::remove(device, ec);
        std::vector<std::string> lp = job.options;
        lp.push_back(job.file);
        const std::string id = print(lp);
        ASSERT_NE(id, "");
        const std::string log = readLog("error_log"), number = id.substr(5);
        EXPECT_NE(log.find("[Job " + number + "] Job completed."), std::string::npos) << id << "\n" << tailOf(log);
        EXPECT_NE(log.find("[Job " + number + job.line), std::string::npos) << id << "\n" << tailOf(log);
        const std::string stream = contents(device);
        if (job.prints) {
            expectCard(stream, *job.areas, id);
            EXPECT_NE(readLog("page_log").find("card root " + number + " "), std::string::npos) << readLog("page_log");
        } else {
            EXPECT_EQ(stream, "") << id;
        }
    }
    server.stop();

    // The same chain through cupsfilter, with the private configuration's
    // ServerBin (our filter) and types.
    r = runCommand({"cupsfilter", "-c", dir.file("conf/cups-files.conf"), "-p", driverFiles().ppd, "-m",
                    "application/vnd.cr80-card", "-e", pdf});
    ASSERT_TRUE(r.exitedWith(0)) << r.startError << tailOf(r.err);
    EXPECT_NE(r.err.find("\nPAGE: 1 1\n"), std::string::npos) << tailOf(r.err);
    expectCard(r.out, PdfAreas, "cupsfilter");
}

// What IPP clients see of the card sizes: CUPS names each PPD size by its
// dimensions (custom_86.02x54.86mm_86.02x54.86mm for the CR80 card; the PPD
// keyword does not reach the name) and offers a custom size range. Every
// name it advertises must choose its card in the filter, and a custom size
// an IPP client asks for must print as a card of that size.
TEST_F(Cups, IppMediaNamesChooseTheirCards)
{
    if (access("/usr/bin/ipptool", X_OK) != 0)
        GTEST_SKIP() << "no ipptool (cups-ipp-utils)";
    ASSERT_NO_FATAL_FAILURE(addQueue());
    ProcessResult r = run({"ipptool", "-T", "30", "-tv", "ipp://127.0.0.1:" + std::to_string(port) + "/printers/card",
                           "get-printer-attributes.test"});
    ASSERT_TRUE(r.exitedWith(0)) << r.startError << r.out << r.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex("media-supported \\(1setOf keyword\\) = ([^\\n]*)"))) << r.out;
    std::set<std::string> cards;
    bool hasMin = false, hasMax = false;
    std::stringstream names(m[1].str());
    for (std::string name; std::getline(names, name, ',');) {
        if (name.rfind("custom_min_", 0) == 0 || name.rfind("custom_max_", 0) == 0) {
            (name[7] == 'm' && name[8] == 'i' ? hasMin : hasMax) = true;
            continue;
        }
        cups_option_t* options = nullptr;
        const int n = cupsAddOption("media", name.c_str(), 0, &options);
        CupsExternalInterSettingsReader reader(options, n, nullptr);
        testing::internal::CaptureStderr();
        const char* card = reader.findFeature("PaperSize", nullptr);
        testing::internal::GetCapturedStderr();
        ASSERT_NE(card, nullptr) << name;
        EXPECT_STRNE(card, "CRCUSTOM") << name;
        cards.insert(card);
        cupsFreeOptions(n, options);
    }
    EXPECT_EQ(cards.size(), 12u) << r.out;
    EXPECT_TRUE(hasMin && hasMax) << "no custom size range: " << m[1];

    // 90 x 55 mm reaches the filter as PageSize=Custom.255x155 (CUPS keeps
    // whole points): 1063 x 646 dots at 300 dpi.
    ASSERT_NE(print({"-o", "media=custom_90x55mm_90x55mm", makePdf(dir)}), "");
    const std::string stream = contents(device);
    const cr80tools::ParsedStream parsed = cr80tools::parseStream(stream);
    EXPECT_EQ(parsed.error, "");
    size_t panels = 0;
    for (const cr80tools::StreamItem& item : parsed.items) {
        if (item.kind != cr80tools::StreamItem::Panel)
            continue;
        ++panels;
        EXPECT_EQ(item.width, 1063u) << item.panel;
        EXPECT_EQ(item.height, 646u) << item.panel;
    }
    EXPECT_GE(panels, 3u) << tailOf(readLog("error_log"));
}

#ifdef CR80_PRINTER_APP_PATH
// The printer application under test: the build's, or with
// CR80_CUPS_TEST_TREE set, the one of the tree the package test unpacked.
static std::string printerAppPath()
{
    const char* tree = std::getenv("CR80_CUPS_TEST_TREE");
    return tree != nullptr && *tree != '\0' ? std::string(tree) + CR80_PACKAGE_BIN_DIR "/cr80-printer-app"
                                            : std::string(CR80_PRINTER_APP_PATH);
}

// A driverless CUPS queue (`lpadmin -m everywhere`) pointing at the printer
// application: a PDF printed with `lp` reaches the application (CUPS sends it
// unconverted) and comes out as a well-formed card with the PDF's inks.
TEST_F(Cups, DriverlessQueuePrintsThroughThePrinterApplication)
{
    TempDir appDir;
    PrinterAppServer app(printerAppPath(), appDir.path());
    std::string why;
    ASSERT_TRUE(app.start(&why, "debug")) << why;
    ASSERT_NO_FATAL_FAILURE(addQueue({"-v", app.uri(), "-m", "everywhere"}));
    // lpadmin returns before cupsd has made the queue's PPD from the
    // printer's attributes; a job sent before would go out with defaults.
    const auto options = [&]() { return run({"lpoptions", "-p", "card", "-l"}).out; };
    ASSERT_TRUE(waitFor([&]() { return options().find("86.03x54.87mm") != std::string::npos; }, 60))
        << options() << tailOf(readLog("error_log"));
    // The CR80 card is the queue's default size: with none of its sizes the
    // default, CUPS lays the PDF out on its own default paper and the card
    // comes out shrunk.
    const std::string listed = options();
    EXPECT_TRUE(std::regex_search(listed, std::regex("PageSize/[^\n]* \\*86\\.03x54\\.87mm[ .\n]"))) << listed;

    const std::string id = print({makePdf(dir)});
    ASSERT_NE(id, "");
    ASSERT_TRUE(waitFor([&]() { return app.completedJobs() == 1; }, 60)) << "no card from the printer application\n"
                                                                         << tailOf(readFile(app.root + "/server.log"));
    server.stop();
    app.stop();
    const std::vector<std::string> cards = app.cards();
    ASSERT_EQ(cards.size(), 1u);
    expectCard(cards[0], PdfAreas, "driverless " + id);
}
#endif
