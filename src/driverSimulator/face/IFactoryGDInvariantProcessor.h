// Builds the invariant processor chain of a colour or a black panel.
#pragma once

#include <memory>

namespace tavgdi {

class IGDataOptions;
class IGDInvariantProcessor;
class MediaDefinition;

class IFactoryGDInvariantProcessor {
public:
    enum IProcessorType {
        colorProcessor = 0,
        monoProcessor = 1,
        overlayProcessor = 2,
    };

    // A new chain, or null.
    virtual std::unique_ptr<IGDInvariantProcessor> build(IGDataOptions* options, MediaDefinition* media,
                                                         IProcessorType type) = 0;
    virtual ~IFactoryGDInvariantProcessor() {}
};

} // namespace tavgdi
