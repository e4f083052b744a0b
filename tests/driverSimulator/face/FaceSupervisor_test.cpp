// Face supervisor decisions that the golden streams do not show directly.
#include <gtest/gtest.h>

#include <vector>

#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "face/FaceSupervisor.h"
#include "image/IGDataSupervisor.h"
#include "image/IPixel.h"
#include "pipeline/BufferedOutputWriter.h"
#include "pipeline/StatusReporter.h"
#include "settings/GDataOptions.h"

using namespace tavgdi;
using namespace TavGdiOptions;

namespace {

std::string sink;
dword capture(void*, void* buffer, dword size)
{
    sink.append(static_cast<const char*>(buffer), size);
    return size;
}

class Face : public ::testing::Test {
protected:
    void SetUp() override
    {
        options.setOption(DpiX, 300);
        options.setOption(DpiY, 300);
        options.setOption(PaperSizeW, 1016);
        options.setOption(PaperSizeH, 648);
        options.setOption(OutputDeviceType, DeviceColor);
        options.setOption(ThresholdValue, 128);
        options.setOption(BlackLevelValue, 249);
        options.setOption(DarkLevelValue, 200);
        // A white page with a black square in its top-left corner.
        page.assign(1016 * 648 * 3, 255);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                for (int k = 0; k < 3; ++k)
                    page[(size_t(647 - y) * 1016 + x) * 3 + k] = 0;
    }
    bool run(FaceSupervisor& face, StdLGRect* rects = nullptr)
    {
        return face.runGraphicalProcessing(page.data(), page.size(), 1016, 648, 24, rects, nullptr, nullptr);
    }
    GDataOptions options;
    MediaDefinition media{300, 300, 1016, 648};
    StatusReporter status;
    std::vector<byte> page;
};

} // namespace

TEST_F(Face, TextOnlyBlackWithoutAListExtractsEverywhereButSendsNoBlackPanel)
{
    options.setOption(BlackManagement, BlackMgtOnlyText);
    FaceSupervisor face(&options, &media, status);
    ASSERT_TRUE(run(face));
    EXPECT_EQ(options.getOption(BlackManagement), NoValue);
    // The black square left the colour panels...
    EXPECT_FALSE(face.getColorSupervisor()->getPixel(0, 0)->isDark());
    // ...and the face carries neither colour nor black panel data.
    BufferedOutputWriter writer(100000);
    writer.setWriter(capture);
    byte head[] = "H", tail[] = "T";
    sink.clear();
    ASSERT_TRUE(face.sendFace(&writer, nullptr, head, 1, tail, 1));
    ASSERT_TRUE(writer.flush(nullptr));
    EXPECT_EQ(sink.find("Db;k"), std::string::npos);
    EXPECT_EQ(sink.find("<BINARY"), std::string::npos);
}

TEST_F(Face, PageThatIsNotACardIsRefusedUnderStrictSetup)
{
    options.setOption(StrictPageSetup, NoValue);
    FaceSupervisor face(&options, &media, status);
    std::vector<byte> small(8 * 4 * 3, 255);
    EXPECT_FALSE(face.runGraphicalProcessing(small.data(), small.size(), 8, 4, 24, nullptr, nullptr, nullptr));
    options.setOption(StrictPageSetup, StretchImage);
    FaceSupervisor stretched(&options, &media, status);
    EXPECT_TRUE(stretched.runGraphicalProcessing(small.data(), small.size(), 8, 4, 24, nullptr, nullptr, nullptr));
}
