// A card's printer commands, collected before they go to the output callback.
#pragma once

#include "Windows.h"

namespace tavgdi {

class IOutputWriter {
public:
    // Hands the collected bytes to the callback; true when all were written.
    virtual bool flush(void* obj) = 0;
    // Appends size bytes; returns the count taken (0 when refused).
    virtual dword write(void* obj, void* data, dword size) = 0;
    // Sizes the buffer, once.
    virtual bool setBufferSize(dword size) = 0;
    virtual dword getBufferSize() = 0;
    virtual bool setWriter(PFN_WriteBuffer writer) = 0;
    virtual PFN_WriteBuffer getWriter() = 0;
    // Zeroes the collected bytes.
    virtual void resetBuffer() = 0;
    virtual ~IOutputWriter() {}
};

} // namespace tavgdi
