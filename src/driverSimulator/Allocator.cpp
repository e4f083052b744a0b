#include "Allocator.h"

#include <new>

namespace tavgdi {

byte* Allocator::alloc(dword size)
{
    return new (std::nothrow) byte[size];
}

void Allocator::desalloc(byte* p)
{
    delete[] p;
}

} // namespace tavgdi
