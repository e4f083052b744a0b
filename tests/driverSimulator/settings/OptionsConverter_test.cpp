#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Allocator.h"
#include "COemPDEV.h"
#include "GlobalFactory.h"
#include "input/FileMonochromeReader.h"
#include "input/MonoReaders.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/GRect.h"
#include "pipeline/GrectListNode.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/IExternalInterSettingsReader.h"
#include "settings/IGDataOptions.h"
#include "settings/OptionsConverter.h"

using namespace TavGdiOptions;
using tavgdi::ExternalBufferAggregator;
using tavgdi::IGDataOptions;
using tavgdi::MonoReaders;
using tavgdi::OptionsConverter;
using tavgdi::StdLGRectManager;
namespace PT = PrintingTags;

namespace {

typedef std::vector<std::pair<std::string, std::string>> Settings;

// Settings from literal name/value pairs; a name may be given twice, the
// first pair wins (as in a settings list).
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

enum MapId { Doc, Card, Front, Back };

struct Check {
    MapId map;
    Keys key;
    int value;
};

struct Rect {
    unsigned long left, top, right, bottom;
    int level;
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom && level == o.level;
    }
};

std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << " @" << r.level << ")";
}

// The adapter's side of a conversion: the four maps, the aggregator, the
// rectangle lists, the readers and the device object.
class Job {
public:
    Job() : readers(TavFactory::FileMonoReader)
    {
        doc = TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor);
        card = TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor);
        front = TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor);
        back = TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor);
        rects.create(nullptr);
        devObj.hPrinter = nullptr;
        devObj.pdevOEM = &pdev;
        devObj.pPublicDM = nullptr;
        devObj.interSettings = nullptr;
    }
    ~Job()
    {
        pdev.interSettings = nullptr;
        delete reader;
        delete doc;
        delete card;
        delete front;
        delete back;
    }

    bool run(const Settings& s, dword maxSize = 32000)
    {
        reader = new LiteralReader(s, maxSize);
        pdev.interSettings = reader;
        return runWith(&devObj);
    }
    bool runWith(PDEVOBJ obj)
    {
        OptionsConverter converter(doc, card, front, back, &aggregator, &rects, &readers, obj, nullptr);
        return converter.convert();
    }

    int get(MapId id, Keys key)
    {
        IGDataOptions* maps[] = {doc, card, front, back};
        return maps[id]->getOption(key);
    }

    std::vector<Rect> rectList(bool isFront)
    {
        std::vector<Rect> out;
        tavgdi::StdLGRect* list = rects.get(isFront);
        for (internalTavgdi::GrectListNode* n = list != nullptr ? list->getFirst() : nullptr; n != nullptr;
             n = n->next)
            out.push_back({n->rect->left, n->rect->top, n->rect->right, n->rect->bottom,
                           static_cast<int>(static_cast<byte>(n->rect->blackLevel))});
        return out;
    }

    std::string fragments(PT::PrintingTagsType tag)
    {
        byte* bytes = aggregator.aggregate(tag);
        if (bytes == nullptr)
            return "";
        std::string out(reinterpret_cast<char*>(bytes), aggregator.getAggregateSize(tag));
        tavgdi::Allocator::desalloc(bytes);
        return out;
    }

    std::string readerName(MonoReaders::MonoReaderItemType slot)
    {
        auto* r = dynamic_cast<tavgdi::FileMonochromeReader*>(readers.get(slot));
        return r != nullptr ? r->getFilename() : "<none>";
    }

    IGDataOptions *doc, *card, *front, *back;
    ExternalBufferAggregator aggregator;
    StdLGRectManager rects;
    MonoReaders readers;
    COemPDEV pdev;
    DEVOBJ devObj;
    LiteralReader* reader = nullptr;
};

const char* const ESC = "\x1b";
const char* const CR = "\r";

