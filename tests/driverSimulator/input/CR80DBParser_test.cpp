// The panel download reader: header forms, refused and overflowing headers,
// mutated streams, and the filter's own output read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FilterRun.h"
#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "TestRaster.h"
#include "VectorMemoryManager.h"
#include "builders/PanelCommand.h"
#include "image/IPixel.h"
#include "image/MonoDeviceSupervisor.h"
#include "input/CR80DBParser.h"
#include "settings/IGDataOptions.h"
#include "streamreader.h"

using tavgdi::CR80DBParser;
using tavgdi::IGDataParser;
using tavgdi::MediaDefinition;

namespace {

const dword CR80Area = 1016 * 648;

// One download: ESC, the header text, size data bytes of value fill, then end.
std::string db(const std::string& header, size_t size, char fill = 0x11, const std::string& end = "\r")
{
    return "\x1b" + header + std::string(size, fill) + end;
}

const std::string FaceEnd = "\x1bSe\r";
const IGDataParser::GDParserStates Refused = IGDataParser::GDParser_parsingerror,
                                   CutShort = IGDataParser::GDParser_ioerror,
                                   BadSize = IGDataParser::GDParser_resolution_error,
                                   Overflow = IGDataParser::GDParser_overflow, Unended = IGDataParser::GDParser_eof;

struct Reading {
    VectorMemoryManager ymc, k, o;
    std::unique_ptr<tavgdi::IGDataOptions> options{TavFactory::FactoryDataOptions(TavFactory::DbColorSupervisor)};
    MediaDefinition media{300, 300, 1016, 648};
    bool result = false, onError = false;
    IGDataParser::GDParserStates state = IGDataParser::GDParser_ok;

    void parse(const std::string& bytes)
    {
        FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
        ASSERT_NE(nullptr, f);
        CR80DBParser parser(&ymc, &k, &o);
        result = parser.parse(f, options.get(), &media);
        state = parser.getState();
        onError = parser.isOnError();
        fclose(f);
    }
};

} // namespace

TEST(CR80DBParser, RefusedHeadersAndBrokenStreams)
{
    const std::string k = db("Db;k;2;", CR80Area / 8);
    const std::string y8 = db("Db;y;256;", CR80Area);
    const std::string tiny = "Dbxs;y;256;300;300;16;8;"; // 128 dots
    const std::string tinyM = "Dbxs;m;256;300;300;16;8;";
    struct Case {
        const char* name;
        std::string stream;
        IGDataParser::GDParserStates state;
        bool isRefusedBeforeItsMemory = false; // data cut short
        // clang-format off
    } cases[] = {
        {"64 levels", db("Db;y;64;", 10) + FaceEnd, Refused},
        {"256 levels for black", db("Db;k;256;", 10) + FaceEnd, Refused},
        {"unknown letter", db("Db;z;2;", 10) + FaceEnd, Refused},
        {"number 2570", db("Dbx;y;256;2570;300;", 10) + FaceEnd, Refused},
        {"bad form byte", db("Dbq;y;256;", 10) + FaceEnd, Refused},
        {"size form without ;", db("Dbxsy;256;", 10) + FaceEnd, Refused},
        {"header cut short", "\x1b" "Dbx;y;256;30", Refused},
        {"resolution 0", db("Dbx;y;256;0;300;", 10) + FaceEnd, BadSize},
        {"card beyond the largest", db("Dbxs;k;2;2400;300;2400;648;", 10) + FaceEnd, BadSize},
        {"black data not ended by CR", db("Db;k;2;", CR80Area / 8, 1, "X") + FaceEnd, CutShort},
        {"colour data cut short", "\x1b" "Db;y;256;" + std::string(1000, 1), CutShort, true},
        // A 9952 x 2592 dot card announced by a few bytes.
        {"huge colour card cut short", db("Dbxs;y;256;1200;1200;2488;648;", 100) + FaceEnd, CutShort, true},
        {"huge black card cut short", db("Dbxs;k;2;1200;1200;2488;648;", 100) + FaceEnd, CutShort, true},
        {"no face end", k, Unended},
        // A later, larger colour header would write past the first reservation.
        {"larger card after the first", db(tiny, 128) + db("Dbxs;m;256;300;300;64;64;", 4096) + FaceEnd, Overflow},
        {"smaller card after the first", y8 + db(tinyM, 128) + FaceEnd, BadSize},
        {"7-bit after 8-bit", y8 + db("Db;m;128;", MediaDefinition::to7bits(CR80Area)) + FaceEnd, Refused},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reading run;
        run.parse(c.stream);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(c.state, run.state);
        EXPECT_EQ(c.state != Unended, run.onError);
        if (c.isRefusedBeforeItsMemory) {
            EXPECT_TRUE(run.ymc.bytes.empty() && run.k.bytes.empty());
        }
    }
}

