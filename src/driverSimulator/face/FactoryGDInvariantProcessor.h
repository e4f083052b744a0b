// Builds invariant chains: for the colour panels overlay shift -> colour
// shift -> short panel shift -> ink usage; for the black panel its shift.
#pragma once

#include "face/IFactoryGDInvariantProcessor.h"

namespace tavgdi {

class FactoryGDInvariantProcessor : public IFactoryGDInvariantProcessor {
public:
    FactoryGDInvariantProcessor();
    ~FactoryGDInvariantProcessor() override;

    // colorProcessor and monoProcessor chains; null for any other type or
    // a null options/media.
    IGDInvariantProcessor* build(IGDataOptions* options, MediaDefinition* media, IProcessorType type) override;

protected:
    IGDInvariantProcessor* colorBuild(IGDataOptions* options, MediaDefinition* media);
    IGDInvariantProcessor* monoBuild(IGDataOptions* options, MediaDefinition* media);
};

} // namespace tavgdi
