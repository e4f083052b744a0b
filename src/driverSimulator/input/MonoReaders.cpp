#include "input/MonoReaders.h"

#include "InternalLog.h"

namespace tavgdi {

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
    if (item < 0 || item >= MonoReaderItemCount)
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
    if (item < 0 || item >= MonoReaderItemCount)
        return false;
    arrayMonoReaders[item] = TavFactory::FactoryMonochromeReader(obj, key, arrayMonoReaders[item], monoReadersType);
    return arrayMonoReaders[item] != nullptr;
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
