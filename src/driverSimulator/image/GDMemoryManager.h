// The one memory manager: a flat byte array, either allocated and freed here
// or borrowed from someone else.
#pragma once

#include "image/IGDataMemoryManager.h"

namespace tavgdi {

class GDMemoryManager : public IGDataMemoryManager {
public:
    // Longest file name save() writes, in characters.
    static const int MaxFileNameLength = 255;

    GDMemoryManager();
    GDMemoryManager(const GDMemoryManager&) = delete;
    GDMemoryManager& operator=(const GDMemoryManager&) = delete;
    ~GDMemoryManager() override;

    // A negative size is refused; 0 leaves the manager empty and succeeds.
    bool allocate(int size, byte value) override;
    byte* getBuffer(dword offset) override;
    byte* getBufferCopy() override;
    bool setBuffer(byte* buffer, dword size) override;
    dword getSize() override { return allocatedSize; }
    IGDataMemoryManager* clone() override;
    // clone() without the copy: the same size (and log lines), the bytes
    // left for the caller to write. Null when clone() would fail.
    GDMemoryManager* cloneUnfilled();
    byte getByte(dword index) override { return index < allocatedSize ? buffer[index] : 0; }
    bool setByte(dword index, byte value) override
    {
        if (index >= allocatedSize)
            return false;
        buffer[index] = value;
        return true;
    }
    bool isConstantBuffer(dword offset, dword size, byte value) override;
    // Raw dump to "<rootname>_<address>.bin"; nothing is written when the
    // name would not fit MaxFileNameLength characters.
    void save(char* rootname) override;

    // Frees an own buffer and leaves the manager empty.
    void reset();

    // In place of allocate(size, ...) and a copy of size bytes from buffer
    // into it: the manager takes the caller's bytes themselves (same log
    // line as allocate), reads them and never frees them. For a caller
    // whose buffer outlives the manager and that does not mind it being the
    // image; false (manager empty) for a null buffer or a size above the
    // int range.
    bool allocateOver(byte* external, dword size);

    // allocate, with the new bytes filled with *fill, or left for the caller
    // to write when fill is null (same log line).
    bool allocateBytes(int size, const byte* fill);

private:
    dword allocatedSize;
    byte* buffer;
    IGDataMemoryManagement memoryManagement;
};

} // namespace tavgdi
