#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Conversion.h"
#include "InternalLog.h"
#include "input/MonoReaders.h"
#include "pipeline/GrectListNode.h"
#include "settings/IExternalInterSettingsReader.h"
#include "settings/OptionsConverter.h"
#include "QuietLog.h"

using namespace TavGdiOptions;
using namespace cr80test;
using tavgdi::MonoReaders;
namespace PT = PrintingTags;

namespace {

typedef std::vector<std::pair<std::string, std::string>> Settings;

// Settings from literal name/value pairs.
class LiteralReader : public IExternalInterSettingsReader {
public:
    LiteralReader(const Settings& s, dword maxSize) : settings(s), maxSize(maxSize) {}
    const char* findFeature(const char* feature, int*) override
    {
        for (const auto& pair : settings)
            if (pair.first == feature)
                return pair.second.c_str();
        return nullptr;
    }
    bool readPCSettingsFromBuffer(char*, int) override { return false; }
    bool updatePCSettingsFromBuffer(char*) override { return false; }
    dword getMaxSize() override { return maxSize; }

private:
    Settings settings;
    dword maxSize;
};

struct Check {
    MapId map;
    Keys key;
    int value;
};

// left, top, right, bottom, black level
typedef std::tuple<unsigned long, unsigned long, unsigned long, unsigned long, int> Rect;

// A conversion of literal settings, with the text-region lists it made.
class Job : public cr80test::Conversion {
public:
    bool run(const Settings& s, dword maxSize = 32000, bool trace = false)
    {
        reader.reset(new LiteralReader(s, maxSize));
        return convert(reader.get(), trace);
    }
    std::vector<Rect> rectList(bool isFront)
    {
        std::vector<Rect> out;
        for (auto* n = rects.get(isFront)->getFirst(); n != nullptr; n = n->next.get())
            out.emplace_back(n->rect->left, n->rect->top, n->rect->right, n->rect->bottom, byte(n->rect->blackLevel));
        return out;
    }
    std::unique_ptr<LiteralReader> reader;
};

using OptionsConverterTest = cr80test::QuietLog;

// What a conversion without any setting stores.
// clang-format off
const Check Defaults[] = {
    {Front, DpiX, 300}, {Back, DpiY, 300}, {Front, PaperSizeW, 1016}, {Back, PaperSizeH, 648},
    {Front, DbFormatOut, DbFormat7bit}, {Back, ColorToMonochrome, ColorBWFloyd}, {Doc, InsertionMode, 0},
    {Doc, CardPreloading, 'D'}, {Doc, SendSpoolSession, 1}, {Doc, SendPrintStatusDisableMode, 0},
    {Doc, TextRectErr, 2}, {Front, StrictPageSetup, StretchImage}, {Back, StrictPageSetup, StretchImage},
    {Doc, RibbonType, 0}, {Card, CopyCount, 1}, {Front, ColorConstrast, 10}, {Back, ColorLuminosity, 10},
    {Front, MonochromeContrast, 10}, {Back, OverlayContrast, 10}, {Doc, Iqlaby, 10}, {Doc, MonochromeSpeed, 10},
    {Front, ShortPanelGlobalShift, 3}, {Back, OverlayPanelGlobalShiftYE, 3}, {Front, ColorPanelGlobalShiftXS, 3},
    {Front, ThresholdValue, 128}, {Front, BlackLevelValue, 249}, {Back, DarkLevelValue, 200},
};
// clang-format on

void expectChecks(Job& job, const std::vector<Check>& checks, const std::string& label)
{
    static const char* const MapNames[] = {"doc", "card", "front", "back"};
    for (const Check& c : checks)
        EXPECT_EQ(job.get(c.map, c.key), c.value) << label << ": " << MapNames[c.map] << " key " << c.key;
}

} // namespace

