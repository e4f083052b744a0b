// Owner of one image's bytes; knows nothing about their layout.
#pragma once

#include "Windows.h"

namespace tavgdi {

class IGDataMemoryManager {
public:
    enum IGDataMemoryManagement {
        internalMemMgt = 0, // allocated here and freed here
        externalMemMgt = 1, // belongs to someone else, never freed here
    };

    virtual bool allocate(int size, byte value) = 0;
    virtual byte* getBuffer(dword offset) = 0;
    virtual byte* getBufferCopy() = 0;
    virtual bool setBuffer(byte* buffer, dword size) = 0;
    virtual dword getSize() = 0;
    virtual IGDataMemoryManager* clone() = 0;
    virtual byte getByte(dword index) = 0;
    virtual bool setByte(dword index, byte value) = 0;
    virtual bool isConstantBuffer(dword offset, dword size, byte value) = 0;
    virtual void save(char* rootname) = 0;
    virtual ~IGDataMemoryManager() {}
};

} // namespace tavgdi
