#include "processors/RasterToMonoBmpProcessor.h"

#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/CR80MonoDataManager.h"
#include "face/FastKernels.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

RasterToMonoBmpProcessor::RasterToMonoBmpProcessor(IGDataProcessor* parent) : GenericCompositeProcessor(parent)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +RasterToMonoBmpProcessor (%lx)\r\n", LOGPTR(this));
}

RasterToMonoBmpProcessor::~RasterToMonoBmpProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -RasterToMonoBmpProcessor (%lx)\r\n", LOGPTR(this));
}

bool RasterToMonoBmpProcessor::AlignData(const byte* source, byte* destination, dword sourceRowBytes,
                                         dword destinationRowBytes, dword rowCount)
{
    if (destinationRowBytes < sourceRowBytes)
        return false;
    if (sourceRowBytes == 0 || rowCount == 0)
        return true;
    if (source == nullptr || destination == nullptr)
        return false;
    for (dword r = 0; r < rowCount; ++r)
        memcpy(destination + static_cast<size_t>(r) * destinationRowBytes,
               source + static_cast<size_t>(r) * sourceRowBytes, sourceRowBytes);
    return true;
}

bool RasterToMonoBmpProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][RasterToMonoBmpProcessor::process]\r\n");
    if (memMgr == nullptr || dataMgr == nullptr || media == nullptr ||
        memMgr->getSize() != media->getMonochromeDataSize())
        return false;

    const dword width = dataMgr->getWidth();
    const dword rowCount = dataMgr->getHeight();
    const dword sourceRow = width / 8;
    const dword destinationRow = static_cast<dword>(MediaDefinition::ComputeRWidth(static_cast<int>(width)));
    const unsigned long long sourceSize = static_cast<unsigned long long>(sourceRow) * rowCount;
    const unsigned long long paddedSize = static_cast<unsigned long long>(destinationRow) * rowCount;
    // The rows must come from inside the image and the padded image must fit
    // allocate's int size.
    if (sourceSize > memMgr->getSize() || paddedSize > 0x7FFFFFFFull)
        return false;

    byte* work = memMgr->getBufferCopy();
    if (work == nullptr)
        return false;
    bool result = memMgr->allocate(static_cast<int>(paddedSize), 0);
    byte* padded = memMgr->getBuffer(0);
    if (result && padded != nullptr) {
        result = AlignData(work, padded, sourceRow, destinationRow, rowCount);
        // Rows keep whole bytes only; the last width % 8 dots of a row, which
        // the bitmap still shows, are made white instead of left as 0 bits.
        const dword partial = width % 8;
        const CR80MonoDataManager* mono = FastKernels::oneBitManager(dataMgr);
        const bool whiteIsOne = mono == nullptr || mono->getWhiteValue() != 0;
        if (result && partial != 0 && whiteIsOne && sourceRow < destinationRow) {
            const byte whiteBits = static_cast<byte>(0xFF00u >> partial);
            for (dword r = 0; r < rowCount; ++r)
                padded[static_cast<size_t>(r) * destinationRow + sourceRow] = whiteBits;
        }
    }
    Allocator::desalloc(work);
    return processNext(result, dataMgr, memMgr, media);
}

} // namespace tavgdi
