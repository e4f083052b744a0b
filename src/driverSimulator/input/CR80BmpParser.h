// Brings a bottom-up Windows bitmap (24-bit or 1-bit, in memory or in a
// file) into a memory manager, fitted to the card in landscape or portrait
// and rescaled when it does not have the card's size.
#pragma once

#include <cstdio>

#include "bmpdecl.h"
#include "input/IGDataParser.h"

namespace tavgdi {

class IGDataMemoryManager;

class CR80BmpParser : public IGDataParser {
public:
    // Largest pixel array accepted from a bitmap file.
    static const dword MaxImageSize = 256u * 1024u * 1024u;
    // Bytes of the file and info headers read as one block.
    static const dword HeaderBlockSize = 54;

    CR80BmpParser(IGDataMemoryManager* mgr, AlignmentOutputBuffer alignment);
    ~CR80BmpParser() override;

    bool parse(const char* filename, IGDataOptions* options, MediaDefinition* media) override;
    bool parse(FILE* file, IGDataOptions* options, MediaDefinition* media) override;
    bool parse(byte* buffer, dword size, dword width, dword height, bool isColorDevice, IGDataOptions* options,
               MediaDefinition* media) override;
    dword getHeight() override { return cardHeight; }
    dword getWidth() override { return cardWidth; }
    GraphicalConstants::CardOrientation getCardOrientation() override { return cardOrientation; }
    bool isOnError() override { return state != GDParser_ok; }
    bool isDataAvailable() override { return isDataParsed; }

    GDParserStates getState() const { return state; }

    // When set, a colour picture from memory that is already the card's
    // bitmap (its size, rows without padding) is not copied: a plain
    // memory manager takes the caller's buffer itself. Only for callers
    // whose buffer outlives the manager and whose image is never written.
    void setReadsInPlace(bool value) { isReadInPlace = value; }

private:
    CR80BmpParser(const CR80BmpParser&) = delete;
    CR80BmpParser& operator=(const CR80BmpParser&) = delete;

    GDParserStates readHeader(TAVBMPINFOHEADER* header);
    GDParserStates validateFormat(const TAVBMPINFOHEADER* header);
    byte* loadRaster(const TAVBMPINFOHEADER* header);
    // Nearest-neighbour rescale of the caller's picture; null on failure.
    byte* resize(byte* src, dword srcWidth, dword srcHeight, bool isColor, dword dstWidth, dword dstHeight);
    // Bytes of one stored row of a picture of this width.
    static unsigned long long rowLength(dword width, bool isColor);

    FILE* fp;
    GDParserStates state;
    bool isColorBmp;
    IGDataMemoryManager* mgr;
    GraphicalConstants::CardOrientation cardOrientation;
    dword cardWidth;
    dword cardHeight;
    bool isDataParsed;
    AlignmentOutputBuffer alignment;
    bool isReadInPlace;
};

} // namespace tavgdi
