// The printer's PPD against CUPS's checker and against the converter: every
// setting the filter reads is an option, its defaults are the filter's own,
// and the card sizes and resolutions give the converter's dot counts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <sys/stat.h>

#include "COemPDEV.h"
#include "FilterRun.h"
#include "GlobalFactory.h"
#include "MediaDefinition.h"
#include "TestRaster.h"
#include "input/MonoReaders.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/CupsExternalInterSettingsReader.h"
#include "settings/OptionPairsSettingsReader.h"
#include "settings/IGDataOptions.h"
#include "settings/OptionsConverter.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

using namespace cr80test;
using namespace TavGdiOptions;

namespace {

const std::string PpdPath = std::string(CR80_SOURCE_DIR) + "/ppd/cr80card.ppd";

// Passes lookups on to another reader and notes every name asked for.
class RecordingReader : public IExternalInterSettingsReader {
public:
    explicit RecordingReader(IExternalInterSettingsReader* inner) : inner(inner) {}
    const char* findFeature(const char* feature, int* position) override
    {
        names.insert(feature);
        return inner->findFeature(feature, position);
    }
    bool readPCSettingsFromBuffer(char*, int) override { return true; }
    bool updatePCSettingsFromBuffer(char*) override { return true; }
    dword getMaxSize() override { return inner->getMaxSize(); }

    std::set<std::string> names;

private:
    IExternalInterSettingsReader* inner;
};

// One conversion of the job's settings, as the driver adapter runs it.
class Conversion {
public:
    Conversion(ppd_file_t* ppd, const std::string& options) : readers(TavFactory::FileMonoReader)
    {
        numOptions = cupsParseOptions(options.c_str(), 0, &cupsOptions);
        cups = new CupsExternalInterSettingsReader(cupsOptions, numOptions, ppd);
        recorder = new RecordingReader(cups);
        for (tavgdi::IGDataOptions*& map : maps)
            map = TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor);
        rects.create(nullptr);
        pdev.interSettings = recorder;
        devObj = {nullptr, &pdev, nullptr, nullptr};
        tavgdi::OptionsConverter converter(maps[0], maps[1], maps[2], maps[3], &aggregator, &rects, &readers,
                                           &devObj, nullptr, status);
        testing::internal::CaptureStderr();
        converted = converter.convert();
        testing::internal::GetCapturedStderr();
    }
    ~Conversion()
    {
        pdev.interSettings = nullptr;
        for (tavgdi::IGDataOptions* map : maps)
            delete map;
        delete recorder;
        delete cups;
        cupsFreeOptions(numOptions, cupsOptions);
    }

    int front(Keys key) { return maps[2]->getOption(key); }
    int card(Keys key) { return maps[1]->getOption(key); }

    bool converted = false;
    RecordingReader* recorder = nullptr;

private:
    cups_option_t* cupsOptions = nullptr;
    int numOptions = 0;
    CupsExternalInterSettingsReader* cups = nullptr;
    tavgdi::IGDataOptions* maps[4] = {};
    tavgdi::ExternalBufferAggregator aggregator;
    tavgdi::StdLGRectManager rects;
    tavgdi::MonoReaders readers;
    tavgdi::StatusReporter status;
    COemPDEV pdev{status};
    DEVOBJ devObj;
};

class Cr80CardPpd : public testing::Test {
protected:
    void SetUp() override
    {
        ppd = ppdOpenFile(PpdPath.c_str());
        ASSERT_NE(ppd, nullptr) << ppdErrorString(ppdLastError(nullptr));
    }
    void TearDown() override
    {
        if (ppd != nullptr)
            ppdClose(ppd);
    }
    ppd_file_t* ppd = nullptr;
};

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

} // namespace

