#include "GlobalFactory.h"
#include "InternalLog.h"
#include "input/FileMonochromeReader.h"

namespace TavFactory {

tavgdi::IMonochromeReader* FactoryMonochromeReader(void* obj, const char* key,
                                                   tavgdi::IMonochromeReader* previousReader,
                                                   MonochromeReaderType monoReaderType)
{
    using namespace tavgdi;
    InternalLog::print(L"[TAVRIN UNIDRIVER][FactoryMonochromeReader]\tobj: %lx - key: %S - previous: %lx\r\n",
                       LOGPTR(obj), key != nullptr ? key : "(null)", LOGPTR(previousReader));
    if (previousReader != nullptr) {
        previousReader->update(obj, key);
        return previousReader;
    }
    if (monoReaderType != FileMonoReader)
        return nullptr;

    FileMonochromeReader* reader = new FileMonochromeReader(key);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW MonochromeReader \tPTR: %lx\r\n", LOGPTR(reader));
    return reader;
}

} // namespace TavFactory
