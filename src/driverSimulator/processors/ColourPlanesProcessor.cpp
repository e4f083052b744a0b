#include "processors/ColourPlanesProcessor.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

ColourPlanesProcessor::ColourPlanesProcessor(const char* name_, bool (*convert_)(byte*, dword), IGDataProcessor* parent)
    : GenericCompositeProcessor(parent), name(name_), convert(convert_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +%s (%lx)\r\n", name, LOGPTR(this));
}

ColourPlanesProcessor::~ColourPlanesProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -%s (%lx)\r\n", name, LOGPTR(this));
}

void ColourPlanesProcessor::logProcess() const
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][%s::process]\r\n", name);
}

bool ColourPlanesProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media)
{
    logProcess();
    if (memMgr == nullptr || media == nullptr || memMgr->getSize() != media->getColorDataSize())
        return false;
    const dword area = media->getArea();
    byte* buffer = memMgr->getBuffer(0);
    bool result = true;
    if (buffer != nullptr) {
        for (int plane = 0; plane < 3; ++plane)
            result = convert(buffer + static_cast<size_t>(plane) * area, area) && result;
    }
    return processNext(result, dataMgr, memMgr, media);
}

} // namespace tavgdi