// What a conversion without any setting stores.
const Check Defaults[] = {
    {Front, DpiX, 300}, {Back, DpiY, 300}, {Front, PaperSizeW, 1016}, {Back, PaperSizeH, 648},
    {Front, PaperSizeCustom, 0}, {Front, DbFormatOut, DbFormat7bit}, {Back, DbFormatOut, DbFormat7bit},
    {Front, OutputDeviceType, DeviceColor}, {Back, OutputDeviceType, DeviceColor},
    {Front, ColorToMonochrome, ColorBWFloyd}, {Back, ColorToMonochrome, ColorBWFloyd},
    {Front, Smoothing, 0}, {Front, BlackManagement, 0}, {Front, OverlayManagement, 0}, {Front, Rotate180, 0},
    {Front, ColorConstrast, 10}, {Back, ColorLuminosity, 10}, {Front, MonochromeContrast, 10},
    {Back, OverlayContrast, 10}, {Front, ThresholdValue, 128}, {Front, BlackLevelValue, 249},
    {Front, DarkLevelValue, 200}, {Back, ThresholdValue, 128}, {Back, BlackLevelValue, 249},
    {Back, DarkLevelValue, 200}, {Front, ShortPanelGlobalShift, 3}, {Back, OverlayPanelGlobalShiftYE, 3},
    {Front, ColorPanelGlobalShiftXS, 3}, {Front, MonoPanelGlobalShiftXE, 3}, {Front, ShortPanelManagement, 0},
    {Front, StrictPageSetup, StretchImage}, {Back, StrictPageSetup, StretchImage},
    {Front, isFixedColorBlackSubst, 0}, {Card, CopyCount, 1}, {Card, TwoSidedMode, 0}, {Doc, RibbonType, 0},
    {Doc, InsertionMode, 0}, {Doc, EjectionMode, 0}, {Doc, RejectionMode, 0}, {Doc, FeederCfgMode, 0},
    {Doc, FeederPosMode, 0}, {Doc, CardPreloading, 'D'}, {Doc, SendSpoolSession, 1},
    {Doc, SendPrintStatusDisableMode, 0}, {Doc, TextRectErr, 2}, {Doc, PipeDetection, 0},
    {Doc, MagCoercivity, 0}, {Doc, MagEncodingTrack1, 0}, {Doc, SendIqla, 0}, {Doc, Iqlaby, 10},
    {Doc, Iqlacc, 10}, {Doc, MonochromeSpeed, 10},
};

void expectChecks(Job& job, const std::vector<Check>& checks, const std::string& label)
{
    static const char* const MapNames[] = {"doc", "card", "front", "back"};
    for (const Check& c : checks)
        EXPECT_EQ(job.get(c.map, c.key), c.value) << label << ": " << MapNames[c.map] << " key " << c.key;
}

} // namespace

