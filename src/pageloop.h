// The filter entry and its page loop: every raster page is one card face,
// turned into a bottom-up 24-bit bitmap and handed to the driver adapter.
#pragma once

#include <cups/raster.h>
#include <string>

#include "Windows.h"
#include "input/PageBounds.h"

namespace tavgdi {
class MediaDefinition;
}

// Largest face buffer the filter accepts from a raster header, and largest
// page as a multiple of the card's dots (input/PageBounds.h).
const unsigned long long MaxFaceBufferBytes = tavgdi::PageBounds::MaxFaceBufferBytes;
const unsigned long long MaxPageToCardRatio = tavgdi::PageBounds::MaxPageToCardRatio;

// Output callback of the pipeline: writes the bytes to standard output. `obj`
// is the job's PDEVOBJ, whose device state holds the job's status reporter:
// a write that fails is told there and ends the writing for good.
dword fileWriter(void* obj, void* pBuffer, dword cbSize);

// What fillBitmap did: true when the page is in place, else false with why
// the page cannot be used, in words for the user ("cannot be read: ...").
struct FillResult {
    bool isFilled;
    std::string failure;
    explicit operator bool() const { return isFilled; }
};

// Reads the current page's pixels into a new bottom-up BGR bitmap whose rows
// are padded to a multiple of 4 bytes, and records it in pdevobj->pdevOEM.
// Refuses pages that are not 8-bit chunky RGB, or larger than
// MaxPageToCardRatio times `media`'s card (when given) or MaxFaceBufferBytes.
FillResult fillBitmap(cups_raster_t* ras, cups_page_header2_t* header, PDEVOBJ pdevobj, tavgdi::MediaDefinition* media);

void Setup();
void Shutdown();
void EndPage(cups_page_header2_t* header);

// The whole filter run; returns the process exit status: 0, or 1 when the
// printer stream could not be written.
int runFilter(int argc, char* argv[]);
