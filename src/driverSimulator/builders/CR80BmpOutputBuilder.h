// A bitmap image (24-bit colour or gray, or 1-bit) as a complete Windows
// bitmap file in two items: the headers (with the colour table of a 1-bit
// picture), then the pixel array, bottom row first.
#pragma once

#include "GlobalFactory.h"
#include "Windows.h"
#include "builders/OutputBuilderBase.h"

namespace tavgdi {

class IGDataOptions;
class IGDataMemoryManager;
class IGDataManager;
class MediaDefinition;

class CR80BmpOutputBuilder : public OutputBuilderBase {
public:
    // Colour table of a 1-bit picture: entry 0 black, entry 1 white.
    static const byte monoPixelDef[];
    static const int monoPixelDefSize = 8;
    static const dword ColorHeaderSize = 54;
    static const dword MonoHeaderSize = ColorHeaderSize + monoPixelDefSize;
    // Stored in both resolution fields as the number itself.
    static const dword BmpResolution = 300;

    CR80BmpOutputBuilder(TavFactory::SupervisorType type, IGDataOptions* options, IGDataMemoryManager* memMgr,
                         IGDataManager* dataMgr, MediaDefinition* media);

    // Runs the output chain on the private copy of the image (the 1-bit row
    // padding) and checks that the pixel array matches the picture size.
    bool init(IGDataProcessor* processor) override;
    // First call: the headers; second call: the pixel array; then null.
    byte* getBuffer() override;
    dword getSize() override;
    bool next() override;

    // Allocates and fills the header block of the file (54 bytes for colour,
    // 62 for 1 bit); false when a manager is missing or nothing is allocated.
    static bool getBmpHeader(bool isColor, IGDataManager* dataMgr, IGDataMemoryManager* memMgr, byte** buffer,
                             dword* size);

private:
    // Bytes of a stored row of the file for the data manager's width.
    unsigned long long fileRowLength() const;
    // Pads 24-bit rows to 4 bytes when the width needs it.
    bool padColorRows();

    IGDataManager* dataMgr;
    dword size;
    int headerStep;
    bool isColor;
    MediaDefinition* media;
};

} // namespace tavgdi
