#include "input/MonoReaders.h"

#include "InternalLog.h"
#include "Owned.h"

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
}

MonoReaders::~MonoReaders()
{
    releaseAll();
}

IMonochromeReader* MonoReaders::get(MonoReaderItemType item)
{
    if (!isSlot(item))
        return nullptr;
    return arrayMonoReaders[item].get();
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
    // The factory updates the slot's reader, or makes one for an empty slot.
    IMonochromeReader* previous = arrayMonoReaders[item].get();
    IMonochromeReader* reader = TavFactory::FactoryMonochromeReader(obj, key, previous, monoReadersType);
    if (reader != previous)
        arrayMonoReaders[item].reset(reader);
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
    for (std::unique_ptr<IMonochromeReader>& reader : arrayMonoReaders)
        releaseLogged(reader, "MonochromeReader");
}

} // namespace tavgdi
