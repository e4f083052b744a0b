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

    // Where the picture is found: its name is looked up in `directory`
    // (empty: the working directory); `setting` is the job setting that
    // names it ("IFBlackCustom"), a static text used in messages to the
    // user. Readers that do not read files ignore the directory.
    virtual void setSource(const char* /*directory*/, const char* /*setting*/) {}
    // The job setting given to setSource, or null.
    virtual const char* getSetting() const { return nullptr; }
};

} // namespace tavgdi