TEST(Cr80CardPpdCheck, PassesCupstestppdWithTheFilterInstalled)
{
    TempDir root;
    const std::string filterDir = root.path() + "/usr/lib/cups/filter";
    ASSERT_EQ(system(("mkdir -p '" + filterDir + "'").c_str()), 0);
    ASSERT_EQ(symlink(filterPath().c_str(), (filterDir + "/rastertocr80").c_str()), 0);

    ProcessResult r = runProcess({{"cupstestppd", "-R", root.path(), PpdPath}, {}, std::nullopt, 60000, std::nullopt});
    ASSERT_TRUE(r.started) << r.startError;
    EXPECT_TRUE(r.exitedWith(0)) << r.out << r.err;
    EXPECT_NE(r.out.find(": PASS"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;

    // Without the filter the checker must notice: the check is real.
    ASSERT_EQ(unlink((filterDir + "/rastertocr80").c_str()), 0);
    r = runProcess({{"cupstestppd", "-R", root.path(), PpdPath}, {}, std::nullopt, 60000, std::nullopt});
    EXPECT_FALSE(r.exitedWith(0)) << r.out;
}

TEST_F(Cr80CardPpd, EverySettingTheConverterReadsIsAnOption)
{
    Conversion c(ppd, "");
    ASSERT_TRUE(c.converted);
    EXPECT_EQ(c.recorder->names.size(), 84u);
    for (const std::string& name : c.recorder->names) {
        // The card size is chosen with CUPS's own PageSize.
        const char* keyword = name == "PaperSize" ? "PageSize" : name.c_str();
        ppd_option_t* option = ppdFindOption(ppd, keyword);
        ASSERT_NE(option, nullptr) << name;
        EXPECT_NE(ppdFindChoice(option, option->defchoice), nullptr) << name << " default " << option->defchoice;
    }
    EXPECT_EQ(ppdFindOption(ppd, "PaperSize"), nullptr) << "one way to choose the card size";
}

TEST_F(Cr80CardPpd, CardSizesGiveTheConvertersDotCountsAt300Dpi)
{
    ppd_option_t* sizes = ppdFindOption(ppd, "PageSize");
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->num_choices, 13) << "12 cards and the custom size";
    for (int i = 0; i < sizes->num_choices; ++i) {
        const char* name = sizes->choices[i].choice;
        if (std::string(name) == "Custom")
            continue;
        ppd_size_t* size = ppdPageSize(ppd, name);
        ASSERT_NE(size, nullptr) << name;
        EXPECT_GT(size->width, size->length) << name << " is landscape";
        EXPECT_EQ(size->left, 0.0f) << name;
        EXPECT_EQ(size->bottom, 0.0f) << name;
        EXPECT_EQ(size->right, size->width) << name;
        EXPECT_EQ(size->top, size->length) << name;
        ppd_option_t* region = ppdFindOption(ppd, "PageRegion");
        ASSERT_NE(region, nullptr);
        ppd_choice_t* regionChoice = ppdFindChoice(region, name);
        ASSERT_NE(regionChoice, nullptr) << name;
        EXPECT_STREQ(regionChoice->code, sizes->choices[i].code) << name;

        Conversion c(ppd, std::string("PageSize=") + name);
        const double width = size->width * 300.0 / 72.0, height = size->length * 300.0 / 72.0;
        EXPECT_NEAR(width, std::round(width), 1e-3) << name;
        EXPECT_NEAR(height, std::round(height), 1e-3) << name;
        EXPECT_EQ(c.front(PaperSizeW), std::lround(width)) << name;
        EXPECT_EQ(c.front(PaperSizeH), std::lround(height)) << name;
        EXPECT_EQ(c.front(PaperSizeCustom), 0) << name;
    }
    Conversion unusual(ppd, "PageSize=CR210X54");
    EXPECT_EQ(unusual.front(PaperSizeW), 2488) << "not the fallback size";
}

TEST_F(Cr80CardPpd, CustomPageSizesBecomeCustomCardsWithinTheLargestCard)
{
    ASSERT_TRUE(ppd->variable_sizes);
    ppd_coption_t* custom = ppdFindCustomOption(ppd, "PageSize");
    ASSERT_NE(custom, nullptr);
    // The largest custom card still fits the media definition at 1200 dpi.
    for (const char* side : {"Width", "Height"}) {
        ppd_cparam_t* param = ppdFindCustomParam(custom, side);
        ASSERT_NE(param, nullptr) << side;
        EXPECT_LE(param->maximum.custom_points * 1200.0 / 72.0, double(tavgdi::MediaDefinition::MaxCardSideDots));
    }

    struct Case {
        const char* options;
        int custom, width, height;  // PaperSizeCustom, lengths at 300 dpi
    } cases[] = {
        {"PageSize=Custom.250x160", OptionTrue, 1042, 667},
        {"PageSize=Custom.250x160 Resolution=600dpi", OptionTrue, 1042, 667},
        {"media=Custom.90x55mm", OptionTrue, 1063, 650},
        {"PageSize=Custom.243.84x155.52", 0, 1016, 648},
        {"media=custom_109.73x50.8mm_109.73x50.8mm", 0, 1296, 600},
        {"PageSize=CR80 IFormCustomWidth=1100", 0, 1016, 648},
    };
    for (const Case& k : cases) {
        Conversion c(ppd, k.options);
        EXPECT_EQ(c.front(PaperSizeCustom), k.custom) << k.options;
        EXPECT_EQ(c.front(PaperSizeW), k.width) << k.options;
        EXPECT_EQ(c.front(PaperSizeH), k.height) << k.options;
    }
}

TEST_F(Cr80CardPpd, ChoicesReadForPeople)
{
    ppd_group_t* expert = nullptr;
    ppd_group_t* monochrome = nullptr;
    for (int g = 0; g < ppd->num_groups; ++g) {
        ppd_group_t& group = ppd->groups[g];
        if (std::string(group.name) == "Expert")
            expert = &group;
        if (std::string(group.name) == "Monochrome")
            monochrome = &group;
        for (int o = 0; o < group.num_options; ++o) {
            const ppd_option_t& option = group.options[o];
            for (int c = 0; c < option.num_choices; ++c) {
                const ppd_choice_t& choice = option.choices[c];
                // CUPS renames a choice called "Custom" to "_Custom".
                EXPECT_NE(choice.choice[0], '_') << option.keyword;
                if (std::string(choice.choice) == "VAL10") {
                    EXPECT_STREQ(choice.text, "10 (normal)") << option.keyword;
                }
            }
            // libcups cuts texts at 80 characters: a format said in words
            // must fit.
            ppd_coption_t* custom = ppdFindCustomOption(ppd, option.keyword);
            for (ppd_cparam_t* p = custom != nullptr ? ppdFirstCustomParam(custom) : nullptr; p != nullptr;
                 p = ppdNextCustomParam(custom)) {
                EXPECT_LT(std::string(p->text).size(), size_t(PPD_MAX_TEXT - 1)) << option.keyword << " " << p->text;
            }
        }
    }
    ASSERT_NE(expert, nullptr);
    ASSERT_NE(monochrome, nullptr);
    auto holds = [](ppd_group_t* group, const char* keyword) {
        for (int o = 0; o < group->num_options; ++o)
            if (std::string(group->options[o].keyword) == keyword)
                return true;
        return false;
    };
    for (const char* keyword : {"IShortPanelShift", "IGIQLABY", "GPipeDetection", "IGSendSpoolerSession",
                                "GInputTray", "IGSendIQLA", "passthrough"})
        EXPECT_TRUE(holds(expert, keyword)) << keyword;
    for (const char* keyword : {"FHalftoning", "IBThresholdValue"})
        EXPECT_TRUE(holds(monochrome, keyword)) << keyword;

    // The panel managements' custom choice still reads as CUSTOM.
    Conversion c(ppd, "GColorPanelManagement=CUSTOM_SHIFTS");
    Conversion old(ppd, "GColorPanelManagement=CUSTOM");
    EXPECT_EQ(c.front(ColorPanelManagement), OptionCustom);
    EXPECT_EQ(old.front(ColorPanelManagement), OptionCustom);
}

// The card settings the printer application offers as vendor attributes are
// the PPD's options: same setting, words, choices (with their words, the
// default first) and levels; a value is taken exactly, never by its prefix.
TEST_F(Cr80CardPpd, VendorSettingsAreThePpdsOptions)
{
    using Reader = OptionPairsSettingsReader;
    std::set<std::string> names;
    for (const Reader::VendorSetting& vendor : Reader::vendorSettings()) {
        SCOPED_TRACE(vendor.name);
        EXPECT_TRUE(names.insert(vendor.name).second);
        ppd_option_t* option = ppdFindOption(ppd, vendor.setting);
        ASSERT_NE(option, nullptr);
        EXPECT_STREQ(option->text, vendor.words);
        std::string setting, why;
        switch (vendor.kind) {
        case Reader::VendorKind::Keyword:
            ASSERT_EQ(static_cast<size_t>(option->num_choices), vendor.choices.size());
            EXPECT_STREQ(option->defchoice, vendor.choices.front().choice);
            for (const Reader::VendorChoice& choice : vendor.choices) {
                ppd_choice_t* ppdChoice = ppdFindChoice(option, choice.choice);
                ASSERT_NE(ppdChoice, nullptr) << choice.choice;
                EXPECT_STREQ(ppdChoice->text, choice.words);
                const std::string keyword = Reader::vendorKeyword(choice.choice);
                EXPECT_TRUE(Reader::toSetting(vendor, keyword, &setting, &why)) << why;
                EXPECT_EQ(setting, choice.choice);
                EXPECT_FALSE(Reader::toSetting(vendor, keyword + "x", &setting, &why)) << keyword;
                EXPECT_FALSE(Reader::toSetting(vendor, choice.choice, &setting, &why)) << keyword;
            }
            break;
        case Reader::VendorKind::Level:
            EXPECT_EQ(option->num_choices, 21);
            EXPECT_STREQ(option->defchoice, "VAL10");
            for (const char* level : {"0", "7", "20"}) {
                EXPECT_TRUE(Reader::toSetting(vendor, level, &setting, &why)) << level;
                EXPECT_NE(ppdFindChoice(option, setting.c_str()), nullptr) << setting;
            }
            for (const char* level : {"21", "-1", "", "10x", "VAL10"})
                EXPECT_FALSE(Reader::toSetting(vendor, level, &setting, &why)) << level;
            break;
        case Reader::VendorKind::Text:
            EXPECT_NE(ppdFindCustomOption(ppd, vendor.setting), nullptr);
            EXPECT_TRUE(Reader::toSetting(vendor, std::string(vendor.maxLength, '1'), &setting, &why));
            EXPECT_FALSE(Reader::toSetting(vendor, std::string(vendor.maxLength + 1, '1'), &setting, &why));
            break;
        }
    }
    EXPECT_LE(names.size(), 31u); // PAPPL's limit of vendor attributes, one kept for the printer settings

    // The printer's own settings are PPD options too, none a card setting.
    std::string why;
    for (const Reader::PrinterSetting& setting : Reader::printerSettings()) {
        SCOPED_TRACE(setting.setting);
        ppd_option_t* option = ppdFindOption(ppd, setting.setting);
        ASSERT_NE(option, nullptr);
        EXPECT_STREQ(option->text, setting.words);
        for (const Reader::VendorSetting& vendor : Reader::vendorSettings())
            EXPECT_STRNE(vendor.setting, setting.setting);
        EXPECT_TRUE(Reader::isPrinterSettingValue(setting.setting, option->defchoice, &why)) << why;
    }
    EXPECT_FALSE(Reader::isPrinterSettingValue("GRibbonType", "RC_YMCKO", &why));
    EXPECT_FALSE(Reader::isPrinterSettingValue("GOutputTray", "SIDEWAYS", &why));
    EXPECT_FALSE(Reader::isPrinterSettingValue("IFBlackCustom", "../black.bmp", &why));
    EXPECT_FALSE(Reader::isPrinterSettingValue("IBOverlayCustom", "/etc/black.bmp", &why));
    EXPECT_TRUE(Reader::isPrinterSettingValue("IFBlackCustom", "black.bmp", &why)) << why;
}

TEST_F(Cr80CardPpd, ResolutionsGiveTheirHardwareResolution)
{
    ppd_option_t* resolutions = ppdFindOption(ppd, "Resolution");
    ASSERT_NE(resolutions, nullptr);
    EXPECT_EQ(resolutions->num_choices, 8);
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < resolutions->num_choices; ++i) {
        const ppd_choice_t& choice = resolutions->choices[i];
        int x = 0, y = 0;
        ASSERT_EQ(sscanf(choice.code, "<</HWResolution[%d %d]>>setpagedevice", &x, &y), 2) << choice.choice;
        seen.insert({x, y});
        Conversion c(ppd, std::string("Resolution=") + choice.choice);
        EXPECT_EQ(c.front(DpiX), x) << choice.choice;
        EXPECT_EQ(c.front(DpiY), y) << choice.choice;
    }
    EXPECT_EQ(seen.size(), 8u);
}