TEST_F(OptionsConverterTest, NoReaderStoresEveryDefault)
{
    for (int variant = 0; variant < 2; ++variant) {
        Job job;
        DEVOBJ noOem = {nullptr, nullptr, nullptr, nullptr};
        ASSERT_TRUE(job.convertWith(variant == 0 ? nullptr : &noOem));
        expectChecks(job, std::vector<Check>(std::begin(Defaults), std::end(Defaults)), "no reader");
        EXPECT_EQ(job.readerName(MonoReaders::BlackMonochromeReaderFront), "black");
        EXPECT_EQ(job.readerName(MonoReaders::BlackMonochromeReaderBack), "backBlack");
        EXPECT_EQ(job.readerName(MonoReaders::OverlayMonochromeReaderFront), "overlay");
        EXPECT_EQ(job.readerName(MonoReaders::OverlayMonochromeReaderBack), "backOverlay");
        EXPECT_TRUE(job.rectList(true).empty());
        EXPECT_TRUE(job.rectList(false).empty());
        for (int tag = 0; tag < PT::PrintingTagsTypeSize; ++tag)
            EXPECT_EQ(job.aggregator.getAggregateSize(static_cast<PT::PrintingTagsType>(tag)), 0u);
    }
}

TEST_F(OptionsConverterTest, CopyCountFromDeviceMode)
{
    const struct {
        short copies;
        int expected;
    } cases[] = {{0, 1}, {-4, 1}, {1, 1}, {3, 3}, {SHRT_MAX, SHRT_MAX}};
    for (const auto& c : cases) {
        Job job;
        DEVMODE dm = {c.copies};
        job.devObj.pPublicDM = &dm;
        job.run({});
        EXPECT_EQ(job.get(Card, CopyCount), c.expected) << c.copies;
    }
}

// One setting, one stored value.
TEST_F(OptionsConverterTest, SingleSettingTables)
{
    const struct {
        const char* name;
        const char* value;
        MapId map;
        Keys key;
        int expected;
    } cases[] = {
        // Resolution: longer keywords first, prefix match.
        {"Resolution", "DPI600300", Front, DpiX, 600},
        {"Resolution", "DPI600300", Back, DpiY, 300},
        {"Resolution", "DPI300X", Back, DpiX, 300},
        {"Resolution", "DPI260300", Front, DpiX, 260},
        {"Resolution", "dpi600", Front, DpiX, 300},
        // Card sizes.
        {"PaperSize", "CR80260", Front, PaperSizeW, 1016},
        {"PaperSize", "CRCUSTOM", Back, PaperSizeCustom, OptionTrue},
        {"PaperSize", "A4", Front, PaperSizeW, 1016},
        // General options.
        {"GHighQualityMode", "ON", Back, DbFormatOut, DbFormat8bit},
        {"FBlackManagement", "TEXTINBLACK", Front, BlackManagement, BlackMgtOnlyText},
        {"FPageRotate180", "ONLINE", Front, Rotate180, OptionTrue},
        {"BPageRotate180", "ON", Back, Rotate180, OptionTrue},
        {"BPageRotate180", "ON", Front, Rotate180, 0},
        {"FPageRotate180", "on", Front, Rotate180, 0},
        {"BHalftoning", "THRESHOLD", Back, ColorToMonochrome, ColorBWThresholding},
        {"GSmoothing", "EXADVSMOOTH", Front, Smoothing, SmoothingAdvanced},
        {"IPostSmoothing", "ADVSMOOTH", Back, DbFormatOut, DbFormat8bit},
        // VAL levels.
        {"FColorContrast", "VAL7", Front, ColorConstrast, 7},
        {"FColorContrast", "VAL100", Front, ColorConstrast, 10},
        {"FColorContrast", "VALx", Front, ColorConstrast, 10},
        {"FColorContrast", "7", Front, ColorConstrast, 10},
        {"IGIQLACM", "VAL42", Doc, Iqlacm, 42},
        {"IGIQLACM", "42", Doc, Iqlacm, 10},
        // Threshold levels.
        {"IFThresholdValue", "0", Front, ThresholdValue, 128},
        {"IFThresholdValue", "abc", Front, ThresholdValue, 128},
        {"IFDarkLevelValue", "0", Front, DarkLevelValue, 0},
        {"IBDarkLevelValue", "-1", Back, DarkLevelValue, 200},
        {"IBThresholdValue", "99999999999999", Back, ThresholdValue, INT_MAX},
        {"IBThresholdValue", "-99999999999999", Back, ThresholdValue, 128},
        // Panels.
        {"IShortPanelShift", "-7", Back, ShortPanelGlobalShift, -7},
        {"IMonoPanelShiftXE", "12mm", Back, MonoPanelGlobalShiftXE, 12},
        {"IOverlayPanelShiftYS", "-99999999999", Front, OverlayPanelGlobalShiftYS, INT_MIN},
        // Document flags.
        {"GPipeDetection", "OFFLINE", Doc, PipeDetection, 0},
        {"GPipeDetection", "", Doc, PipeDetection, OptionTrue},
        {"IGTextRectErr", "20", Doc, TextRectErr, 20},
        {"IGTextRectErr", "21", Doc, TextRectErr, 2},
        // Magnetic stripe.
        {"GMagT2Encoding", "JIS2", Doc, MagEncodingTrack2, 6},
        // Black substitution.
        {"IGBlackSub", "FF8000", Front, FixedBlackSubY, 255},
        {"IGBlackSub", "ff80zz", Back, FixedBlackSubC, 0},
        {"IGBlackSub", "0a1B2c", Back, isFixedColorBlackSubst, OptionTrue},
        {"IGBlackSub", "FF80", Front, isFixedColorBlackSubst, 0},
        {"IGBlackSub", "FF80000", Back, FixedBlackSubY, 0},
    };
    for (const auto& c : cases) {
        Job job;
        job.run({{c.name, c.value}});
        EXPECT_EQ(job.get(c.map, c.key), c.expected) << c.name << "=" << c.value;
    }
    const struct {
        char high, low;
        int expected;
    } hex[] = {{'F', 'F', 255}, {'a', 'f', 0xaf}, {'g', '1', 1}, {'1', 'G', 16}, {' ', '9', 9}};
    for (const auto& c : hex)
        EXPECT_EQ(tavgdi::hexChar2ToByte(c.high, c.low), c.expected) << c.high << c.low;
}

