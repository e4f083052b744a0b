// A plain memory manager for tests of the parsers and builders: bounds as
// the pipeline's own (reads past the end give 0 or null), and switches to
// make the next allocation or clone fail.
#pragma once

#include <cstring>
#include <vector>

#include "image/IGDataMemoryManager.h"

class VectorMemoryManager : public tavgdi::IGDataMemoryManager {
public:
    bool failAllocate = false;
    bool failClone = false;
    std::vector<byte> bytes;
    bool hasBuffer = false;

    bool allocate(int size, byte value) override
    {
        bytes.clear();
        hasBuffer = false;
        if (failAllocate || size < 0)
            return false;
        // An exact-size heap block, so that an overrun is seen by the sanitizer.
        bytes.assign(static_cast<size_t>(size), value);
        bytes.shrink_to_fit();
        hasBuffer = size > 0;
        return true;
    }
    byte* getBuffer(dword offset) override { return offset < bytes.size() ? bytes.data() + offset : nullptr; }
    byte* getBufferCopy() override { return nullptr; }
    bool setBuffer(byte* buffer, dword size) override
    {
        if (buffer == nullptr && size != 0)
            return false;
        bytes.assign(buffer, buffer + size);
        return true;
    }
    dword getSize() override { return static_cast<dword>(bytes.size()); }
    tavgdi::IGDataMemoryManager* clone() override
    {
        if (failClone)
            return nullptr;
        VectorMemoryManager* copy = new VectorMemoryManager;
        copy->bytes = bytes;
        copy->bytes.shrink_to_fit();
        return copy;
    }
    byte getByte(dword index) override { return index < bytes.size() ? bytes[index] : 0; }
    bool setByte(dword index, byte value) override
    {
        if (index >= bytes.size())
            return false;
        bytes[index] = value;
        return true;
    }
    bool isConstantBuffer(dword offset, dword size, byte value) override
    {
        for (dword i = 0; i < size; ++i)
            if (getByte(offset + i) != value)
                return false;
        return true;
    }
    void save(char*) override {}
};
