#include <gtest/gtest.h>

#include "TestRaster.h"
#include "debuginfo.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

// The diagnostic dumps read only what exists: null inputs, a PPD without
// sizes, filters, fonts or protocols.
TEST(DiagnosticDumps, MissingPartsAreNotRead)
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
    debugOptions(0, nullptr);
    debugRaster(nullptr);
    debugPPDFile(nullptr);
    debugPPDFile(ppd);
    std::string log = testing::internal::GetCapturedStderr();
    ppdClose(ppd);
    EXPECT_NE(log.find("ppd->num_sizes: 0\n"), std::string::npos);
    EXPECT_EQ(log.find("ppd->sizes[0]"), std::string::npos);
    EXPECT_NE(log.find("ppd->fonts: (null)\n"), std::string::npos);
}
