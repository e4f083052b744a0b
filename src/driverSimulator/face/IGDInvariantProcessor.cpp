#include "face/IGDInvariantProcessor.h"

#include "image/IPixel.h"

namespace tavgdi {

void IGDInvariantProcessor::updateInvariantByColumn(int w, int h0, int count, const byte* y, const byte* m,
                                                    const byte* c, ptrdiff_t step, IPixel* scratch)
{
    for (int i = 0; i < count; ++i) {
        const ptrdiff_t at = i * step;
        if (scratch != nullptr)
            scratch->set(y[at], m[at], c[at]);
        updateInvariantByPixel(w, h0 + i, scratch);
    }
}

} // namespace tavgdi
