// Expands the three colour planes of a panel from 7 bits per dot (as read
// from a 128-level panel download) to one byte per dot, in place.
#pragma once

#include "Windows.h"
#include "processors/ColourPlanesProcessor.h"

namespace tavgdi {

class Convert7to8bitProcessor : public ColourPlanesProcessor {
public:
    explicit Convert7to8bitProcessor(IGDataProcessor* parent);

    // Reads the packed 7-bit values at the start of the buffer (as written
    // by Convert8to7bitProcessor::reduceBuffer for size dots) and writes size
    // bytes, each value shifted back to the high bits (lowest bit 0). Reads
    // and writes stay within the size bytes of the buffer. False when the
    // work buffer of size bytes cannot be allocated.
    static bool expandBuffer(byte* buffer, dword size);
};

} // namespace tavgdi