TEST(OptionsConverterTest, NoReaderStoresEveryDefault)
{
    for (int variant = 0; variant < 2; ++variant) {
        Job job;
        DEVOBJ noOem = {nullptr, nullptr, nullptr, nullptr};
        ASSERT_TRUE(job.runWith(variant == 0 ? nullptr : &noOem));
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

TEST(OptionsConverterTest, EmptyReaderMatchesDefaultsAndLogsLookups)
{
    Job job;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(job.run({{"Resolution", "DPI600"}}));
    std::string log = testing::internal::GetCapturedStderr();
    std::vector<Check> defaults(std::begin(Defaults), std::end(Defaults));
    defaults[0].value = 600;
    defaults[1].value = 600;
    expectChecks(job, defaults, "empty reader");
    EXPECT_NE(log.find("[OptionsConverter::loadOptionValue] Read setting (Resolution) from ExternalInterSettings"),
              std::string::npos);
    EXPECT_NE(log.find("[OptionsConverter::loadOptionValue] Setting (IGMonochromeSpeed) not found"),
              std::string::npos);
    // The magnetic fragment is filed even when empty: it adds no bytes.
    EXPECT_EQ(job.fragments(PT::FrontFaceHead), "");
}

TEST(OptionsConverterTest, MissingMapConvertsNothing)
{
    Job job;
    OptionsConverter converter(job.doc, job.card, job.front, nullptr, &job.aggregator, &job.rects, &job.readers,
                               nullptr, nullptr);
    EXPECT_TRUE(converter.existsNullOptionManager());
    EXPECT_FALSE(converter.convert());
    EXPECT_EQ(job.get(Card, CopyCount), 0);
    EXPECT_EQ(job.get(Front, DpiX), 0);
}

TEST(OptionsConverterTest, CopyCountFromDeviceMode)
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
TEST(OptionsConverterTest, SingleSettingTables)
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
        {"Resolution", "DPI6003", Front, DpiY, 600},
        {"Resolution", "DPI300X", Back, DpiX, 300},
        {"Resolution", "DPI1200300", Back, DpiX, 1200},
        {"Resolution", "DPI3001200", Front, DpiY, 1200},
        {"Resolution", "DPI260300", Front, DpiX, 260},
        {"Resolution", "dpi600", Front, DpiX, 300},
        // Card sizes.
        {"PaperSize", "CR80260", Front, PaperSizeW, 1016},
        {"PaperSize", "CR109X54", Back, PaperSizeW, 1296},
        {"PaperSize", "CR210X54", Front, PaperSizeW, 2488},
        {"PaperSize", "CR86X50", Back, PaperSizeH, 600},
        {"PaperSize", "CR150X50", Front, PaperSizeW, 1784},
        {"PaperSize", "CRCUSTOM", Back, PaperSizeCustom, OptionTrue},
        {"PaperSize", "A4", Front, PaperSizeW, 1016},
        // General options.
        {"ISendBlankPanel", "ON", Back, SendBlankPanel, OptionTrue},
        {"ISendBlankPanel", "OFF", Front, SendBlankPanel, 0},
        {"GHighQualityMode", "ON", Back, DbFormatOut, DbFormat8bit},
        {"GHighQualityMode", "OFF", Front, DbFormatOut, DbFormat7bit},
        {"FBlackManagement", "TEXTINBLACK", Front, BlackManagement, BlackMgtOnlyText},
        {"FBlackManagement", "TEXTINBLACK", Back, BlackManagement, 0},
        {"BBlackManagement", "BMPBLACK", Back, BlackManagement, BlackMgtBmp},
        {"BBlackManagement", "ALLBLACKPOINTS", Back, BlackManagement, BlackMgtAll},
        {"FOverlayManagement", "BMPVARNISH", Front, OverlayManagement, OverlayMgtBmp},
        {"BOverlayManagement", "FULLVARNISH", Back, OverlayManagement, OverlayMgtFull},
        {"FPageRotate180", "ONLINE", Front, Rotate180, OptionTrue},
        {"BPageRotate180", "on", Back, Rotate180, 0},
        {"FHalftoning", "CLUSTERED_DITHERING", Front, ColorToMonochrome, ColorBWClusteredDithering},
        {"FHalftoning", "DITHERING", Back, ColorToMonochrome, ColorBWFloyd},
        {"BHalftoning", "THRESHOLD", Back, ColorToMonochrome, ColorBWThresholding},
        {"BHalftoning", "FLOYD", Back, ColorToMonochrome, ColorBWFloyd},
        {"GSmoothing", "STDSMOOTH", Back, Smoothing, SmoothingStandard},
        {"GSmoothing", "EXADVSMOOTH", Front, Smoothing, SmoothingAdvanced},
        {"GSmoothing", "EXADVSMOOTH", Front, DbFormatOut, DbFormat7bit},
        {"IPostSmoothing", "ADVSMOOTH", Back, PostSmoothing, SmoothingAdvanced},
        {"IPostSmoothing", "ADVSMOOTH", Back, DbFormatOut, DbFormat8bit},
        {"GInputTray", "AUTO", Doc, InsertionMode, 'B'},
        {"GInputTray", "FEEDERX", Doc, InsertionMode, 'F'},
        {"GInputTray", "BEZEL", Doc, InsertionMode, 'I'},
        {"GInputTray", "PRINTER", Doc, InsertionMode, 0},
        {"GOutputTray", "REJECT", Doc, EjectionMode, 'K'},
        {"GOutputTray", "REAR", Doc, EjectionMode, 'R'},
        {"GRejectBox", "HOPPER", Doc, RejectionMode, 'R'},
        {"GRejectBox", "DEFAULTREJECT", Doc, RejectionMode, 'D'},
        {"GFeederCfg", "ALTERNATE", Doc, FeederCfgMode, 'a'},
        {"GFeederCfg", "FEEDERC", Doc, FeederCfgMode, 'C'},
        {"GFeederCfg", "FEEDER3", Doc, FeederCfgMode, '3'},
        {"GFeederCfg", "AUTX", Doc, FeederCfgMode, 0},
        {"GFeederPos", "AUTX", Doc, FeederPosMode, '0'},
        {"GFeederPos", "MIDDLE", Doc, FeederPosMode, 'S'},
        {"GFeederPos", "FEEDERD", Doc, FeederPosMode, 'D'},
        {"GCardPreloading", "ON", Doc, CardPreloading, 'E'},
        {"GCardPreloading", "OFF", Doc, CardPreloading, 'D'},
        // VAL levels.
        {"FColorContrast", "VAL7", Front, ColorConstrast, 7},
        {"FColorContrast", "VAL07", Front, ColorConstrast, 7},
        {"FColorContrast", "VAL100", Front, ColorConstrast, 10},
        {"FColorContrast", "VAL", Front, ColorConstrast, 10},
        {"FColorContrast", "VALx", Front, ColorConstrast, 10},
        {"FColorContrast", "7", Front, ColorConstrast, 10},
        {"BColorContrast", "VAL99", Back, ColorConstrast, 99},
        {"BColorBrightness", "VAL00", Back, ColorLuminosity, 0},
        {"FMonochromeContrast", "VAL5x", Front, MonochromeContrast, 10},
        {"BOverlayContrast", "VAL3", Back, OverlayContrast, 3},
        {"IGIQLACM", "VAL42", Doc, Iqlacm, 42},
        {"IGIQLACM", "VAL4", Doc, Iqlacm, 4},
        {"IGIQLACM", "42", Doc, Iqlacm, 10},
        {"IGIQLABY", "VAL01", Doc, Iqlaby, 1},
        {"IGMonochromeSpeed", "VAL55", Doc, MonochromeSpeed, 55},
        // Threshold levels.
        {"IFThresholdValue", "0", Front, ThresholdValue, 128},
        {"IFThresholdValue", "-5", Front, ThresholdValue, 128},
        {"IFThresholdValue", "abc", Front, ThresholdValue, 128},
        {"IFThresholdValue", " 300", Front, ThresholdValue, 300},
        {"IFBlackLevelValue", "0", Front, BlackLevelValue, 249},
        {"IFDarkLevelValue", "0", Front, DarkLevelValue, 0},
        {"IFDarkLevelValue", "abc", Front, DarkLevelValue, 0},
        {"IBDarkLevelValue", "-1", Back, DarkLevelValue, 200},
        {"IBBlackLevelValue", "240", Back, BlackLevelValue, 240},
        {"IBThresholdValue", "99999999999999", Back, ThresholdValue, INT_MAX},
        {"IBThresholdValue", "-99999999999999", Back, ThresholdValue, 128},
        // Panels.
        {"GShortPanelManagement", "CUSTOM", Front, ShortPanelManagement, OptionCustom},
        {"GColorPanelManagement", "AUTO", Back, ColorPanelManagement, OptionAuto},
        {"GMonoPanelManagement", "MANUAL", Front, MonoPanelManagement, 0},
        {"GOverlayPanelManagement", "CUSTOMISED", Back, OverlayPanelManagement, OptionCustom},
        {"IShortPanelShift", "-7", Back, ShortPanelGlobalShift, -7},
        {"IColorPanelShiftXS", "abc", Front, ColorPanelGlobalShiftXS, 0},
        {"IMonoPanelShiftXE", "12mm", Back, MonoPanelGlobalShiftXE, 12},
        {"IOverlayPanelShiftYS", "-99999999999", Front, OverlayPanelGlobalShiftYS, INT_MIN},
        {"IOverlayPanelShiftYE", "", Front, OverlayPanelGlobalShiftYE, 0},
        // Document flags.
        {"GPipeDetection", "ON", Doc, PipeDetection, OptionTrue},
        {"GPipeDetection", "OFFLINE", Doc, PipeDetection, 0},
        {"GPipeDetection", "", Doc, PipeDetection, OptionTrue},
        {"IGTextRectErr", "20", Doc, TextRectErr, 20},
        {"IGTextRectErr", "21", Doc, TextRectErr, 2},
        {"IGTextRectErr", "-1", Doc, TextRectErr, 2},
        {"IGTextRectErr", "0", Doc, TextRectErr, 0},
        {"IGSendSpoolerSession", "OFF", Doc, SendSpoolSession, 0},
        {"IGSendSpoolerSession", "ON", Doc, SendSpoolSession, 1},
        {"IGSendPrintStatusDisableMode", "ON", Doc, SendPrintStatusDisableMode, 1},
        {"IGStrictPageSetup", "ON", Front, StrictPageSetup, 0},
        {"IGStrictPageSetup", "OFF", Back, StrictPageSetup, StretchImage},
        {"IGSendIQLA", "ON", Doc, SendIqla, OptionTrue},
        {"IGSendIQLA", "OFF", Doc, SendIqla, 0},
        // Magnetic stripe.
        {"GMagT2Encoding", "JIS2", Doc, MagEncodingTrack2, 6},
        {"GMagT1Encoding", "C4X", Doc, MagEncodingTrack1, 7},
        {"GMagT3Encoding", "SIPASS", Doc, MagEncodingTrack3, 4},
        {"GMagT3Encoding", "ISO", Doc, MagEncodingTrack3, 0},
        {"GMagCoercivity", "HICO", Doc, MagCoercivity, 'h'},
        {"GMagCoercivity", "LOCO", Doc, MagCoercivity, 'l'},
        {"GMagCoercivity", "MEDIUM", Doc, MagCoercivity, 0},
        // Black substitution.
        {"IGBlackSub", "FF8000", Front, FixedBlackSubY, 255},
        {"IGBlackSub", "FF8000", Back, FixedBlackSubM, 128},
        {"IGBlackSub", "ff80zz", Back, FixedBlackSubC, 0},
        {"IGBlackSub", "0a1B2c", Front, FixedBlackSubC, 0x2c},
        {"IGBlackSub", "0a1B2c", Back, isFixedColorBlackSubst, OptionTrue},
        {"IGBlackSub", "FF80", Front, isFixedColorBlackSubst, 0},
        {"IGBlackSub", "FF80000", Back, FixedBlackSubY, 0},
    };
    for (const auto& c : cases) {
        Job job;
        job.run({{c.name, c.value}});
        EXPECT_EQ(job.get(c.map, c.key), c.expected) << c.name << "=" << c.value;
    }
}

