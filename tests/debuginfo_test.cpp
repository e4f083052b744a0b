#include <gtest/gtest.h>

#include "TestRaster.h"
#include "debuginfo.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

TEST(DiagnosticDumps, EmptyAndNullInputsWriteOnlyWhatExists)
{
    testing::internal::CaptureStderr();
    debugOptions(0, nullptr);
    debugRaster(nullptr);
    debugPPDFile(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ZEZ2O1 INFO: ============== DEBUG CUPS_RASTER_T - ptr:0\n"
              "ZEZ2O1 INFO: ============== DEBUG PPD_FILE_T - ptr:0\n");
}

TEST(DiagnosticDumps, PpdWithoutSizesOrFiltersIsDumpedSafely)
{
    cr80test::TempDir dir;
    std::string path = dir.write("bare.ppd", "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                                             "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                                             "*PCFileName: \"BARE.PPD\"\n*Manufacturer: \"T\"\n*Product: \"(T)\"\n"
                                             "*ModelName: \"T\"\n*ShortNickName: \"T\"\n*NickName: \"T\"\n"
                                             "*PSVersion: \"(3010.000) 0\"\n");
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    ASSERT_NE(ppd, nullptr);
    testing::internal::CaptureStderr();
    debugPPDFile(ppd);
    std::string log = testing::internal::GetCapturedStderr();
    ppdClose(ppd);
    EXPECT_NE(log.find("ppd->num_sizes: 0\n"), std::string::npos);
    EXPECT_EQ(log.find("ppd->sizes[0]"), std::string::npos);
    EXPECT_EQ(log.find("ppd->filters:"), std::string::npos);
    EXPECT_NE(log.find("ppd->fonts: (null)\n"), std::string::npos);
    EXPECT_NE(log.find("ppd->protocols: (null)\n"), std::string::npos);
}

TEST(DiagnosticDumps, OptionsAreListedInOrder)
{
    cups_option_t* options = nullptr;
    int n = cupsParseOptions("GRibbonType=RC_YMCKO Resolution=DPI300", 0, &options);
    testing::internal::CaptureStderr();
    debugOptions(n, options);
    std::string log = testing::internal::GetCapturedStderr();
    cupsFreeOptions(n, options);
    EXPECT_NE(log.find("Name:GRibbonType Value:RC_YMCKO"), std::string::npos);
    EXPECT_NE(log.find("Name:Resolution Value:DPI300"), std::string::npos);
}