TEST(Cr80CardPpdJob, DefaultsPrintWhatNoSettingsPrint)
{
    FilterJob withPpd;
    withPpd.stdinBytes = sampleRaster(2);
    withPpd.ppd = PpdPath;
    FilterJob withoutPpd = withPpd;
    withoutPpd.ppd.reset();
    ProcessResult a = runFilter(withPpd);
    ProcessResult b = runFilter(withoutPpd);
    ASSERT_TRUE(a.exitedWith(0)) << a.err;
    ASSERT_TRUE(b.exitedWith(0)) << b.err;
    EXPECT_NE(a.err.find("DEFAULT OPTION - key:GRibbonType value:RC_YMCKO"), std::string::npos);
    EXPECT_GT(a.out.size(), 100000u);
    EXPECT_TRUE(a.out == b.out) << "the PPD's defaults change the printer stream";
}

TEST(Cr80CardPpdJob, CupsTwoSidedAndCardSizeFormsReachTheFilter)
{
    struct Case {
        const char* options;
        size_t cards;
        const char* docTag;
    };
    const Case cases[] = {
        {"", 2, "<DOC Duplex=0>"},
        {"sides=two-sided-long-edge", 1, "<DOC Duplex=1>"},
        {"Duplex=DuplexTumble", 1, "<DOC Duplex=1>"},
        {"sides=two-sided-short-edge Duplex=None", 2, "<DOC Duplex=0>"},
    };
    for (const Case& c : cases) {
        FilterJob job;
        job.options = c.options;
        job.stdinBytes = sampleRaster(2);
        job.ppd = PpdPath;
        ProcessResult r = runFilter(job);
        ASSERT_TRUE(r.exitedWith(0)) << c.options << r.err;
        EXPECT_EQ(count(r.out, "<CARD>"), c.cards) << c.options;
        EXPECT_NE(r.out.find(c.docTag), std::string::npos) << c.options;
    }
}

#pragma GCC diagnostic pop
