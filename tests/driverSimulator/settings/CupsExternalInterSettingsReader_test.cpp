#include <gtest/gtest.h>

#include <string>

#include "settings/CupsExternalInterSettingsReader.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

class CupsReaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        numOptions = cupsParseOptions("GRibbonType=RC_YMCKOK IGTextRectErr=5 GMagT1Encoding='ISO 1'", 0, &options);
        ppd = ppdOpenFile(CR80_TEST_DATA_DIR "/test.ppd");
        ASSERT_NE(ppd, nullptr);
    }
    void TearDown() override
    {
        if (ppd != nullptr)
            ppdClose(ppd);
        cupsFreeOptions(numOptions, options);
    }

    cups_option_t* options = nullptr;
    int numOptions = 0;
    ppd_file_t* ppd = nullptr;
};

struct Lookup {
    const char* feature;
    bool withPpd;
    const char* value; // null: not found
    const char* line;
};

} // namespace

TEST_F(CupsReaderTest, JobOptionThenPpdDefaultThenNothing)
{
    const Lookup lookups[] = {
        {"GRibbonType", true, "RC_YMCKOK", "ZEZ2O1 DEBUG: LOCAL   OPTION - key:GRibbonType value:RC_YMCKOK\n"},
        {"IGTextRectErr", true, "5", "ZEZ2O1 DEBUG: LOCAL   OPTION - key:IGTextRectErr value:5\n"},
        {"GMagT1Encoding", true, "ISO 1", "ZEZ2O1 DEBUG: LOCAL   OPTION - key:GMagT1Encoding value:ISO 1\n"},
        {"FBlackManagement", true, "TEXTINBLACK",
         "ZEZ2O1 DEBUG: DEFAULT OPTION - key:FBlackManagement value:TEXTINBLACK\n"},
        {"Resolution", true, "300dpi", "ZEZ2O1 DEBUG: DEFAULT OPTION - key:Resolution value:300dpi\n"},
        {"PageSize", true, "CR80", "ZEZ2O1 DEBUG: DEFAULT OPTION - key:PageSize value:CR80\n"},
        {"GDuplexMode", true, nullptr, "ZEZ2O1 DEBUG: NO      OPTION - key:GDuplexMode value:NULL\n"},
        {"GRibbonType", false, "RC_YMCKOK", "ZEZ2O1 DEBUG: LOCAL   OPTION - key:GRibbonType value:RC_YMCKOK\n"},
        {"Resolution", false, nullptr, "ZEZ2O1 DEBUG: NO      OPTION - key:Resolution value:NULL\n"},
    };
    for (const Lookup& l : lookups) {
        CupsExternalInterSettingsReader reader(options, numOptions, l.withPpd ? ppd : nullptr);
        int position = 7;
        testing::internal::CaptureStderr();
        const char* value = reader.findFeature(l.feature, &position);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), l.line) << l.feature;
        EXPECT_EQ(position, 7) << "the position is not used";
        if (l.value == nullptr)
            EXPECT_EQ(value, nullptr) << l.feature;
        else
            EXPECT_STREQ(value, l.value) << l.feature;
    }
}

TEST_F(CupsReaderTest, PpdValueIsTheDefaultChoiceNotTheMarkedOne)
{
    ppdMarkOption(ppd, "Resolution", "600dpi");
    CupsExternalInterSettingsReader reader(nullptr, 0, ppd);
    testing::internal::CaptureStderr();
    EXPECT_STREQ(reader.findFeature("Resolution", nullptr), "300dpi");
    EXPECT_STREQ(reader.findFeature("GRibbonType", nullptr), "RC_YMCKO");
    EXPECT_EQ(reader.findFeature(nullptr, nullptr), nullptr);
    testing::internal::GetCapturedStderr();
}

TEST_F(CupsReaderTest, BufferOperationsAreNoOps)
{
    CupsExternalInterSettingsReader reader(options, numOptions, ppd);
    IExternalInterSettingsReader& base = reader;
    char list[] = "GRibbonType\0RC_KO\0";
    EXPECT_TRUE(base.readPCSettingsFromBuffer(list, sizeof(list)));
    EXPECT_TRUE(base.updatePCSettingsFromBuffer(list));
    EXPECT_EQ(base.getMaxSize(), 32000u);
    testing::internal::CaptureStderr();
    EXPECT_STREQ(base.findFeature("GRibbonType", nullptr), "RC_YMCKOK");
    testing::internal::GetCapturedStderr();
}

#pragma GCC diagnostic pop
