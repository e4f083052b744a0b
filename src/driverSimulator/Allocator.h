// Byte buffers handed from one part of the pipeline to another.
#pragma once

#include "Windows.h"

namespace tavgdi {

class Allocator {
public:
    // A new array of size bytes, or null when it cannot be allocated.
    static byte* alloc(dword size);
    // Releases an array from alloc; null is ignored.
    static void desalloc(byte* p);
};

} // namespace tavgdi