// The filter's own stream for a colour card with black and overlay panels,
// read back into supervisors: every panel comes back as the face processing
// sent it, 7-bit data expanded with the lowest bit cleared.
TEST(CR80DBParser, FilterOutputReadsBackIntoThePanels)
{
    std::vector<byte> planes[2][3]; // 7 then 8 bits: colour, black, overlay
    for (int depth = 0; depth < 2; ++depth) {
        cr80test::FilterJob job;
        job.ppd.reset();
        job.options = std::string("FBlackManagement=ALLBLACKPOINT FOverlayManagement=FULLVARNISH") +
                      (depth == 1 ? " GHighQualityMode=ON" : "");
        job.stdinBytes = cr80test::rasterOf({cr80tools::makeSampleCard()});
        const cr80test::ProcessResult r = cr80test::runFilter(job);
        EXPECT_TRUE(r.exitedWith(0));
        cr80test::TempDir dir;
        const std::string path = dir.write("card.prn", r.out);
        const cr80tools::ParsedStream parsed = cr80tools::parseStream(r.out);
        EXPECT_EQ("", parsed.error);

        const TavFactory::SupervisorType types[] = {TavFactory::DbColorSupervisor, TavFactory::DbMonochromeSupervisor,
                                                    TavFactory::DbOverlaySupervisor};
        for (int t = 0; t < 3; ++t) {
            VectorMemoryManager mem;
            MediaDefinition media(300, 300, 1016, 648);
            tavgdi::MonoDeviceSupervisor sup(types[t], &media, &mem, nullptr, nullptr);
            EXPECT_TRUE(sup.load(const_cast<char*>(path.c_str()), false)) << "type " << t;
            planes[depth][t] = mem.bytes;
            int seen = 0;
            for (const cr80tools::StreamItem& item : parsed.items) {
                if (item.kind != cr80tools::StreamItem::Panel)
                    continue;
                const int index = GraphicalConstants::panelDescriptionToIndex(item.panel);
                if ((t == 0) != (index < 3) || (t == 1 && index != 3) || (t == 2 && index != 4))
                    continue;
                ++seen;
                if (t > 0) {
                    EXPECT_EQ(r.out.substr(item.dataOffset, item.dataSize),
                              std::string(mem.bytes.begin(), mem.bytes.end()));
                    continue;
                }
                EXPECT_EQ(depth == 0 ? 128 : 256, item.levels);
                const std::vector<uint8_t> dots = cr80tools::panelDots(r.out, item);
                const dword W = item.width, H = item.height;
                size_t differ = 0;
                for (dword y = 0; y < H; ++y)
                    for (dword x = 0; x < W; ++x) {
                        const tavgdi::IPixel* p = sup.getPixel(static_cast<int>(x), static_cast<int>(H - 1 - y));
                        const byte v = index == 0 ? p->getY() : index == 1 ? p->getM() : p->getC();
                        differ += v != dots[size_t(y) * W + x];
                    }
                EXPECT_EQ(0u, differ) << item.panel;
            }
            EXPECT_EQ(t == 0 ? 3 : 1, seen);
        }
    }
    // The same face at both depths: the 7-bit panels are the 8-bit ones
    // without their lowest bit.
    const std::vector<byte>(&seven)[3] = planes[0], (&eight)[3] = planes[1];
    ASSERT_EQ(3u * CR80Area, seven[0].size());
    ASSERT_EQ(seven[0].size(), eight[0].size());
    size_t differ = 0;
    for (size_t i = 0; i < seven[0].size(); ++i)
        differ += seven[0][i] != (eight[0][i] & 0xFE);
    EXPECT_EQ(0u, differ);
    EXPECT_EQ(seven[1], eight[1]);
    EXPECT_EQ(seven[2], eight[2]);
}