// Several settings whose handlers meet in the same keys.
TEST(OptionsConverterTest, RibbonDuplexCardSizeAndOrderInteractions)
{
    const struct {
        const char* label;
        Settings settings;
        std::vector<Check> checks;
    } cases[] = {
        {"RC_YMCKOKS13 short panel", {{"GRibbonType", "RC_YMCKOKS13"}},
         {{Doc, RibbonType, 9}, {Front, ShortPanelManagement, OptionAuto}, {Back, ShortPanelManagement, OptionAuto},
          {Front, OutputDeviceType, DeviceColor}}},
        {"RC_YMCKOK no short panel", {{"GRibbonType", "RC_YMCKOK"}},
         {{Doc, RibbonType, 4}, {Front, ShortPanelManagement, 0}}},
        {"RC_YMCKOS", {{"GRibbonType", "RC_YMCKOS"}}, {{Doc, RibbonType, 3}, {Back, ShortPanelManagement, OptionAuto}}},
        {"RC_YMCKOS13", {{"GRibbonType", "RC_YMCKOS13"}}, {{Doc, RibbonType, 5}}},
        {"RC_YMCKOKOS", {{"GRibbonType", "RC_YMCKOKOS"}}, {{Doc, RibbonType, 10}}},
        {"RC_YMCKI", {{"GRibbonType", "RC_YMCKI"}}, {{Doc, RibbonType, 0}, {Front, ShortPanelManagement, 0}}},
        {"short panel overridden by GShortPanelManagement",
         {{"GRibbonType", "RC_YMCKOS"}, {"GShortPanelManagement", "CUSTOM"}},
         {{Front, ShortPanelManagement, OptionCustom}, {Back, ShortPanelManagement, OptionCustom}}},
        {"short panel kept by other GShortPanelManagement",
         {{"GRibbonType", "RC_YMCKOS"}, {"GShortPanelManagement", "NONE"}},
         {{Front, ShortPanelManagement, OptionAuto}}},
        {"RM_KBLACK clears overlay",
         {{"GRibbonType", "RM_KBLACK"}, {"FOverlayManagement", "FULLVARNISH"}, {"BOverlayManagement", "BMPVARNISH"}},
         {{Doc, RibbonType, 'd'}, {Front, OutputDeviceType, DeviceMonochrome},
          {Back, OutputDeviceType, DeviceMonochrome}, {Front, OverlayManagement, 0}, {Back, OverlayManagement, 0}}},
        {"RM_KO keeps overlay", {{"GRibbonType", "RM_KO"}, {"FOverlayManagement", "FULLVARNISH"}},
         {{Doc, RibbonType, 1}, {Front, OutputDeviceType, DeviceMonochrome}, {Front, OverlayManagement, OverlayMgtFull}}},
        {"RM_SOKO", {{"GRibbonType", "RM_SOKO"}}, {{Doc, RibbonType, 12}, {Back, OutputDeviceType, DeviceMonochrome}}},
        {"RM_HOLO", {{"GRibbonType", "RM_HOLO"}}, {{Doc, RibbonType, '['}}},
        {"RM_KRMS", {{"GRibbonType", "RM_KRMS"}}, {{Doc, RibbonType, 't'}}},
        {"RM_KMETALGOLD", {{"GRibbonType", "RM_KMETALGOLD"}}, {{Doc, RibbonType, 'j'}}},
        {"RM_XYZ unlisted", {{"GRibbonType", "RM_XYZ"}, {"FOverlayManagement", "FULLVARNISH"}},
         {{Doc, RibbonType, 0}, {Front, OutputDeviceType, DeviceMonochrome}, {Front, OverlayManagement, 0}}},
        {"empty ribbon", {{"GRibbonType", ""}}, {{Doc, RibbonType, 0}, {Back, OutputDeviceType, DeviceColor}}},
        {"other ribbon", {{"GRibbonType", "XX"}}, {{Doc, RibbonType, 0}, {Front, OutputDeviceType, DeviceColor}}},
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
        {"GDuplexMode MM over colour ribbon", {{"GRibbonType", "RC_YMCKO"}, {"GDuplexMode", "DUPLEX_MM"}},
         {{Front, OutputDeviceType, DeviceMonochrome}, {Back, OutputDeviceType, DeviceMonochrome}}},
        {"HORIZONTAL with CC over mono ribbon",
         {{"GRibbonType", "RM_KO"}, {"Duplex", "HORIZONTALFLIP"}, {"GDuplexType", "DUPLEX_CC"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceColor},
          {Back, OutputDeviceType, DeviceColor}}},
        {"HORIZONTAL with MC", {{"Duplex", "HORIZONTAL"}, {"GDuplexType", "DUPLEX_MC"}},
         {{Front, OutputDeviceType, DeviceMonochrome}, {Back, OutputDeviceType, DeviceColor}}},
        {"HORIZONTAL with unlisted type", {{"Duplex", "HORIZONTAL"}, {"GDuplexType", "DUPLEX_XX"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceMonochrome},
          {Back, OutputDeviceType, DeviceMonochrome}}},
        {"HORIZONTAL without type keeps colour ribbon", {{"GRibbonType", "RC_YMCKO"}, {"Duplex", "HORIZONTAL"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceColor},
          {Back, OutputDeviceType, DeviceColor}}},
        {"HORIZONTAL without type keeps mono ribbon", {{"GRibbonType", "RM_KO"}, {"Duplex", "HORIZONTAL"}},
         {{Card, TwoSidedMode, TavGdiOptions::Duplex}, {Front, OutputDeviceType, DeviceMonochrome},
          {Back, OutputDeviceType, DeviceMonochrome}}},
        {"Duplex None", {{"GRibbonType", "RM_KO"}, {"Duplex", "None"}, {"GDuplexType", "DUPLEX_CC"}},
         {{Card, TwoSidedMode, 0}, {Front, OutputDeviceType, DeviceMonochrome}}},
        // Halftoning always has the last word on ColorToMonochrome.
        {"halftoning after duplex", {{"GDuplexMode", "DUPLEX_CC"}, {"BHalftoning", "DITHERING"}},
         {{Front, ColorToMonochrome, ColorBWFloyd}, {Back, ColorToMonochrome, ColorBWDithering}}},
        // Card sizes.
        {"custom size", {{"PaperSize", "CRCUSTOM"}, {"IFormCustomWidth", "1100"}, {"IFormCustomHeight", "700"}},
         {{Front, PaperSizeW, 1100}, {Back, PaperSizeW, 1100}, {Front, PaperSizeH, 700}, {Back, PaperSizeH, 700},
          {Front, PaperSizeCustom, OptionTrue}}},
        {"custom width only", {{"PaperSize", "CRCUSTOM"}, {"IFormCustomWidth", "1100"}},
         {{Front, PaperSizeW, 1100}, {Back, PaperSizeH, 648}}},
        {"custom ignored without CRCUSTOM", {{"PaperSize", "CR80"}, {"IFormCustomWidth", "1100"}},
         {{Front, PaperSizeW, 1016}, {Back, PaperSizeW, 1016}}},
        {"custom huge saturates", {{"PaperSize", "CRCUSTOM"}, {"IFormCustomHeight", "123456789012345"}},
         {{Front, PaperSizeH, INT_MAX}}},
        // Bit depth: ADVSMOOTH after the quality mode.
        {"ADVSMOOTH over quality OFF", {{"GHighQualityMode", "OFF"}, {"GSmoothing", "ADVSMOOTH"}},
         {{Front, DbFormatOut, DbFormat8bit}, {Back, Smoothing, SmoothingAdvanced}}},
    };
    for (const auto& c : cases) {
        Job job;
        job.run(c.settings);
        expectChecks(job, c.checks, c.label);
    }
}

