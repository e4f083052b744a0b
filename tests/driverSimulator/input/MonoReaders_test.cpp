#include <gtest/gtest.h>

#include <regex>
#include <string>

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

std::string maskPointers(const std::string& text)
{
    return std::regex_replace(text, std::regex("(PTR: |obj: |previous: |\\()[0-9a-f]+"), "$1P");
}

class MonoReadersTest : public testing::Test {
protected:
    void SetUp() override
    {
        wasEnabled = tavgdi::InternalLog::isEnable;
        tavgdi::InternalLog::isEnable = false;
    }
    void TearDown() override { tavgdi::InternalLog::isEnable = wasEnabled; }
    bool wasEnabled = true;
};

const struct {
    MonoReaders::MonoReaderItemType slot;
    const char* roleKey;
} Roles[] = {
    {MonoReaders::OverlayMonochromeReaderFront, "overlay"},
    {MonoReaders::OverlayMonochromeReaderBack, "backOverlay"},
    {MonoReaders::BlackMonochromeReaderFront, "black"},
    {MonoReaders::BlackMonochromeReaderBack, "backBlack"},
};

} // namespace

// The adapter names the readers by role, then the converter renames them from
// the job's settings: every slot keeps its reader object.
TEST_F(MonoReadersTest, NamingSequenceKeepsOneReaderPerSlot)
{
    MonoReaders readers(TavFactory::FileMonoReader);
    for (const auto& role : Roles) {
        EXPECT_EQ(readers.get(role.slot), nullptr);
        EXPECT_TRUE(readers.set(nullptr, role.roleKey, role.slot));
    }
    IMonochromeReader* black = readers.get(MonoReaders::BlackMonochromeReaderFront);
    IMonochromeReader* overlay = readers.get(MonoReaders::OverlayMonochromeReaderFront);
    for (const auto& role : Roles)
        EXPECT_STREQ(filenameOf(readers.get(role.slot)), role.roleKey);

    readers.changeType(TavFactory::FileMonoReader); // same kind: nothing dropped
    EXPECT_TRUE(readers.set(nullptr, "/cards/k.bmp", MonoReaders::BlackMonochromeReaderFront));
    EXPECT_TRUE(readers.set(nullptr, "backBlack", MonoReaders::BlackMonochromeReaderBack));
    EXPECT_TRUE(readers.set(nullptr, "overlay", MonoReaders::OverlayMonochromeReaderFront));
    EXPECT_TRUE(readers.set(nullptr, nullptr, MonoReaders::OverlayMonochromeReaderBack));

    EXPECT_EQ(readers.get(MonoReaders::BlackMonochromeReaderFront), black);
    EXPECT_EQ(readers.get(MonoReaders::OverlayMonochromeReaderFront), overlay);
    EXPECT_STREQ(filenameOf(black), "/cards/k.bmp");
    EXPECT_STREQ(filenameOf(readers.get(MonoReaders::OverlayMonochromeReaderBack)), "");
}

TEST_F(MonoReadersTest, ReaderKindDecidesWhetherSlotsHoldReaders)
{
    MonoReaders readers(TavFactory::FileMonoReader);
    for (const auto& role : Roles)
        readers.set(nullptr, role.roleKey, role.slot);

    readers.changeType(TavFactory::RegMonoReader);
    EXPECT_EQ(readers.getType(), TavFactory::RegMonoReader);
    for (const auto& role : Roles) {
        EXPECT_EQ(readers.get(role.slot), nullptr);
        EXPECT_FALSE(readers.set(nullptr, role.roleKey, role.slot));
    }

    readers.changeType(TavFactory::FileMonoReader);
    EXPECT_TRUE(readers.set(nullptr, "black", MonoReaders::BlackMonochromeReaderFront));

    // Slots outside the four are refused.
    const auto bad = static_cast<MonoReaders::MonoReaderItemType>(4);
    EXPECT_FALSE(readers.set(nullptr, "x", bad));
    EXPECT_EQ(readers.get(bad), nullptr);
    EXPECT_EQ(readers.get(static_cast<MonoReaders::MonoReaderItemType>(-1)), nullptr);

    MonoReaders undefined(TavFactory::UndefinedMonoReader);
    EXPECT_FALSE(undefined.set(nullptr, "black", MonoReaders::BlackMonochromeReaderFront));
}

TEST_F(MonoReadersTest, FileNameIsCutTo249Characters)
{
    const std::string longKey(300, 'k');
    FileMonochromeReader reader(longKey.c_str());
    EXPECT_EQ(std::string(reader.getFilename()), longKey.substr(0, 249));
    reader.update(nullptr, "short");
    EXPECT_STREQ(reader.getFilename(), "short");
    reader.update(nullptr, std::string(249, 'z').c_str());
    EXPECT_EQ(std::string(reader.getFilename()), std::string(249, 'z'));

    tavgdi::MediaDefinition* media = nullptr;
    EXPECT_EQ(reader.read(media), nullptr);
}

TEST_F(MonoReadersTest, FactoryLogsAndRenamesThePreviousReader)
{
    tavgdi::InternalLog::isEnable = true;
    testing::internal::CaptureStderr();
    IMonochromeReader* first = TavFactory::FactoryMonochromeReader(nullptr, "black", nullptr, TavFactory::FileMonoReader);
    IMonochromeReader* again =
        TavFactory::FactoryMonochromeReader(nullptr, "k.bmp", first, TavFactory::RegMonoReader);
    const std::string log = maskPointers(testing::internal::GetCapturedStderr());
    EXPECT_EQ(again, first);
    EXPECT_STREQ(filenameOf(again), "k.bmp");
    EXPECT_EQ(log,
              "[TAVRIN UNIDRIVER][FactoryMonochromeReader]\tobj: P - key: black - previous: P\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] +FileMonochromeReader (P) \tDependancy: CHAR(P)\r\n"
              "[TAVRIN UNIDRIVER][FileMonochromeReader::update] Init\tPTR: P - filename: black\r\n"
              "[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW MonochromeReader \tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][FactoryMonochromeReader]\tobj: P - key: k.bmp - previous: P\r\n"
              "[TAVRIN UNIDRIVER][FileMonochromeReader::update] Init\tPTR: P - filename: k.bmp\r\n");

    testing::internal::CaptureStderr();
    {
        MonoReaders readers(TavFactory::FileMonoReader);
        readers.set(nullptr, "overlay", MonoReaders::OverlayMonochromeReaderFront);
        testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
    }
    EXPECT_EQ(maskPointers(testing::internal::GetCapturedStderr()),
              "[TAVRIN UNIDRIVER MEM] MonochromeReader FREE - \t\tPTR: P\r\n"
              "[TAVRIN UNIDRIVER][Object LifeLine] -FileMonochromeReader (P)\r\n");
    tavgdi::InternalLog::isEnable = false;
    delete first;
}
