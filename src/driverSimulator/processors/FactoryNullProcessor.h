// Processor factory of the images that need no processing: never a chain.
#pragma once

#include "processors/IFactoryGDProcessor.h"

namespace tavgdi {

class FactoryNullProcessor : public IFactoryGDProcessor {
public:
    FactoryNullProcessor();
    ~FactoryNullProcessor() override;

    std::unique_ptr<IGDataProcessor> build(IGDataOptions* options, ProcessorType type) override;
};

} // namespace tavgdi
