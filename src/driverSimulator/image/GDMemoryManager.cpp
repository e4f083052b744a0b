#include "image/GDMemoryManager.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "Allocator.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"

namespace tavgdi {

GDMemoryManager::GDMemoryManager() : allocatedSize(0), buffer(nullptr), memoryManagement(externalMemMgt)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +GDMemoryManager (%lx)\r\n", LOGPTR(this));
}

GDMemoryManager::~GDMemoryManager()
{
    reset();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -GDMemoryManager (%lx)\r\n", LOGPTR(this));
}

void GDMemoryManager::reset()
{
    if (memoryManagement == internalMemMgt)
        Allocator::desalloc(buffer);
    buffer = nullptr;
    memoryManagement = externalMemMgt;
    allocatedSize = 0;
}

bool GDMemoryManager::allocate(int size, byte value)
{
    return allocateBytes(size, &value);
}

bool GDMemoryManager::allocateBytes(int size, const byte* fill)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][GDMemoryManager::allocate] (ptr:%lx, sz:%lu)\r\n", LOGPTR(this),
                       (unsigned long)(dword)size);
    reset();
    if (size == 0)
        return true;
    byte* fresh = size > 0 ? Allocator::alloc(static_cast<dword>(size)) : nullptr;
    if (fresh == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][GDMemoryManager::allocate] WARNING - Failed (ptr:%lx, sz:%lu)\r\n",
                           LOGPTR(this), (unsigned long)(dword)size);
        return false;
    }
    if (fill != nullptr)
        memset(fresh, *fill, static_cast<size_t>(size));
    buffer = fresh;
    allocatedSize = static_cast<dword>(size);
    memoryManagement = internalMemMgt;
    return true;
}

bool GDMemoryManager::allocateOver(byte* external, dword size)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][GDMemoryManager::allocate] (ptr:%lx, sz:%lu)\r\n", LOGPTR(this),
                       (unsigned long)size);
    reset();
    if (external == nullptr || size == 0 || size > 0x7FFFFFFFu)
        return false;
    buffer = external;
    allocatedSize = size;
    memoryManagement = externalMemMgt;
    return true;
}

bool GDMemoryManager::setBuffer(byte* newBuffer, dword size)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][GDMemoryManager::setBuffer] (ptr:%lx, buff:%lx, sz:%lu)\r\n", LOGPTR(this),
                       LOGPTR(newBuffer), (unsigned long)size);
    reset();
    if (newBuffer == nullptr && size != 0) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][GDMemoryManager::setBuffer] WARNING - Failed (ptr:%lx, sz:%lu)\r\n",
                           LOGPTR(this), (unsigned long)size);
        return false;
    }
    // A null buffer of size 0 leaves the manager empty.
    buffer = newBuffer;
    allocatedSize = newBuffer != nullptr ? size : 0;
    memoryManagement = externalMemMgt;
    return true;
}

byte* GDMemoryManager::getBuffer(dword offset)
{
    return offset < allocatedSize ? buffer + offset : nullptr;
}

byte* GDMemoryManager::getBufferCopy()
{
    byte* copy = Allocator::alloc(allocatedSize);
    if (copy != nullptr && allocatedSize != 0)
        memcpy(copy, buffer, allocatedSize);
    return copy;
}

IGDataMemoryManager* GDMemoryManager::clone()
{
    GDMemoryManager* copy = cloneUnfilled();
    if (copy != nullptr && allocatedSize != 0)
        memcpy(copy->buffer, buffer, allocatedSize);
    return copy;
}

GDMemoryManager* GDMemoryManager::cloneUnfilled()
{
    std::unique_ptr<GDMemoryManager> copy(new (std::nothrow) GDMemoryManager());
    if (copy == nullptr)
        return nullptr;
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GDMemoryManager::clone \tPTR: %lx\r\n",
                       LOGPTR(copy.get()));
    // Sizes above the int range cannot be re-allocated: the copy fails.
    const bool sized = allocatedSize <= 0x7FFFFFFFu && copy->allocateBytes(static_cast<int>(allocatedSize), nullptr);
    if (!sized)
        releaseLogged(copy, "IGDataMemoryManager");
    return copy.release();
}

bool GDMemoryManager::isConstantBuffer(dword offset, dword size, byte value)
{
    // Bytes beyond the buffer read as 0; the range is walked without
    // wrapping round the 32-bit index.
    const unsigned long long end = static_cast<unsigned long long>(offset) + size;
    const unsigned long long inside = end < allocatedSize ? end : allocatedSize;
    for (unsigned long long i = offset; i < inside; ++i)
        if (buffer[i] != value)
            return false;
    if (end > inside && value != 0)
        return false;
    return true;
}

void GDMemoryManager::save(char* rootname)
{
    if (rootname == nullptr)
        return;
    char fileName[MaxFileNameLength + 1];
    const int length = snprintf(fileName, sizeof fileName, "%s_%lx.bin", rootname, LOGPTR(this));
    if (length < 0 || length > MaxFileNameLength) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][GDMemoryManager::save] WARNING - file name too long (ptr:%lx)\r\n",
                           LOGPTR(this));
        return;
    }
    FILE* file = fopen(fileName, "wb");
    if (file == nullptr)
        return;
    if (allocatedSize != 0)
        fwrite(buffer, 1, allocatedSize, file);
    fclose(file);
}

} // namespace tavgdi

namespace TavFactory {

tavgdi::IGDataMemoryManager* FactoryMemoryManager()
{
    tavgdi::IGDataMemoryManager* mgr = new (std::nothrow) tavgdi::GDMemoryManager();
    if (mgr != nullptr)
        tavgdi::InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW IGDataMemoryManager \tPTR: %lx\r\n",
                                   LOGPTR(mgr));
    return mgr;
}

} // namespace TavFactory
