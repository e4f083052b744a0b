// Base of the invariant processor chain: each link measures a dot, passes it
// on to its parent and joins its own commands in front of the parent's text.
// Deleting the head of a chain deletes the whole chain.
#pragma once

#include <memory>

#include "face/IGDInvariantProcessor.h"

namespace tavgdi {

class GenericCompositeInvariantProcessor : public IGDInvariantProcessor {
public:
    // Size of the joined text area, terminator included: a joined text
    // keeps at most JoinedTextSize - 1 characters.
    static const int JoinedTextSize = 250;
    // Size of a link's own text area, terminator included.
    static const int OwnTextSize = 125;

    // Takes ownership of parent (may be null).
    explicit GenericCompositeInvariantProcessor(IGDInvariantProcessor* parent);
    ~GenericCompositeInvariantProcessor() override;

    // The parent's answer (true without a parent).
    bool isMeasureExact() override { return isMeasureExactNext(); }

    GenericCompositeInvariantProcessor(const GenericCompositeInvariantProcessor&) = delete;
    GenericCompositeInvariantProcessor& operator=(const GenericCompositeInvariantProcessor&) = delete;

protected:
    void updateInvariantByPixelNext(int w, int h, IPixel* pixel)
    {
        if (parent != nullptr)
            parent->updateInvariantByPixel(w, h, pixel);
    }
    void updateInvariantByColumnNext(int w, int h0, int count, const byte* y, const byte* m, const byte* c,
                                     ptrdiff_t step, IPixel* scratch)
    {
        if (parent != nullptr)
            parent->updateInvariantByColumn(w, h0, count, y, m, c, step, scratch);
    }
    void resetCountersNext();
    bool isMeasureExactNext() { return parent == nullptr || parent->isMeasureExact(); }
    // text followed by the parent's text; text itself without a parent;
    // null when text is null, the parent has no text or the join is too long.
    char* getInvariantNext(char* text);

    // Formats into an own text area of OwnTextSize characters; null when the
    // text would not fit (OwnTextSize - 1 characters at most) or fails.
    static char* formatOwn(char* output, const char* format, ...) __attribute__((format(printf, 2, 3)));

    std::unique_ptr<IGDInvariantProcessor> parent;
    char localoutput[JoinedTextSize];
};

} // namespace tavgdi
