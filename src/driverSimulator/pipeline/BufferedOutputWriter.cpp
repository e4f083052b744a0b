#include "pipeline/BufferedOutputWriter.h"

#include <cstring>

#include "Allocator.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"

namespace tavgdi {

static const char* const SourcePath = "driverSimulator/BufferedOutputWriter";

BufferedOutputWriter::BufferedOutputWriter()
    : managedBuffer(nullptr), managedBufferSize(0), filledBufferSize(0), writer(nullptr), pendingZeroSize(0)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +BufferedOutputWriter (%lx)\r\n", LOGPTR(this));
}

BufferedOutputWriter::BufferedOutputWriter(dword size) : BufferedOutputWriter()
{
    if (!setBufferSize(size)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][BufferedOutputWriter::BufferedOutputWriter] Constructor failed\tPTR: "
                           L"%lx  sz : %lu\r\n",
                           LOGPTR(this), static_cast<unsigned long>(size));
    }
}

BufferedOutputWriter::~BufferedOutputWriter()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -BufferedOutputWriter (%lx)\r\n", LOGPTR(this));
    Allocator::desalloc(managedBuffer);
}

bool BufferedOutputWriter::setBufferSize(dword size)
{
    if (managedBuffer != nullptr)
        return false;
    managedBuffer = Allocator::alloc(size);
    // Without a buffer the writer stays unsized: no capacity is claimed.
    managedBufferSize = managedBuffer != nullptr ? size : 0;
    return managedBuffer != nullptr;
}

dword BufferedOutputWriter::getBufferSize()
{
    return managedBufferSize;
}

bool BufferedOutputWriter::setWriter(PFN_WriteBuffer newWriter)
{
    writer = newWriter;
    return true;
}

PFN_WriteBuffer BufferedOutputWriter::getWriter()
{
    return writer;
}

dword BufferedOutputWriter::write(void* /*obj*/, void* data, dword size)
{
    // The room left is compared rather than filledBufferSize + size, which
    // could wrap around and let an oversized write through.
    const bool fits = managedBuffer != nullptr && filledBufferSize <= managedBufferSize &&
                      size <= managedBufferSize - filledBufferSize;
    if (writer == nullptr || !fits || (data == nullptr && size > 0)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][BufferedOutputWriter::write] ERROR - writer:%lx | buffer:%lx | "
                           L"current size:%ld | size to add:%ld | max size: %ld (%d:%S)\r\n",
                           LOGPTR(writer), LOGPTR(managedBuffer), static_cast<long>(filledBufferSize),
                           static_cast<long>(size), static_cast<long>(managedBufferSize), __LINE__, SourcePath);
        return 0;
    }
    zeroPending();
    if (size > 0)
        std::memcpy(managedBuffer + filledBufferSize, data, size);
    filledBufferSize += size;
    return size;
}

bool BufferedOutputWriter::flush(void* obj)
{
    if (writer == nullptr || managedBuffer == nullptr || filledBufferSize == 0)
        return false;
    zeroPending();
    return writer(obj, managedBuffer, filledBufferSize) == filledBufferSize;
}

void BufferedOutputWriter::resetBuffer()
{
    if (managedBuffer != nullptr && filledBufferSize > pendingZeroSize)
        pendingZeroSize = filledBufferSize;
}

void BufferedOutputWriter::zeroPending()
{
    if (managedBuffer != nullptr && pendingZeroSize > 0)
        std::memset(managedBuffer, 0, pendingZeroSize);
    pendingZeroSize = 0;
}

} // namespace tavgdi

namespace TavFactory {

std::unique_ptr<tavgdi::IOutputWriter> FactoryOutputWriter(dword size)
{
    return tavgdi::makeLogged<tavgdi::BufferedOutputWriter>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - BufferedOutputWriter \tPTR: %lx\r\n", size);
}

} // namespace TavFactory
