// Turns one image into the bytes the printer receives, as a short sequence
// of buffers fetched one by one.
#pragma once

#include "Windows.h"

namespace tavgdi {

class IGDataProcessor;

class IGDataOutputBuilder {
public:
    enum BuilderStates {
        constructionDone = 0,
        initDone = 1,
        iterationDone = 2,
        onError = 3,
    };

    // Runs the output processor chain and prepares the sizes.
    virtual bool init(IGDataProcessor* processor) = 0;
    // Bytes of the current item, owned by the builder, valid until the next call.
    virtual byte* getBuffer() = 0;
    // Bytes of the current item to send (0: nothing for this item).
    virtual dword getSize() = 0;
    // Total of all items.
    virtual dword getOutputSize() = 0;
    // Moves to the next item; false when there is none.
    virtual bool next() = 0;
    virtual IGDataOutputBuilder* clone() = 0;
    virtual ~IGDataOutputBuilder() {}
};

} // namespace tavgdi
