// A job's option map: option key to signed 32-bit value. An absent key reads
// as 0, which every consumer takes as "not set".
#pragma once

#include "OptionsDefinition.h"

namespace tavgdi {

class IGDataOptions {
public:
    // Drops every entry; the map stays usable.
    virtual void cleanUp() = 0;
    // Overwrites the key's value in place, or appends a new entry; false
    // when no entry could be allocated (the map is then unchanged).
    virtual bool setOption(TavGdiOptions::Keys key, int value) = 0;
    // The key's value, or 0 when the key is absent.
    virtual int getOption(TavGdiOptions::Keys key) = 0;
    // Drops the key's entry; an absent key does nothing.
    virtual void removeOption(TavGdiOptions::Keys key) = 0;
    // An independent copy with the same entries in the same order, owned by
    // the caller; null when it could not be allocated.
    virtual IGDataOptions* clone() = 0;
    virtual ~IGDataOptions() {}
};

} // namespace tavgdi