TEST(OptionsConverterTest, TextRegions)
{
    const struct {
        const char* label;
        const char* resolution;
        const char* front;
        const char* back;
        std::vector<Rect> frontRects;
        std::vector<Rect> backRects;
        bool isParsingError;
    } cases[] = {
        {"300 dpi", "DPI300", "10x20x300x400(128)", nullptr, {{10, 20, 300, 400, 128}}, {}, false},
        {"600 dpi", "DPI600", "10x20x300x400(128)", nullptr, {{10, 10, 300, 200, 128}}, {}, false},
        {"1200 dpi", "DPI1200300", "10x20x300x400", "10x21x300x401", {{10, 5, 300, 100, 0}}, {{10, 6, 300, 101, 0}},
         false},
        {"600x300 rounds up", "DPI600300", nullptr, "1x3x5x7", {}, {{1, 2, 5, 4, 0}}, false},
        {"last region first", "DPI300", "1x2x3x4;5x6x7x8", nullptr, {{5, 6, 7, 8, 0}, {1, 2, 3, 4, 0}}, {}, false},
        {"colon separator", "DPI300", nullptr, "1x2x3x4:5x6x7x8(9)", {}, {{5, 6, 7, 8, 9}, {1, 2, 3, 4, 0}}, false},
        {"trailing separator", "DPI300", "10x20x30x40;", nullptr, {{0, 0, 0, 0, 0}, {10, 20, 30, 40, 0}}, {}, false},
        {"short region", "DPI300", "100x200", nullptr, {{0, 0, 100, 200, 0}}, {}, false},
        {"empty value", "DPI300", "", nullptr, {{0, 0, 0, 0, 0}}, {}, false},
        {"level low 8 bits", "DPI300", "1x2x3x4(300)", nullptr, {{1, 2, 3, 4, 44}}, {}, false},
        {"upper-case X", "DPI300", "10X20", nullptr, {}, {}, true},
        {"blank", "DPI300", "1x2;3 x4", nullptr, {}, {}, true},
        {"error keeps later regions", "DPI300", "1x2?3;5x6x7x8", nullptr, {{5, 6, 7, 8, 0}}, {}, true},
        {"fifth number", "DPI300", "1x2x3x4x5", nullptr, {}, {}, true},
        {"fifth number after a good region", "DPI300", "1x2x3x4x5;6x7x8x9", nullptr, {{6, 7, 8, 9, 0}}, {}, true},
        {"huge number saturates", "DPI300", "99999999999999999999x1", nullptr, {{0, 0, INT_MAX, 1, 0}}, {}, false},
        {"long number saturates", "DPI300", "1000000000000000000000000000000000000000000000000000000000000000000000x1",
         nullptr, {{0, 0, INT_MAX, 1, 0}}, {}, false},
        {"leading zeros", "DPI300", "0000000000000000000007x1", nullptr, {{0, 0, 7, 1, 0}}, {}, false},
    };
    for (const auto& c : cases) {
        Job job;
        Settings s = {{"Resolution", c.resolution}};
        if (c.front != nullptr)
            s.push_back({"IFTextRegion", c.front});
        if (c.back != nullptr)
            s.push_back({"IBTextRegion", c.back});
        testing::internal::CaptureStderr();
        job.run(s);
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(job.rectList(true), c.frontRects) << c.label;
        EXPECT_EQ(job.rectList(false), c.backRects) << c.label;
        bool hasError = log.find("[OptionsConverter::updateTextRegionOptions] WARNING - Parsing error (") !=
                        std::string::npos;
        EXPECT_EQ(hasError, c.isParsingError) << c.label;
    }
}

