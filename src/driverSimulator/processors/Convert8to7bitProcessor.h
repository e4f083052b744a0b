// Packs the three colour planes of a panel to 7 bits per dot (128 levels),
// in place, before download.
#pragma once

#include "Windows.h"
#include "processors/GenericCompositeProcessor.h"

namespace tavgdi {

class Convert8to7bitProcessor : public GenericCompositeProcessor {
public:
    explicit Convert8to7bitProcessor(IGDataProcessor* parent);
    ~Convert8to7bitProcessor() override;

    // False, without running the rest of the chain, unless the buffer is
    // exactly the three colour planes of media.
    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) override;

    // Packs size bytes to their high 7 bits, most significant bit first, at
    // the start of the same buffer. Whole groups of eight dots take seven
    // bytes; a final partial group of r dots takes ceil(7r / 8) bytes, so the
    // packed data never reaches past the plane. Bytes after the packed data
    // keep their old values. Always true.
    static bool reduceBuffer(byte* buffer, dword size);
};

} // namespace tavgdi
