// Processor factory of one-bit bitmaps: the row padding on the output side.
#pragma once

#include "processors/IFactoryGDProcessor.h"

namespace tavgdi {

class FactoryCR80BmpMonoProcessor : public IFactoryGDProcessor {
public:
    FactoryCR80BmpMonoProcessor();
    ~FactoryCR80BmpMonoProcessor() override;

    std::unique_ptr<IGDataProcessor> build(IGDataOptions* options, ProcessorType type) override;
};

} // namespace tavgdi