TEST(OptionsConverterTest, TextRegionLogLines)
{
    Job job;
    testing::internal::CaptureStderr();
    job.run({{"Resolution", "DPI600"}, {"IFTextRegion", "1x2x3x4;5x6x7x8(9)"}});
    std::string log = testing::internal::GetCapturedStderr();
    const std::string prefix = "[TAVRIN UNIDRIVER][OptionsConverter::updateTextRegionOptions] ";
    EXPECT_NE(log.find(prefix + "600/1200 DPI management"), std::string::npos);
    EXPECT_NE(log.find(prefix + "AddRectangle: rect (5, 3, 7, 4)) @ 9"), std::string::npos);
    EXPECT_NE(log.find(prefix + "AddRectangle: rect (1, 1, 3, 2) @ 0"), std::string::npos);
}

TEST(OptionsConverterTest, TextRegionWithoutRectangleManager)
{
    Job job;
    job.reader = new LiteralReader({{"IFTextRegion", "1x2x3x4"}}, 32000);
    job.pdev.interSettings = job.reader;
    OptionsConverter converter(job.doc, job.card, job.front, job.back, &job.aggregator, nullptr, &job.readers,
                               &job.devObj, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(converter.convert());
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("[OptionsConverter::updateTextRegionOptions] WARNING - NULL rectangle manager\r\n"),
              std::string::npos);
}

