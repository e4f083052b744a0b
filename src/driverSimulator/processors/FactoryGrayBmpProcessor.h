// Processor factory of gray bitmaps: the gray conversion on the input side.
#pragma once

#include "processors/IFactoryGDProcessor.h"

namespace tavgdi {

class FactoryGrayBmpProcessor : public IFactoryGDProcessor {
public:
    FactoryGrayBmpProcessor();
    ~FactoryGrayBmpProcessor() override;

    std::unique_ptr<IGDataProcessor> build(IGDataOptions* options, ProcessorType type) override;
};

} // namespace tavgdi
