// The settings readers: a CUPS job's options with the PPD, and the printer
// application's IPP attributes as name=value pairs, both with the filter's
// rules; the PWG names the card sizes are offered under.
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "settings/CardMedia.h"
#include "settings/CardSizes.h"
#include "settings/CupsExternalInterSettingsReader.h"
#include "settings/OptionPairsSettingsReader.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

// A value looked up: null for none.
void expectValue(const char* value, const char* expected, const std::string& lookup)
{
    if (expected == nullptr)
        EXPECT_EQ(value, nullptr) << lookup << " gave " << value;
    else
        EXPECT_STREQ(value, expected) << lookup;
}

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
        expectValue(value, c.value, std::string(c.options) + " " + c.feature);
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

// Every offered media name is a PWG name libcups reads back, its lengths
// give exactly the card's dots at every offered resolution, and the settings
// reader turns it into that card.
TEST(CardMedia, EveryNameGivesItsCardsDotsAndReadsAsThatCard)
{
    const auto& list = tavgdi::cardMediaList();
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(list[0].pwgName, "custom_cr80_86.03x54.87mm");
    for (const tavgdi::CardMedia& media : list) {
        SCOPED_TRACE(media.pwgName);
        pwg_media_t* pwg = pwgMediaForPWG(media.pwgName.c_str());
        ASSERT_NE(pwg, nullptr);
        const tavgdi::CardSize* card =
            std::find_if(std::begin(tavgdi::CardSizes), std::end(tavgdi::CardSizes),
                         [&](const tavgdi::CardSize& size) { return media.card == std::string(size.name); });
        ASSERT_NE(card, std::end(tavgdi::CardSizes));
        for (int dpi : {300, 600, 1200}) {
            EXPECT_EQ(pwg->width * dpi / 2540, int(card->width) * dpi / 300) << dpi;
            EXPECT_EQ(pwg->length * dpi / 2540, int(card->height) * dpi / 300) << dpi;
        }
        OptionPairsSettingsReader reader({{"media", media.pwgName}}, {});
        const char* paper = reader.findFeature("PaperSize", nullptr);
        ASSERT_NE(paper, nullptr);
        EXPECT_STREQ(paper, media.card);
    }
}

TEST(OptionPairsSettingsReader, ReadsJobPairsWithTheFiltersAliases)
{
    struct Case {
        OptionPairsSettingsReader::Pairs pairs;
        const char* setting;
        const char* expected; // null: no value
    } cases[] = {
        {{{"Resolution", "600x300dpi"}}, "Resolution", "DPI600300"},
        {{{"Resolution", "300x300dpi"}}, "Resolution", "DPI300"},
        {{{"sides", "two-sided-short-edge"}}, "Duplex", "HORIZONTAL"},
        {{{"sides", "one-sided"}}, "Duplex", nullptr},
        // A later pair of the same name wins.
        {{{"sides", "one-sided"}, {"sides", "two-sided-long-edge"}}, "Duplex", "HORIZONTAL"},
        {{}, "GRibbonType", nullptr},
    };
    for (const Case& c : cases) {
        OptionPairsSettingsReader reader(c.pairs, {});
        expectValue(reader.findFeature(c.setting, nullptr), c.expected, c.setting);
    }
    OptionPairsSettingsReader printer({}, {{"cr80PictureDir", "/srv/pictures"}});
    EXPECT_STREQ(printer.findPrinterSetting("cr80PictureDir"), "/srv/pictures");
    EXPECT_EQ(printer.findPrinterSetting("Resolution"), nullptr);
}

#pragma GCC diagnostic pop
