#include "builders/CR80BmpOutputBuilder.h"

#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataManager.h"
#include "image/IGDataMemoryManager.h"
#include "processors/IGDataProcessor.h"

namespace tavgdi {

const byte CR80BmpOutputBuilder::monoPixelDef[] = {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};

namespace {

void put16(byte* at, dword value)
{
    at[0] = static_cast<byte>(value);
    at[1] = static_cast<byte>(value >> 8);
}

void put32(byte* at, dword value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<byte>(value >> (8 * i));
}

} // namespace

CR80BmpOutputBuilder::CR80BmpOutputBuilder(TavFactory::SupervisorType type, IGDataOptions* options_,
                                           IGDataMemoryManager* memMgr_, IGDataManager* dataMgr_,
                                           MediaDefinition* media_)
    : OutputBuilderBase("CR80BmpOutputBuilder"), dataMgr(dataMgr_), size(0), headerStep(0),
      isColor(type == TavFactory::BmpColorSupervisor || type == TavFactory::BmpGraySupervisor), media(media_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +CR80BmpOutputBuilder (%lx) \tDependancy: "
                       L"IGDataOptions(%lx), IGDataMemoryManager(%lx), IGDataManager(%lx), MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(options_), LOGPTR(memMgr_), LOGPTR(dataMgr_), LOGPTR(media_));
    // The file is made from a private copy: the output chain changes it.
    if (memMgr_ != nullptr)
        memMgr.reset(memMgr_->clone());
}

unsigned long long CR80BmpOutputBuilder::fileRowLength() const
{
    const unsigned long long width = dataMgr->getWidth();
    return isColor ? (width * 3ull + 3ull) & ~3ull : ((width + 31ull) / 32ull) * 4ull;
}

bool CR80BmpOutputBuilder::padColorRows()
{
    const unsigned long long width = dataMgr->getWidth();
    const unsigned long long height = dataMgr->getHeight();
    const unsigned long long packedRow = width * 3ull;
    const unsigned long long paddedRow = fileRowLength();
    if (packedRow * height != memMgr->getSize())
        return false;
    if (paddedRow == packedRow)
        return true;
    const unsigned long long paddedSize = paddedRow * height;
    if (paddedSize > 0x7FFFFFFFull)
        return false;
    byte* packed = memMgr->getBufferCopy();
    bool done = packed != nullptr && memMgr->allocate(static_cast<int>(paddedSize), 0);
    byte* target = done ? memMgr->getBuffer(0) : nullptr;
    if (target != nullptr)
        for (unsigned long long row = 0; row < height; ++row)
            memcpy(target + row * paddedRow, packed + row * packedRow, static_cast<size_t>(packedRow));
    else
        done = false;
    Allocator::desalloc(packed);
    return done;
}

bool CR80BmpOutputBuilder::init(IGDataProcessor* processor)
{
    bool ok = state == constructionDone && dataMgr != nullptr && memMgr != nullptr &&
              (processor == nullptr || processor->process(dataMgr, memMgr.get(), media));
    // The headers announce width x height: the pixel array must hold exactly
    // the rows they promise, or the file would be read out of step.
    if (ok)
        ok = isColor ? padColorRows()
                     : fileRowLength() * static_cast<unsigned long long>(dataMgr->getHeight()) == memMgr->getSize();
    if (ok && memMgr->getSize() == 0)
        ok = false;
    state = ok ? initDone : onError;
    if (!ok)
        InternalLog::print(L"[TAVRIN UNIDRIVER][CR80BmpOutputBuilder::init] WARNING - (ptr:%lx) nothing to write\r\n",
                           LOGPTR(this));
    return ok;
}

bool CR80BmpOutputBuilder::getBmpHeader(bool isColor, IGDataManager* dataMgr, IGDataMemoryManager* memMgr,
                                        byte** buffer, dword* size)
{
    if (dataMgr == nullptr || memMgr == nullptr || buffer == nullptr || size == nullptr)
        return false;
    const dword headerSize = isColor ? ColorHeaderSize : MonoHeaderSize;
    byte* header = Allocator::alloc(headerSize);
    if (header == nullptr)
        return false;
    memset(header, 0, headerSize);
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, headerSize + memMgr->getSize());
    put32(header + 10, headerSize);
    put32(header + 14, 40);
    put32(header + 18, dataMgr->getWidth());
    put32(header + 22, dataMgr->getHeight());
    put16(header + 26, 1);
    put16(header + 28, isColor ? 24 : 1);
    put32(header + 34, memMgr->getSize());
    put32(header + 38, BmpResolution);
    put32(header + 42, BmpResolution);
    if (!isColor)
        memcpy(header + ColorHeaderSize, monoPixelDef, monoPixelDefSize);
    *buffer = header;
    *size = headerSize;
    return true;
}

byte* CR80BmpOutputBuilder::getBuffer()
{
    if (state != initDone) {
        state = onError;
        size = 0;
        return nullptr;
    }
    if (headerStep == 0) {
        if (!getBmpHeader(isColor, dataMgr, memMgr.get(), &buffer, &size)) {
            state = onError;
            size = 0;
            return nullptr;
        }
        headerStep = 1;
        return buffer;
    }
    Allocator::desalloc(buffer);
    buffer = nullptr;
    state = iterationDone;
    size = memMgr->getSize();
    return memMgr->getBuffer(0);
}

dword CR80BmpOutputBuilder::getSize()
{
    return size;
}

bool CR80BmpOutputBuilder::next()
{
    return state == initDone;
}

} // namespace tavgdi
