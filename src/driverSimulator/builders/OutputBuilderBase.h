// What the CR80 output builders share: their state, the private copy of the
// image they send from, the command buffer and the lines their destruction
// writes. A builder whose items are all its output announces its item size
// as the output size.
#pragma once

#include <memory>

#include "Windows.h"
#include "builders/IGDataOutputBuilder.h"

namespace tavgdi {

class IGDataMemoryManager;

class OutputBuilderBase : public IGDataOutputBuilder {
public:
    ~OutputBuilderBase() override;

    OutputBuilderBase(const OutputBuilderBase&) = delete;
    OutputBuilderBase& operator=(const OutputBuilderBase&) = delete;

    dword getOutputSize() override { return getSize(); }
    // The builder itself: no copy is made.
    IGDataOutputBuilder* clone() override { return this; }

    BuilderStates getState() const { return state; }

protected:
    // name: the concrete builder's, for its lifeline lines.
    explicit OutputBuilderBase(const char* name);

    BuilderStates state = constructionDone;
    std::unique_ptr<IGDataMemoryManager> memMgr;
    byte* buffer = nullptr;

private:
    const char* name;
};

} // namespace tavgdi