// Several settings whose handlers meet in the same keys.
TEST_F(OptionsConverterTest, RibbonDuplexCardSizeAndOrderInteractions)
{
    const struct {
        const char* label;
        Settings settings;
        std::vector<Check> checks;
        // clang-format off
    } cases[] = {
        {"RC_YMCKOKS13 short panel", {{"GRibbonType", "RC_YMCKOKS13"}},
         {{Doc, RibbonType, 9}, {Front, ShortPanelManagement, OptionAuto}, {Back, ShortPanelManagement, OptionAuto},
          {Front, OutputDeviceType, DeviceColor}}},
        {"RC_YMCKOK no short panel", {{"GRibbonType", "RC_YMCKOK"}},
         {{Doc, RibbonType, 4}, {Front, ShortPanelManagement, 0}}},
        {"short panel overridden by GShortPanelManagement",
         {{"GRibbonType", "RC_YMCKOS"}, {"GShortPanelManagement", "CUSTOM"}},
         {{Front, ShortPanelManagement, OptionCustom}, {Back, ShortPanelManagement, OptionCustom}}},
        {"RM_KBLACK clears overlay",
         {{"GRibbonType", "RM_KBLACK"}, {"FOverlayManagement", "FULLVARNISH"}, {"BOverlayManagement", "BMPVARNISH"}},
         {{Doc, RibbonType, 'd'}, {Front, OutputDeviceType, DeviceMonochrome},
          {Back, OutputDeviceType, DeviceMonochrome}, {Front, OverlayManagement, 0}, {Back, OverlayManagement, 0}}},
        {"RM_KO keeps overlay", {{"GRibbonType", "RM_KO"}, {"FOverlayManagement", "FULLVARNISH"}},
         {{Doc, RibbonType, 1}, {Front, OutputDeviceType, DeviceMonochrome}, {Front, OverlayManagement, OverlayMgtFull}}},
        // Two-sided modes.
        {"GDuplexMode MC alone", {{"GDuplexMode", "DUPLEX_MC"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceMonochrome},
          {Back, OutputDeviceType, DeviceColor}}},
        {"GDuplexMode wins over Duplex",
         {{"Duplex", "HORIZONTAL"}, {"GDuplexType", "DUPLEX_CC"}, {"GDuplexMode", "DUPLEX_CM"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceColor},
          {Back, OutputDeviceType, DeviceMonochrome}}},
        {"GDuplexMode unknown stays one-sided", {{"Duplex", "HORIZONTAL"}, {"GDuplexMode", "SIMPLEX"}},
         {{Card, TwoSidedMode, 0}, {Front, OutputDeviceType, DeviceColor}}},
        {"HORIZONTAL with CC over mono ribbon",
         {{"GRibbonType", "RM_KO"}, {"Duplex", "HORIZONTALFLIP"}, {"GDuplexType", "DUPLEX_CC"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceColor},
          {Back, OutputDeviceType, DeviceColor}}},
        {"HORIZONTAL without type keeps the ribbon's kind", {{"GRibbonType", "RM_KO"}, {"Duplex", "HORIZONTAL"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceMonochrome},
          {Back, OutputDeviceType, DeviceMonochrome}}},
        {"Duplex None", {{"GRibbonType", "RM_KO"}, {"Duplex", "None"}, {"GDuplexType", "DUPLEX_CC"}},
         {{Card, TwoSidedMode, 0}, {Front, OutputDeviceType, DeviceMonochrome}}},
        // Halftoning always has the last word on ColorToMonochrome.
        {"halftoning after duplex", {{"GDuplexMode", "DUPLEX_CC"}, {"BHalftoning", "DITHERING"}},
         {{Front, ColorToMonochrome, ColorBWFloyd}, {Back, ColorToMonochrome, ColorBWDithering}}},
        // Card sizes.
        {"custom size", {{"PaperSize", "CRCUSTOM"}, {"IFormCustomWidth", "1100"}, {"IFormCustomHeight", "700"}},
         {{Front, PaperSizeW, 1100}, {Back, PaperSizeW, 1100}, {Front, PaperSizeH, 700}, {Back, PaperSizeH, 700}}},
        {"custom ignored without CRCUSTOM", {{"PaperSize", "CR80"}, {"IFormCustomWidth", "1100"}},
         {{Front, PaperSizeW, 1016}, {Back, PaperSizeW, 1016}}},
        // Bit depth: ADVSMOOTH after the quality mode.
        {"ADVSMOOTH over quality OFF", {{"GHighQualityMode", "OFF"}, {"GSmoothing", "ADVSMOOTH"}},
         {{Front, DbFormatOut, DbFormat8bit}, {Back, Smoothing, SmoothingAdvanced}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        Job job;
        job.run(c.settings);
        expectChecks(job, c.checks, c.label);
    }
}

TEST_F(OptionsConverterTest, TextRegions)
{
    const struct {
        const char* label;
        const char* resolution;
        const char* front;
        const char* back;
        std::vector<Rect> frontRects;
        std::vector<Rect> backRects;
        bool isParsingError;
        // clang-format off
    } cases[] = {
        {"300 dpi", "DPI300", "10x20x300x400(128)", nullptr, {{10, 20, 300, 400, 128}}, {}, false},
        {"600 dpi", "DPI600", "10x20x300x400(128)", nullptr, {{10, 10, 300, 200, 128}}, {}, false},
        {"1200 dpi", "DPI1200300", "10x20x300x400", "10x21x300x401", {{10, 5, 300, 100, 0}}, {{10, 6, 300, 101, 0}},
         false},
        {"last region first", "DPI300", "1x2x3x4;5x6x7x8", nullptr, {{5, 6, 7, 8, 0}, {1, 2, 3, 4, 0}}, {}, false},
        {"colon separator", "DPI300", nullptr, "1x2x3x4:5x6x7x8(9)", {}, {{5, 6, 7, 8, 9}, {1, 2, 3, 4, 0}}, false},
        {"short region", "DPI300", "100x200", nullptr, {{0, 0, 100, 200, 0}}, {}, false},
        {"level low 8 bits", "DPI300", "1x2x3x4(300)", nullptr, {{1, 2, 3, 4, 44}}, {}, false},
        {"upper-case X", "DPI300", "10X20", nullptr, {}, {}, true},
        {"error keeps later regions", "DPI300", "1x2?3;5x6x7x8", nullptr, {{5, 6, 7, 8, 0}}, {}, true},
        {"fifth number", "DPI300", "1x2x3x4x5;6x7x8x9", nullptr, {{6, 7, 8, 9, 0}}, {}, true},
        {"huge number saturates", "DPI300", "99999999999999999999x1", nullptr, {{0, 0, INT_MAX, 1, 0}}, {}, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        Job job;
        Settings s = {{"Resolution", c.resolution}};
        if (c.front != nullptr)
            s.push_back({"IFTextRegion", c.front});
        if (c.back != nullptr)
            s.push_back({"IBTextRegion", c.back});
        job.run(s, 32000, true);
        const std::string& log = job.log;
        EXPECT_EQ(job.rectList(true), c.frontRects) << c.label;
        EXPECT_EQ(job.rectList(false), c.backRects) << c.label;
        bool hasError =
            log.find("[OptionsConverter::updateTextRegionOptions] WARNING - Parsing error (") != std::string::npos;
        EXPECT_EQ(hasError, c.isParsingError) << c.label;
    }
}

// Track data either goes whole into one fragment or refuses the job with the
// track and the reason; a refused job files no magnetic fragment at all.
TEST_F(OptionsConverterTest, MagneticTrackDataFitsItsFormatOrRefusesTheJob)
{
    const std::string ESC = "\x1b", CR = "\r";
    const std::string Iso2Value = ";1234567890123456=2512?";
    auto piece = [&](int track, const std::string& value) {
        return ESC + "Dm;" + std::to_string(track) + ";" + value + CR;
    };
    const struct {
        const char* label;
        Settings settings;
        dword maxSize;
        std::string expected; // the fragment of an accepted job
        std::string refusal;  // the start of the cause of a refused job
        // clang-format off
    } cases[] = {
        {"valid ISO2", {{"GMagT2Encoding", "ISO2"}, {"Track2Data", Iso2Value}}, 32000, piece(2, Iso2Value), ""},
        // Without a chosen format the printer's own applies: only control
        // bytes and room are checked.
        {"tracks 1 and 3, printer's formats", {{"Track1Data", "%B12 AB^X?"}, {"Track3Data", "123"}}, 32000,
         piece(1, "%B12 AB^X?") + piece(3, "123"), ""},
        {"ISO2 at its 40 characters", {{"GMagT2Encoding", "ISO2"}, {"Track2Data", std::string(40, '7')}}, 32000,
         piece(2, std::string(40, '7')), ""},
        {"ISO1 at its 79 characters", {{"GMagT1Encoding", "ISO1"}, {"Track1Data", std::string(79, 'A')}}, 32000, piece(1, std::string(79, 'A')),
         ""},
        {"ISO3 at its 107 characters", {{"GMagT3Encoding", "ISO3"}, {"Track3Data", std::string(107, '0')}}, 32000,
         piece(3, std::string(107, '0')), ""},
        // 7 + 3 bytes and the NUL fit in 11 bytes exactly.
        {"exact fit", {{"Track1Data", "ABC"}}, 11, piece(1, "ABC"), ""},
        {"other formats: only controls and room",
         {{"GMagT1Encoding", "JIS2"}, {"Track1Data", "lower case \xc3\xa9 " + std::string(200, 'x')},
          {"GMagT2Encoding", "C4"}, {"Track2Data", "HELLO%%"}},
         32000, piece(1, "lower case \xc3\xa9 " + std::string(200, 'x')) + piece(2, "HELLO%%"), ""},

        {"ISO2 with letters", {{"GMagT2Encoding", "ISO2"}, {"Track2Data", "HELLO%%"}}, 32000, "",
         "Track 2 data holds 'H' at position 1, which the ISO2 format cannot encode"},
        {"track 2 letters, printer's format", {{"GMagT2Encoding", "NONE"}, {"Track2Data", "12A"}}, 32000,
         piece(2, "12A"), ""},
        {"ISO2 of 41 characters", {{"GMagT2Encoding", "ISO2"}, {"Track2Data", std::string(41, '7')}}, 32000, "",
         "Track 2 data has 41 characters, more than the 40 the ISO2 format holds"},
        {"ISO1 of 80 characters", {{"GMagT1Encoding", "ISO1"}, {"Track1Data", std::string(80, 'A')}}, 32000, "",
         "Track 1 data has 80 characters, more than the 79 the ISO1 format holds"},
        {"ISO1 beyond ASCII", {{"GMagT1Encoding", "ISO1"}, {"Track1Data", "\xc3\xa9"}}, 32000, "", "Track 1 data holds 0xC3 at position 1"},
        {"ISO3 of 108 characters", {{"GMagT3Encoding", "ISO3"}, {"Track3Data", std::string(108, '0')}}, 32000, "",
         "Track 3 data has 108 characters, more than the 107 the ISO3 format holds"},
        {"ESC in data", {{"GMagT1Encoding", "C2"}, {"Track1Data", "12" + ESC + "Pc;k;=;10"}}, 32000, "",
         "Track 1 data holds the control byte 0x1B at position 3"},
        {"DEL in data", {{"GMagT2Encoding", "ISO2"}, {"Track2Data", "\x7f"}}, 32000, "",
         "Track 2 data holds the control byte 0x7F at position 1"},
        {"one byte short of the buffer", {{"Track1Data", "ABC"}}, 10, "",
         "Track 1 data of 3 characters does not fit in the magnetic encoding command (10 bytes"},
        {"too long for the buffer",
         {{"GMagT1Encoding", "C2"}, {"Track1Data", std::string(20, '1')}, {"GMagT2Encoding", "C2"},
          {"Track2Data", std::string(20000, '2')}, {"GMagT3Encoding", "C2"}, {"Track3Data", std::string(20000, '3')}},
         32000, "", "Track 3 data of 20000 characters does not fit"},
        {"good track 1, bad track 2",
         {{"GMagT1Encoding", "ISO1"}, {"Track1Data", "A"}, {"GMagT2Encoding", "ISO2"}, {"Track2Data", "B"},
          {"Track3Data", "C"}}, 32000, "",
         "Track 2 data holds 'B'"},
    };
    // clang-format on
    for (const auto& c : cases) {
        Job job;
        job.run(c.settings, c.maxSize, true);
        const std::string& log = job.log;
        const std::string& refusal = job.refusal;
        EXPECT_EQ(job.fragments(PT::FrontFaceHead), c.expected) << c.label;
        // Eternal: repeated with every card.
        job.aggregator.removeMortal(PT::FrontFaceHead);
        EXPECT_EQ(job.fragments(PT::FrontFaceHead), c.expected) << c.label;
        if (c.refusal.empty()) {
            EXPECT_EQ(refusal, "") << c.label;
        } else {
            EXPECT_EQ(refusal.substr(0, c.refusal.size()), c.refusal) << c.label << ": " << refusal;
            EXPECT_NE(log.find("[OptionsConverter::updateMagData] ERROR - " + refusal + " - Job refused\r\n"),
                      std::string::npos)
                << c.label;
        }
    }
}

TEST_F(OptionsConverterTest, PassthroughFragmentsByPositionPriorityAndLifetime)
{
    Job job;
    job.run({{"passthrough", "[FH,100,O]Pc;k;=;10|[ct]Ss  "},
             {"RawData", " Raw1 |[FH,20000]Top|[XX]Never|After"},
             {"Track1Data", "M"}});
    // FrontFaceHead: priority 20000, then the magnetic data (14000), then 100.
    EXPECT_EQ(job.fragments(PT::FrontFaceHead), "\x1bTop\r\x1b"
                                                "Dm;1;M\r\x1bPc;k;=;10\r");
    EXPECT_EQ(job.fragments(PT::CardTail), "\x1bSs\r");
    EXPECT_EQ(job.fragments(PT::DocHead), "\x1bRaw1\r");
    // The mortal command goes with the first card only.
    job.aggregator.removeMortal(PT::FrontFaceHead);
    EXPECT_EQ(job.fragments(PT::FrontFaceHead), "\x1bTop\r\x1b"
                                                "Dm;1;M\r");
}
