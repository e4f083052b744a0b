#include <gtest/gtest.h>

#include <string>

#include "settings/CupsExternalInterSettingsReader.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

struct AliasCase {
    const char* options;
    const char* feature;
    const char* value; // null: missing
};

// Lookups with the printer's own PPD, whose defaults are CR80, 300dpi,
// Duplex None and None for the free-text settings. The filter status test
// holds the defaults, sides, ribbon and track values its summary line names;
// the PPD tests hold its card and resolution names and Duplex=None over sides.
const AliasCase AliasCases[] = {
    // The card size follows CUPS's page size; the setting's own name wins.
    {"media=cr86x50", "PaperSize", "CR86X50"},
    {"media=Tray1,CR140X50", "PaperSize", "CR140X50"},
    {"media=Tray1", "PaperSize", "CR80"},
    {"media=CR80 PageSize=CR128X54", "PaperSize", "CR128X54"},
    {"PaperSize=CRCUSTOM PageSize=CR109X54", "PaperSize", "CRCUSTOM"},
    // CUPS custom sizes (points unless a unit follows) give CRCUSTOM and its
    // lengths in dots at 300 dpi; a custom size of a listed card is that card.
    {"PageSize=Custom.250x160", "PaperSize", "CRCUSTOM"},
    {"PageSize=Custom.250x160", "IFormCustomWidth", "1042"},
    {"PageSize=Custom.250x160", "IFormCustomHeight", "667"},
    {"media=Custom.90x55mm", "IFormCustomWidth", "1063"},
    {"media=Custom.90x55mm,Tray1", "IFormCustomHeight", "650"},
    {"PageSize=Custom.4x2.5in", "IFormCustomHeight", "750"},
    {"PageSize=Custom.243.84x155.52", "PaperSize", "CR80"},
    {"PageSize=Custom.243.84x155.52", "IFormCustomWidth", nullptr},
    {"PageSize=Custom.250x160 IFormCustomWidth=1100", "IFormCustomWidth", "1100"},
    {"PageSize=Custom.250x160 PaperSize=CR80", "IFormCustomWidth", nullptr},
    // Sizes no card can have stay custom and are refused as too large.
    {"PageSize=Custom.-10x100", "PaperSize", "CRCUSTOM"},
    {"PageSize=Custom.-10x100", "IFormCustomWidth", "10001"},
    {"PageSize=Custom.nanx100", "IFormCustomWidth", "10001"},
    {"PageSize=Custom.250x160furlong", "IFormCustomHeight", "10001"},
    {"PageSize=Custom.", "IFormCustomHeight", "10001"},
    // IPP media names: the card of that name, else of that size; a size of
    // no card counts only as a custom size.
    {"media=custom_86.02x54.86mm_86.02x54.86mm", "PaperSize", "CR80"},
    {"media=custom_151.05x50.8mm_151.05x50.8mm", "PaperSize", "CR150X50"},
    {"media=om_cr109x54_109.73x54.86mm", "PaperSize", "CR109X54"},
    {"media=custom_90x55mm_90x55mm", "PaperSize", "CRCUSTOM"},
    {"media=custom_90x55mm_90x55mm", "IFormCustomWidth", "1063"},
    {"media=iso_a4_210x297mm", "PaperSize", "CR80"},
    {"media=iso_a4_210x297mm", "IFormCustomWidth", nullptr},
    {"media=tray_1", "PaperSize", "CR80"},
    // Standard resolution names.
    {"Resolution=600x300dpi", "Resolution", "DPI600300"},
    {"Resolution=300x1200dpi", "Resolution", "DPI3001200"},
    {"Resolution=260x300dpi", "Resolution", "DPI260300"},
    // Two-sided printing from sides or the standard Duplex choices.
    {"Duplex=DuplexTumble", "Duplex", "HORIZONTAL"},
    {"sides=one-sided", "Duplex", nullptr},
    {"sides=sideways", "Duplex", nullptr},
    // "None" is no value; "Custom." marks a typed value.
    {"", "GDuplexMode", nullptr},
    {"", "IFBlackCustom", nullptr},
    {"Track1Data=None", "Track1Data", nullptr},
    {"Track1Data=Custom.;1234=56?", "Track1Data", ";1234=56?"},
    {"", "IFThresholdValue", "128"},
    {"IFThresholdValue=Custom.150", "IFThresholdValue", "150"},
    {"GShortPanelManagement=_CUSTOM", "GShortPanelManagement", "CUSTOM"},
    // A job option wins over the PPD's default, which wins over nothing.
    {"GMagT1Encoding='ISO 1'", "GMagT1Encoding", "ISO 1"},
    {"", "IGSendSpoolerSession", "ON"},
};

} // namespace

TEST(CupsReaderAliasTest, CupsFormsReachTheSettings)
{
    ppd_file_t* ppd = ppdOpenFile(CR80_SOURCE_DIR "/ppd/cr80card.ppd");
    ASSERT_NE(ppd, nullptr);
    for (const AliasCase& c : AliasCases) {
        cups_option_t* options = nullptr;
        int n = cupsParseOptions(c.options, 0, &options);
        CupsExternalInterSettingsReader reader(options, n, ppd);
        testing::internal::CaptureStderr();
        const char* value = reader.findFeature(c.feature, nullptr);
        testing::internal::GetCapturedStderr();
        if (c.value == nullptr)
            EXPECT_EQ(value, nullptr) << c.options << " " << c.feature << " gave " << value;
        else
            EXPECT_STREQ(value, c.value) << c.options << " " << c.feature;
        cupsFreeOptions(n, options);
    }
    // The PPD's value is its default choice, not the one marked.
    ppdMarkOption(ppd, "Resolution", "600dpi");
    CupsExternalInterSettingsReader reader(nullptr, 0, ppd);
    testing::internal::CaptureStderr();
    EXPECT_STREQ(reader.findFeature("Resolution", nullptr), "DPI300");
    EXPECT_EQ(reader.findFeature(nullptr, nullptr), nullptr);
    testing::internal::GetCapturedStderr();
    ppdClose(ppd);
}

#pragma GCC diagnostic pop
