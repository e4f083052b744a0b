// The WARNING lines of a conversion against the printer's PPD: no choice the
// PPD offers is taken for a mistake, and every keyword option of the PPD
// tells a value that is none of its choices.
#include <gtest/gtest.h>

#include <cups/ppd.h>
#include <string>

#include "Conversion.h"
#include "FilterRun.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

// The CUPS status lines ("WARNING: ...") one conversion of `options` writes.
std::string warningsOf(ppd_file_t* ppd, const std::string& options)
{
    cr80test::CupsSettings settings(ppd, options);
    cr80test::Conversion conversion;
    conversion.convert(&settings);
    return cr80test::statusLines(conversion.log, {"WARNING: "});
}

bool isNumber(const char* text)
{
    if (*text == '-')
        ++text;
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text)
        if (*text < '0' || *text > '9')
            return false;
    return true;
}

class ChoiceWarnings : public testing::Test {
protected:
    void SetUp() override
    {
        ppd = ppdOpenFile((std::string(CR80_SOURCE_DIR) + "/ppd/cr80card.ppd").c_str());
        ASSERT_NE(ppd, nullptr);
    }
    void TearDown() override
    {
        if (ppd != nullptr)
            ppdClose(ppd);
    }
    ppd_file_t* ppd = nullptr;
};

} // namespace

TEST_F(ChoiceWarnings, NoChoiceOfThePpdIsAMistakeAndEveryKeywordOptionTellsOneThatIsNone)
{
    EXPECT_EQ(warningsOf(ppd, ""), "");
    int keywordOptions = 0;
    for (int g = 0; g < ppd->num_groups; ++g) {
        for (int o = 0; o < ppd->groups[g].num_options; ++o) {
            const ppd_option_t& option = ppd->groups[g].options[o];
            // Free-text and number options take custom values.
            bool isKeywordOption = option.num_choices > 1;
            for (int c = 0; c < option.num_choices; ++c) {
                const std::string choice = option.choices[c].choice;
                isKeywordOption = isKeywordOption && !isNumber(choice.c_str()) && choice != "Custom";
                // The choice Custom stands for values of the form Custom.value.
                if (choice == "Custom")
                    continue;
                // libcups shows a choice CUSTOM as _CUSTOM, apart from custom values.
                const std::string value = choice == "_CUSTOM" ? "CUSTOM" : choice;
                EXPECT_EQ(warningsOf(ppd, std::string(option.keyword) + "=" + value +
                                              " IFTextRegion=1x1x9x9 IBTextRegion=1x1x9x9"),
                          "")
                    << option.keyword << "=" << value;
            }
            // PageRegion is CUPS's twin of PageSize; the filter reads PageSize.
            if (!isKeywordOption || std::string(option.keyword) == "PageRegion")
                continue;
            ++keywordOptions;
            const std::string warnings = warningsOf(ppd, std::string(option.keyword) + "=NOSUCHCHOICE");
            EXPECT_NE(warnings.find("\"NOSUCHCHOICE\" is not one of its choices; "), std::string::npos)
                << option.keyword << ": " << warnings;
            EXPECT_EQ(warnings.find('\n'), warnings.size() - 1) << option.keyword << ": " << warnings;
        }
    }
    EXPECT_GT(keywordOptions, 40);

    // A name the filter does not read is no mistake; CUPS's boolean form of
    // an ON/OFF choice is.
    EXPECT_EQ(warningsOf(ppd, "NoSuchSetting=1 job-uuid=urn:uuid:1"), "");
    EXPECT_EQ(warningsOf(ppd, "GHighQualityMode"),
              "WARNING: GHighQualityMode: \"true\" is not one of its choices; OFF is used instead\n");
}

#pragma GCC diagnostic pop
