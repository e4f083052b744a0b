// Source of a custom one-bit picture (black or overlay) for a card face.
#pragma once

#include "Windows.h"

namespace tavgdi {

class MediaDefinition;

class IMonochromeReader {
public:
    // Renames the reader: obj is an opaque handle, key names the picture.
    virtual void update(void* obj, const char* key) = 0;
    // The picture fitted to the media, in a new buffer from Allocator::alloc
    // (owned by the caller, released with Allocator::desalloc), or null.
    virtual byte* read(MediaDefinition* media) = 0;
    virtual ~IMonochromeReader() {}
};

} // namespace tavgdi
