#include "input/MonoReaders.h"

#include "InternalLog.h"

namespace tavgdi {

namespace {
// The job settings naming the picture of each slot.
const char* const SettingNames[MonoReaders::MonoReaderItemCount] = {"IFOverlayCustom", "IBOverlayCustom",
                                                                     "IFBlackCustom", "IBBlackCustom"};
// The enumeration may hold any int here: a caller's cast is checked.
bool isSlot(MonoReaders::MonoReaderItemType item)
{
    const int index = static_cast<int>(item);
    return index >= 0 && index < MonoReaders::MonoReaderItemCount;
}
} // namespace

MonoReaders::MonoReaders(TavFactory::MonochromeReaderType type) : monoReadersType(type)
{
    for (IMonochromeReader*& reader : arrayMonoReaders)
        reader = nullptr;
}

MonoReaders::~MonoReaders()
{
    releaseAll();
}

IMonochromeReader* MonoReaders::get(MonoReaderItemType item)
{
    if (!isSlot(item))
        return nullptr;
    return arrayMonoReaders[item];
}

TavFactory::MonochromeReaderType MonoReaders::getType()
{
    return monoReadersType;
}

void MonoReaders::changeType(TavFactory::MonochromeReaderType type)
{
    if (type == monoReadersType)
        return;
    monoReadersType = type;
    releaseAll();
}

bool MonoReaders::set(void* obj, const char* key, MonoReaderItemType item)
{
    if (!isSlot(item))
        return false;
    arrayMonoReaders[item] = TavFactory::FactoryMonochromeReader(obj, key, arrayMonoReaders[item], monoReadersType);
    if (arrayMonoReaders[item] == nullptr)
        return false;
    arrayMonoReaders[item]->setSource(pictureDirectory.c_str(), SettingNames[item]);
    return true;
}

void MonoReaders::setPictureDirectory(const std::string& directory)
{
    pictureDirectory = directory;
    for (int item = 0; item < MonoReaderItemCount; ++item)
        if (arrayMonoReaders[item] != nullptr)
            arrayMonoReaders[item]->setSource(pictureDirectory.c_str(), SettingNames[item]);
}

const char* MonoReaders::settingName(MonoReaderItemType item)
{
    if (!isSlot(item))
        return nullptr;
    return SettingNames[item];
}

void MonoReaders::releaseAll()
{
    for (IMonochromeReader*& reader : arrayMonoReaders) {
        if (reader == nullptr)
            continue;
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] MonochromeReader FREE - \t\tPTR: %lx\r\n", LOGPTR(reader));
        delete reader;
        reader = nullptr;
    }
}

} // namespace tavgdi