TEST(OptionsConverterTest, MagneticDataFragment)
{
    const std::string longTrack(40, '7');
    const struct {
        const char* label;
        Settings settings;
        dword maxSize;
        std::string expected;
        int skippedTrack; // 0: none
    } cases[] = {
        {"tracks 1 and 3", {{"Track1Data", "ABC"}, {"Track3Data", "123"}}, 32000,
         std::string(ESC) + "Dm;1;ABC" + CR + ESC + "Dm;3;123" + CR, 0},
        {"all tracks", {{"Track3Data", "3"}, {"Track2Data", "2"}, {"Track1Data", "1"}}, 32000,
         std::string(ESC) + "Dm;1;1" + CR + ESC + "Dm;2;2" + CR + ESC + "Dm;3;3" + CR, 0},
        {"empty value", {{"Track2Data", ""}}, 32000, std::string(ESC) + "Dm;2;" + CR, 0},
        // 7 + 3 bytes and the NUL fit in 11 bytes exactly.
        {"exact fit", {{"Track1Data", "ABC"}}, 11, std::string(ESC) + "Dm;1;ABC" + CR, 0},
        {"one byte short", {{"Track1Data", "ABC"}}, 10, "", 1},
        {"long track left out", {{"Track1Data", "A"}, {"Track2Data", longTrack}, {"Track3Data", "C"}}, 32,
         std::string(ESC) + "Dm;1;A" + CR + ESC + "Dm;3;C" + CR, 2},
        {"no room at all", {{"Track3Data", "C"}}, 0, "", 3},
    };
    for (const auto& c : cases) {
        Job job;
        testing::internal::CaptureStderr();
        job.run(c.settings, c.maxSize);
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(job.fragments(PT::FrontFaceHead), c.expected) << c.label;
        // Eternal: repeated with every card.
        job.aggregator.removeMortal(PT::FrontFaceHead);
        EXPECT_EQ(job.fragments(PT::FrontFaceHead), c.expected) << c.label;
        const std::string warning = "[TAVRIN UNIDRIVER][OptionsConverter::updateMagData] WARNING - Track " +
                                    std::to_string(c.skippedTrack) + " data too long";
        EXPECT_EQ(log.find(warning) != std::string::npos, c.skippedTrack != 0) << c.label;
    }
}

TEST(OptionsConverterTest, PassthroughFragmentsByPositionPriorityAndLifetime)
{
    Job job;
    job.run({{"passthrough", "[FH,100,O]Pc;k;=;10|[ct]Ss  "},
             {"RawData", " Raw1 |[FH,20000]Top|[XX]Never|After"},
             {"Track1Data", "M"}});
    const std::string dm = std::string(ESC) + "Dm;1;M" + CR;
    // FrontFaceHead: priority 20000, then the magnetic data (14000), then 100.
    EXPECT_EQ(job.fragments(PT::FrontFaceHead),
              std::string(ESC) + "Top" + CR + dm + ESC + "Pc;k;=;10" + CR);
    EXPECT_EQ(job.fragments(PT::CardTail), std::string(ESC) + "Ss" + CR);
    EXPECT_EQ(job.fragments(PT::DocHead), std::string(ESC) + "Raw1" + CR);
    EXPECT_EQ(job.fragments(PT::DocTail), "");
    // The mortal command goes with the first card only.
    job.aggregator.removeMortal(PT::FrontFaceHead);
    EXPECT_EQ(job.fragments(PT::FrontFaceHead), std::string(ESC) + "Top" + CR + dm);
}

