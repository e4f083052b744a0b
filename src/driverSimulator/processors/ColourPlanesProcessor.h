// A link that converts the three colour planes of a panel in place, one
// plane at a time, by a conversion of its own (the 7-bit packing and its
// inverse).
#pragma once

#include "Windows.h"
#include "processors/GenericCompositeProcessor.h"

namespace tavgdi {

class ColourPlanesProcessor : public GenericCompositeProcessor {
public:
    ~ColourPlanesProcessor() override;

    // False, without running the rest of the chain, unless the buffer is
    // exactly the three colour planes of media. Every plane is converted
    // even when one of them fails.
    bool process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media) override;

protected:
    // convert(plane, size): false when the plane could not be converted.
    ColourPlanesProcessor(const char* name, bool (*convert)(byte*, dword), IGDataProcessor* parent);

    // The line process() begins with.
    void logProcess() const;

private:
    const char* name;
    bool (*convert)(byte*, dword);
};

} // namespace tavgdi
