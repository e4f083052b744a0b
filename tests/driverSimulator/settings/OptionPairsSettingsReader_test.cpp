// The printer application's settings: a job's IPP attributes as name=value
// pairs, read with the filter's rules; the PWG names the card sizes are
// offered under.
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "settings/CardMedia.h"
#include "settings/CardSizes.h"
#include "settings/OptionPairsSettingsReader.h"

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
        const char* value = reader.findFeature(c.setting, nullptr);
        if (c.expected == nullptr)
            EXPECT_EQ(value, nullptr) << c.setting;
        else
            EXPECT_STREQ(value, c.expected) << c.setting;
    }
    OptionPairsSettingsReader printer({}, {{"cr80PictureDir", "/srv/pictures"}});
    EXPECT_STREQ(printer.findPrinterSetting("cr80PictureDir"), "/srv/pictures");
    EXPECT_EQ(printer.findPrinterSetting("Resolution"), nullptr);
}
