// Builds the invariant processor chain of a colour or a black panel.
#pragma once

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

    // A new chain owned by the caller, or null.
    virtual IGDInvariantProcessor* build(IGDataOptions* options, MediaDefinition* media, IProcessorType type) = 0;
    virtual ~IFactoryGDInvariantProcessor() {}
};

} // namespace tavgdi
