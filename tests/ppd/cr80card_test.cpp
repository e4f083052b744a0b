// The printer's PPD against CUPS's checker and against the converter: every
// setting the filter reads is an option, its defaults are the filter's own,
// and the card sizes and resolutions give the converter's dot counts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <sys/stat.h>

#include "Conversion.h"
#include "FilterRun.h"
#include "MediaDefinition.h"
#include "TestRaster.h"
#include "settings/OptionPairsSettingsReader.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

using namespace cr80test;
using namespace TavGdiOptions;

namespace {

const std::string PpdPath = std::string(CR80_SOURCE_DIR) + "/ppd/cr80card.ppd";

// One conversion of the job's CUPS options with the PPD.
struct PpdConversion : Conversion {
    PpdConversion(ppd_file_t* ppd, const std::string& options) : settings(ppd, options)
    {
        converted = convert(&settings);
    }
    int front(Keys key) { return get(Front, key); }
    CupsSettings settings;
    bool converted = false;
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

} // namespace

TEST(Cr80CardPpdCheck, PassesCupstestppdWithTheFilterInstalled)
{
    TempDir root;
    const std::string filterDir = root.path() + "/usr/lib/cups/filter";
    ASSERT_EQ(system(("mkdir -p '" + filterDir + "'").c_str()), 0);
    ASSERT_EQ(symlink(filterPath().c_str(), (filterDir + "/rastertocr80").c_str()), 0);

    ProcessResult r = runCommand({"cupstestppd", "-R", root.path(), PpdPath}, 60000);
    ASSERT_TRUE(r.started) << r.startError;
    EXPECT_TRUE(r.exitedWith(0)) << r.out << r.err;
    EXPECT_NE(r.out.find(": PASS"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;

    // Without the filter the checker must notice: the check is real.
    ASSERT_EQ(unlink((filterDir + "/rastertocr80").c_str()), 0);
    r = runCommand({"cupstestppd", "-R", root.path(), PpdPath}, 60000);
    EXPECT_FALSE(r.exitedWith(0)) << r.out;
}

TEST_F(Cr80CardPpd, EverySettingTheConverterReadsIsAnOption)
{
    PpdConversion c(ppd, "");
    ASSERT_TRUE(c.converted);
    EXPECT_EQ(c.settings.names.size(), 84u);
    for (const std::string& name : c.settings.names) {
        // The card size is chosen with CUPS's own PageSize.
        const char* keyword = name == "PaperSize" ? "PageSize" : name.c_str();
        ppd_option_t* option = ppdFindOption(ppd, keyword);
        ASSERT_NE(option, nullptr) << name;
        EXPECT_NE(ppdFindChoice(option, option->defchoice), nullptr) << name << " default " << option->defchoice;
    }
    EXPECT_EQ(ppdFindOption(ppd, "PaperSize"), nullptr) << "one way to choose the card size";

    // The panel managements' custom choice reads as CUSTOM.
    PpdConversion custom(ppd, "GColorPanelManagement=CUSTOM_SHIFTS");
    EXPECT_EQ(custom.front(ColorPanelManagement), OptionCustom);
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

        PpdConversion c(ppd, std::string("PageSize=") + name);
        const double width = size->width * 300.0 / 72.0, height = size->length * 300.0 / 72.0;
        EXPECT_NEAR(width, std::round(width), 1e-3) << name;
        EXPECT_NEAR(height, std::round(height), 1e-3) << name;
        EXPECT_EQ(c.front(PaperSizeW), std::lround(width)) << name;
        EXPECT_EQ(c.front(PaperSizeH), std::lround(height)) << name;
        EXPECT_EQ(c.front(PaperSizeCustom), 0) << name;
    }
    PpdConversion unusual(ppd, "PageSize=CR210X54");
    EXPECT_EQ(unusual.front(PaperSizeW), 2488) << "not the fallback size";
}

TEST_F(Cr80CardPpd, LargestCustomCardFitsTheMediaDefinition)
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
        PpdConversion c(ppd, std::string("Resolution=") + choice.choice);
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
