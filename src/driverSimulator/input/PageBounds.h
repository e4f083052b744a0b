// The largest page a card face may come from. A page is rendered at the
// card's size; one far larger than the card is not a card, and fitting it
// would cost memory and time in proportion to what its header claims. Every
// front end (the filter's page loop, the printer application) checks a page
// here before allocating its face bitmap.
#pragma once

#include "Windows.h"

namespace tavgdi {

class MediaDefinition;

class PageBounds {
public:
    // Largest face bitmap accepted, in bytes.
    static const unsigned long long MaxFaceBufferBytes = 256ull << 20;
    // Largest page accepted, in dots, as a multiple of the card's dots at
    // the job's resolution (when the job's card is known).
    static const unsigned long long MaxPageToCardRatio = 4;

    enum Verdict { Fits, LargerThanCard, LargerThanBuffer };

    // Whether a page of width x height dots may become a face of `media`'s
    // card (null: no card known, only the buffer bound applies).
    static Verdict check(dword width, dword height, const MediaDefinition* media);

    // Bytes of one bottom-up BGR bitmap row: 3 per dot, padded to 4.
    static unsigned long long stride(dword width) { return (3ull * width + 3) & ~3ull; }

    virtual ~PageBounds() {}
};

} // namespace tavgdi
