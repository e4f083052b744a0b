// The 7-bit packing of the three colour planes of a panel (128 levels), in
// place, before download, and its inverse.
#pragma once

#include "Windows.h"
#include "processors/ColourPlanesProcessor.h"

namespace tavgdi {

class Convert8to7bitProcessor : public ColourPlanesProcessor {
public:
    explicit Convert8to7bitProcessor(IGDataProcessor* parent);

    // Packs size bytes to their high 7 bits, most significant bit first, at
    // the start of the same buffer. Whole groups of eight dots take seven
    // bytes; a final partial group of r dots takes ceil(7r / 8) bytes, so the
    // packed data never reaches past the plane. Bytes after the packed data
    // keep their old values. Always true.
    static bool reduceBuffer(byte* buffer, dword size);
    // reduceBuffer on a copy of from made in to (size bytes each, the two
    // buffers apart): to ends as a copy of from reduced in place would,
    // while from is left as it is.
    static void reduceCopy(const byte* from, byte* to, dword size);

    // process() of a packing that is the whole chain, for a caller that reads
    // of each plane only its whole groups of eight dots (the first
    // 7 x (area / 8) packed bytes): those bytes of each of source's three
    // planes are written to planes[0..2] straight from source (same log
    // line). False, with nothing done and nothing logged, when the chain
    // has more links or source is not the three colour planes of media.
    bool processInto(IGDataMemoryManager* source, byte* const planes[3], MediaDefinition* media);

    // True when processCopy can take source and target (plain buffers of
    // the three colour planes of media, the same size).
    static bool canProcessCopy(IGDataMemoryManager* source, IGDataMemoryManager* target, MediaDefinition* media);
    // process(dataMgr, target, media) on target holding a copy of source,
    // with the copy and the packing made in one pass (same log line).
    bool processCopy(IGDataManager* dataMgr, IGDataMemoryManager* source, IGDataMemoryManager* target,
                     MediaDefinition* media);
};

// Expands the three colour planes of a panel from 7 bits per dot (as read
// from a 128-level panel download) to one byte per dot, in place.
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
