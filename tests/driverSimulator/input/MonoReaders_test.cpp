#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "input/FileMonochromeReader.h"
#include "input/MonoReaders.h"

using tavgdi::FileMonochromeReader;
using tavgdi::IMonochromeReader;
using tavgdi::MonoReaders;

namespace {

const char* filenameOf(IMonochromeReader* reader)
{
    auto* file = dynamic_cast<FileMonochromeReader*>(reader);
    return file != nullptr ? file->getFilename() : nullptr;
}

class MonoReadersTest : public testing::Test {
protected:
    void SetUp() override { std::swap(wasEnabled, tavgdi::InternalLog::isEnable); }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = false;
};

const char* directoryOf(IMonochromeReader* reader)
{
    auto* file = dynamic_cast<FileMonochromeReader*>(reader);
    return file != nullptr ? file->getDirectory().c_str() : nullptr;
}

const struct {
    MonoReaders::MonoReaderItemType slot;
    const char* roleKey;
    const char* setting;
} Roles[] = {
    {MonoReaders::OverlayMonochromeReaderFront, "overlay", "IFOverlayCustom"},
    {MonoReaders::OverlayMonochromeReaderBack, "backOverlay", "IBOverlayCustom"},
    {MonoReaders::BlackMonochromeReaderFront, "black", "IFBlackCustom"},
    {MonoReaders::BlackMonochromeReaderBack, "backBlack", "IBBlackCustom"},
};

} // namespace

// The adapter names the readers by role, then the converter sets the picture
// directory and renames them from the job's settings: every slot keeps its
// reader object, knows the setting that names its picture and looks it up
// in the picture directory, whether it was made before or after.
TEST_F(MonoReadersTest, NamingSequenceKeepsOneReaderPerSlot)
{
    MonoReaders readers(TavFactory::FileMonoReader);
    for (const auto& role : Roles) {
        EXPECT_EQ(readers.get(role.slot), nullptr);
        EXPECT_TRUE(readers.set(nullptr, role.roleKey, role.slot));
        EXPECT_STREQ(filenameOf(readers.get(role.slot)), role.roleKey);
        EXPECT_STREQ(directoryOf(readers.get(role.slot)), "");
        EXPECT_STREQ(readers.get(role.slot)->getSetting(), role.setting);
        EXPECT_STREQ(MonoReaders::settingName(role.slot), role.setting);
    }
    IMonochromeReader* black = readers.get(MonoReaders::BlackMonochromeReaderFront);

    readers.changeType(TavFactory::FileMonoReader); // same kind: nothing dropped
    readers.setPictureDirectory("/srv/cards");
    EXPECT_TRUE(readers.set(nullptr, "k.bmp", MonoReaders::BlackMonochromeReaderFront));
    EXPECT_TRUE(readers.set(nullptr, nullptr, MonoReaders::OverlayMonochromeReaderBack));
    EXPECT_EQ(readers.get(MonoReaders::BlackMonochromeReaderFront), black);
    EXPECT_STREQ(filenameOf(black), "k.bmp");
    EXPECT_STREQ(filenameOf(readers.get(MonoReaders::OverlayMonochromeReaderBack)), "");
    for (const auto& role : Roles)
        EXPECT_STREQ(directoryOf(readers.get(role.slot)), "/srv/cards");

    // Readers made after the directory was set look there too.
    readers.changeType(TavFactory::RegMonoReader);
    readers.changeType(TavFactory::FileMonoReader);
    EXPECT_TRUE(readers.set(nullptr, "k.bmp", MonoReaders::BlackMonochromeReaderBack));
    EXPECT_STREQ(directoryOf(readers.get(MonoReaders::BlackMonochromeReaderBack)), "/srv/cards");
    EXPECT_STREQ(readers.get(MonoReaders::BlackMonochromeReaderBack)->getSetting(), "IBBlackCustom");
}

TEST_F(MonoReadersTest, FileNameIsCutTo249Characters)
{
    const std::string longKey(300, 'k');
    FileMonochromeReader reader(longKey.c_str());
    EXPECT_EQ(std::string(reader.getFilename()), longKey.substr(0, 249));
    reader.update(nullptr, "short");
    EXPECT_STREQ(reader.getFilename(), "short");

    EXPECT_EQ(reader.read(nullptr), nullptr);
    reader.update(nullptr, "nonexistent/black.bmp");
    tavgdi::MediaDefinition media(300, 300, 1016, 648);
    EXPECT_EQ(reader.read(&media), nullptr);
}
