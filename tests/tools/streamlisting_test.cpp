// Stream grammar check and face previews, on tiny
// hand-made streams (16 x 8 dot cards), and the cardstream program itself.
#include <gtest/gtest.h>

#include <functional>

#include "FilterRun.h"
#include "TestRaster.h"
#include "streamreader.h"

using namespace cr80tools;

namespace {

const unsigned W = 16, H = 8;

std::string cmd(const std::string& text)
{
    return "\x1b" + text + "\r";
}

// A panel download of a 16 x 8 card (at 300 dpi) whose ink at the panel's
// dot (x, y) from the top-left is ink(x, y).
std::string panel(char letter, int levels, const std::function<uint8_t(unsigned, unsigned)>& ink, unsigned dpiX = 300,
                  unsigned dpiY = 300)
{
    const unsigned W = 16 * dpiX / 300, H = 8 * dpiY / 300;
    std::string data;
    if (levels == 256) {
        data.assign(W * H, '\0');
        for (unsigned x = 0; x < W; ++x)
            for (unsigned y = 0; y < H; ++y)
                data[x * H + (H - 1 - y)] = char(ink(x, y));
    } else {
        data.assign(W * H / 8, '\0');
        for (unsigned x = 0; x < W; ++x)
            for (unsigned y = 0; y < H; ++y)
                if (ink(x, y))
                    data[x * (H / 8) + (H - 1 - y) / 8] |= char(0x80 >> ((H - 1 - y) % 8));
    }
    return "\x1b"
           "Dbxs;" +
           std::string(1, letter) + ";" + std::to_string(levels) + ";" + std::to_string(dpiX) + ";" +
           std::to_string(dpiY) + ";16;8;" + data + "\r";
}

uint8_t yellowLeftHalf(unsigned x, unsigned)
{
    return x < W / 2 ? 255 : 0;
}

uint8_t dotAt3x2(unsigned x, unsigned y)
{
    return x == 3 && y == 2 ? 255 : 0;
}

std::string binary(const std::string& panels)
{
    return "<BINARY Size=" + std::to_string(panels.size()) + ">" + panels + "</BINARY>";
}

std::string face(const char* side, const std::string& panels)
{
    return "<FACE>" + cmd(side) + cmd("Pida;50;25;0;0") + binary(panels) + "</FACE>";
}

std::string stream(const std::string& faces)
{
    return cmd("Psync;1;0") + "<HEADER>" + cmd("Pr;0;t") + "</HEADER>" + "<DOC Duplex=0>" + "<CARD>" + cmd("Ss") +
           faces + cmd("Se") + "</CARD>" + "</DOC>" + "<END>";
}

const std::string Black = panel('k', 2, dotAt3x2);
const std::string Front = panel('y', 256, yellowLeftHalf) + Black;
const std::string Overlay = panel('o', 2, [](unsigned, unsigned) { return 255; });
const std::string SevenBitOverlay = "\x1b"
                                    "Dbxs;o;128;300;300;16;8;" +
                                    std::string(W * H / 8 * 7, '\x11') + "\r";
const std::string Good = stream(face("Sr", Front) + face("Sv", Overlay));

std::string replaced(std::string s, const std::string& from, const std::string& to)
{
    size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

} // namespace

TEST(StreamCheck, AGoodStreamPassesWithItsCounts)
{
    StreamCheck check = checkStream(Good);
    EXPECT_TRUE(check.ok) << check.fault << " at " << check.offset;
    EXPECT_EQ(check.cards, 1);
    EXPECT_EQ(check.faces, 2);
    EXPECT_EQ(check.panels, 3);
}

TEST(StreamCheck, FirstFaultIsFoundWithItsOffset)
{
    const std::string binaryMarker = "<BINARY Size=" + std::to_string(Front.size()) + ">";
    const size_t firstBinaryEnd = Good.find("</BINARY>");
    struct Case {
        const char* name;
        std::string bytes;
        size_t offset;
        const char* fault;
    } cases[] = {
        {"size one too many", replaced(Good, binaryMarker, "<BINARY Size=" + std::to_string(Front.size() + 1) + ">"),
         firstBinaryEnd, "holds"},
        {"command without CR", replaced(Good, cmd("Ss"), "\x1bSs"), Good.find(cmd("Ss")), "not ended by CR"},
        {"black panel announcing 256 levels", replaced(Good, "Dbxs;k;2;", "Dbxs;k;256;"),
         Good.find("\x1b"
                   "Dbxs;k"),
         "shorter than its header"},
        {"overlay panel with 7-bit levels", replaced(Good, Overlay, SevenBitOverlay), Good.find(Overlay),
         "cannot have 128 levels"},
        {"panel data short", replaced(Good, Black, Black.substr(0, Black.size() - 2) + "\r"), Good.find(Black),
         "shorter than its header"},
        {"stray bytes", replaced(Good, "<CARD>", "junk<CARD>"), Good.find("<CARD>"), "stray bytes"},
        {"card closed inside face", replaced(Good, "</FACE>" + cmd("Se"), "</CARD>"), Good.find("</FACE>" + cmd("Se")),
         "closes <FACE>"},
        {"face outside card", replaced(Good, "<CARD>" + cmd("Ss"), ""), Good.find("<CARD>"), "not allowed"},
        {"ends inside the document", Good.substr(0, Good.find("</DOC>")), Good.find("</DOC>"), "ends inside <DOC>"},
        {"command in panel block", replaced(Good, binaryMarker, binaryMarker + cmd("Pr;0;t")),
         Good.find(binaryMarker) + binaryMarker.size(), "inside panel data"},
    };
    for (const Case& c : cases) {
        StreamCheck check = checkStream(c.bytes);
        EXPECT_FALSE(check.ok) << c.name;
        EXPECT_EQ(check.offset, c.offset) << c.name << ": " << check.fault;
        EXPECT_NE(check.fault.find(c.fault), std::string::npos) << c.name << ": " << check.fault;
    }
}

TEST(StreamPreview, FacesComposeInksTheRightWayUp)
{
    std::vector<FacePreview> faces = facePreviews(Good);
    ASSERT_EQ(faces.size(), 2u);
    const FacePreview& front = faces[0];
    EXPECT_EQ(front.card, 1);
    EXPECT_FALSE(front.back);
    ASSERT_EQ(front.width, W);
    ASSERT_EQ(front.height, H);
    auto rgb = [&front](unsigned x, unsigned y) {
        const uint8_t* p = &front.rgb[(y * W + x) * 3];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(rgb(0, 0), (std::vector<int>{255, 255, 0})); // yellow on the left
    EXPECT_EQ(rgb(W - 1, H - 1), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(rgb(3, 2), (std::vector<int>{0, 0, 0})); // the black dot over yellow
    ASSERT_EQ(front.monoPanels.size(), 1u);
    EXPECT_EQ(front.monoPanels[0].panel, 'k');
    EXPECT_EQ(front.monoPanels[0].gray[2 * W + 3], 0);
    EXPECT_EQ(front.monoPanels[0].gray[2 * W + 4], 255);
    EXPECT_TRUE(faces[1].back);
    ASSERT_EQ(faces[1].monoPanels.size(), 1u);
    EXPECT_EQ(faces[1].monoPanels[0].panel, 'o');
}

TEST(CardstreamProgram, ExitStatusAndFiles)
{
    cr80test::TempDir dir;
    const std::string good = dir.write("good.prn", Good);
    const std::string NoCard = "no card in the stream\n";
    const std::string cardless =
        cmd("Psync;1;0") + "<HEADER>" + cmd("Pr;0;t") + "</HEADER>" + "<DOC Duplex=0>" + "</DOC>" + "<END>";
    auto run = [](std::vector<std::string> args) {
        args.insert(args.begin(), CR80_CARDSTREAM_PATH);
        return cr80test::runCommand(args);
    };
    const struct {
        const char* name;
        std::string bytes;
        int status;
        std::string out;
    } checks[] = {
        {"good", Good, 0, "ok: 1 card(s), 2 face(s), 3 panel(s), " + std::to_string(Good.size()) + " bytes\n"},
        {"cut short", Good.substr(0, Good.find("</DOC>")), 1,
         "fault at byte " + std::to_string(Good.find("</DOC>")) + ": stream ends inside <DOC>\n"},
        {"no card", cardless, 1, NoCard},
    };
    for (const auto& c : checks) {
        cr80test::ProcessResult r = run({"--check", dir.write("check.prn", c.bytes)});
        EXPECT_TRUE(r.exitedWith(c.status)) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
    cr80test::ProcessResult r = run({dir.write("cardless.prn", cardless)});
    EXPECT_TRUE(r.exitedWith(1));
    EXPECT_NE(r.out.find("FAULT: " + NoCard), std::string::npos) << r.out;
    r = run({"--png", dir.file("p"), good});
    EXPECT_TRUE(r.exitedWith(0)) << r.err;
    for (const char* name : {"p-card1-front.png", "p-card1-front-k.png", "p-card1-back.png", "p-card1-back-o.png"})
        EXPECT_EQ(cr80test::readFile(dir.file(name)).substr(1, 3), "PNG") << name;
    EXPECT_TRUE(run({}).exitedWith(2));
    EXPECT_TRUE(run({dir.file("missing.prn")}).exitedWith(2));
}