TEST(OptionsConverterTest, PassthroughStopsWhenAggregatorRefuses)
{
    Job job;
    job.aggregator.clear(PT::CardHead);
    testing::internal::CaptureStderr();
    job.run({{"passthrough", "[CH]A|[CT]B"}});
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("[OptionsConverter::updatePassthrough] WARNING - Failed to fill aggregator - Abort\r\n"),
              std::string::npos);
    EXPECT_EQ(job.fragments(PT::CardTail), "");
}

TEST(OptionsConverterTest, BitmapReaderNamesAndKind)
{
    {
        Job job;
        job.run({{"IFBlackCustom", "/tmp/k.bmp"}, {"IBOverlayCustom", "/tmp/o.bmp"}});
        EXPECT_EQ(job.readerName(MonoReaders::BlackMonochromeReaderFront), "/tmp/k.bmp");
        EXPECT_EQ(job.readerName(MonoReaders::BlackMonochromeReaderBack), "backBlack");
        EXPECT_EQ(job.readerName(MonoReaders::OverlayMonochromeReaderFront), "overlay");
        EXPECT_EQ(job.readerName(MonoReaders::OverlayMonochromeReaderBack), "/tmp/o.bmp");
    }
    {
        // Switching to the registry kind before naming leaves no reader.
        Job job;
        job.readers.set(nullptr, "black", MonoReaders::BlackMonochromeReaderFront);
        job.run({{"IGMonoReaderType", "REG"}, {"IFBlackCustom", "/tmp/k.bmp"}});
        EXPECT_EQ(job.readers.getType(), TavFactory::RegMonoReader);
        EXPECT_EQ(job.readers.get(MonoReaders::BlackMonochromeReaderFront), nullptr);
    }
    {
        // The same kind keeps the reader object and renames it.
        Job job;
        job.readers.set(nullptr, "black", MonoReaders::BlackMonochromeReaderFront);
        tavgdi::IMonochromeReader* before = job.readers.get(MonoReaders::BlackMonochromeReaderFront);
        job.run({{"IGMonoReaderType", "FILE"}, {"IFBlackCustom", "/tmp/k.bmp"}});
        EXPECT_EQ(job.readers.get(MonoReaders::BlackMonochromeReaderFront), before);
        EXPECT_EQ(job.readerName(MonoReaders::BlackMonochromeReaderFront), "/tmp/k.bmp");
    }
}

TEST(OptionsConverterTest, ConverterRunsWithoutReaderSet)
{
    Job job;
    job.reader = new LiteralReader({{"IFBlackCustom", "x"}, {"IGMonoReaderType", "REG"}}, 32000);
    job.pdev.interSettings = job.reader;
    OptionsConverter converter(job.doc, job.card, job.front, job.back, &job.aggregator, &job.rects, nullptr,
                               &job.devObj, nullptr);
    EXPECT_TRUE(converter.convert());
    EXPECT_EQ(job.get(Front, DpiX), 300);
}

TEST(OptionsConverterTest, LifeLineAndSettingLogs)
{
    Job job;
    testing::internal::CaptureStderr();
    job.run({{"ISendBlankPanel", "ON"}});
    std::string log = testing::internal::GetCapturedStderr();
    const char* const expected[] = {
        "[TAVRIN UNIDRIVER][Object LifeLine] +OptionsConverter (",
        "[TAVRIN UNIDRIVER][Object LifeLine] -OptionsConverter (",
        "[TAVRIN UNIDRIVER][OptionsConverter::convert] Copy Count - DevMode: 0\r\n",
        "[TAVRIN UNIDRIVER][OptionsConverter::updateSendBlankPanelOptions] BlankPanelOption: ON\r\n",
        "[TAVRIN UNIDRIVER][OptionsConverter::updateMonoReaderTypeOptions] MonoReaderType: REG\r\n",
        "[TAVRIN UNIDRIVER][OptionsConverter::updateBlackSubsStrategyOptions] IGBlackSub: OFF\r\n",
        "[TAVRIN UNIDRIVER][OptionsConverter::updateSendIqlaOptions] IqlaOption: OFF\r\n",
        "[TAVRIN UNIDRIVER][OptionsConverter::updatePipeDefinitionOptions]",
    };
    for (const char* line : expected)
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST(OptionsConverterTest, HexDigits)
{
    const struct {
        char high, low;
        int expected;
    } cases[] = {{'F', 'F', 255}, {'8', '0', 128}, {'0', '0', 0}, {'a', 'f', 0xaf},
                 {'g', '1', 1},   {'1', 'G', 16},  {' ', '9', 9}, {'9', '9', 0x99}};
    for (const auto& c : cases)
        EXPECT_EQ(tavgdi::hexChar2ToByte(c.high, c.low), c.expected) << c.high << c.low;
}
