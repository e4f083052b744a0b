#include "processors/RGBToGrayProcessor.h"

#include <typeinfo>

#include "InternalLog.h"
#include "Windows.h"
#include "image/CR80ColorBmpManager.h"
#include "image/ColorPixel.h"
#include "image/GDMemoryManager.h"
#include "image/IGDataManager.h"

namespace tavgdi {

RGBToGrayProcessor::RGBToGrayProcessor(IGDataProcessor* parent) : GenericCompositeProcessor(parent)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +RGBToGrayProcessor (%lx)\r\n", LOGPTR(this));
}

RGBToGrayProcessor::~RGBToGrayProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -RGBToGrayProcessor (%lx)\r\n", LOGPTR(this));
}

bool RGBToGrayProcessor::convertBitmap(IGDataManager* dataMgr)
{
    // The loops below visit every stored dot once, and each dot's gray
    // depends on that dot alone: a 24-bit bitmap held whole in a plain
    // memory manager is converted in storage order instead.
    if (typeid(*dataMgr) != typeid(CR80ColorBmpManager))
        return false;
    IGDataMemoryManager* mem = static_cast<CR80ColorBmpManager*>(dataMgr)->getMemoryManager();
    if (mem == nullptr || typeid(*mem) != typeid(GDMemoryManager))
        return false;
    const unsigned long long dots =
        static_cast<unsigned long long>(dataMgr->getWidth()) * static_cast<unsigned long long>(dataMgr->getHeight());
    byte* bytes = mem->getBuffer(0);
    if (bytes == nullptr || 3 * dots > mem->getSize())
        return false;
    for (unsigned long long i = 0; i < dots; ++i, bytes += 3) {
        // Stored bytes are 255 minus the ink: blue Y, green M, red C.
        const int ink = ((255 - bytes[2]) + (255 - bytes[1]) + (255 - bytes[0])) / 3;
        const byte stored = static_cast<byte>(255 - ink);
        bytes[0] = bytes[1] = bytes[2] = stored;
    }
    return true;
}

bool RGBToGrayProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][RGBToGrayProcessor::process]\r\n");
    if (dataMgr == nullptr)
        return false;
    ColorPixel pixel(0, 0, 0);
    if (convertBitmap(dataMgr))
        return processNext(true, dataMgr, memMgr, media);
    // Both loops run over card coordinates: in the portrait orientations the
    // stored width is the card height.
    const GraphicalConstants::CardOrientation o = dataMgr->getOrientation();
    const bool portrait = o == GraphicalConstants::Portrait || o == GraphicalConstants::PortraitFlip;
    const int outer = static_cast<int>(portrait ? dataMgr->getHeight() : dataMgr->getWidth());
    const int inner = static_cast<int>(portrait ? dataMgr->getWidth() : dataMgr->getHeight());
    for (int a = 0; a < outer; ++a) {
        for (int b = 0; b < inner; ++b) {
            dataMgr->getPixel(a, b, &pixel);
            const byte g = static_cast<byte>((static_cast<int>(pixel.c) + pixel.m + pixel.y) / 3);
            pixel.set(g, g, g);
            dataMgr->setPixel(a, b, &pixel);
        }
    }
    return processNext(true, dataMgr, memMgr, media);
}

} // namespace tavgdi
