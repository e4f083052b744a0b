// Builds the processor chain of one supervisor type for its input side
// (after an image was filled) or its output side (before download).
#pragma once

#include <memory>

namespace tavgdi {

class IGDataOptions;
class IGDataProcessor;

class IFactoryGDProcessor {
public:
    enum ProcessorType {
        inputProcessor = 0,
        outputProcessor = 1,
        inOutProcessor = 2,
    };

    // A new chain, or null for none.
    virtual std::unique_ptr<IGDataProcessor> build(IGDataOptions* options, ProcessorType type) = 0;
    virtual ~IFactoryGDProcessor() {}
};

} // namespace tavgdi
