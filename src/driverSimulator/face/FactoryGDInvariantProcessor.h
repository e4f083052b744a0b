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
    std::unique_ptr<IGDInvariantProcessor> build(IGDataOptions* options, MediaDefinition* media,
                                                 IProcessorType type) override;

protected:
    std::unique_ptr<IGDInvariantProcessor> colorBuild(IGDataOptions* options, MediaDefinition* media);
    std::unique_ptr<IGDInvariantProcessor> monoBuild(IGDataOptions* options, MediaDefinition* media);
};

} // namespace tavgdi
