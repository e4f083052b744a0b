#include "processors/RGBToGrayProcessor.h"

#include "InternalLog.h"
#include "Windows.h"
#include "image/ColorPixel.h"
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

bool RGBToGrayProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][RGBToGrayProcessor::process]\r\n");
    if (dataMgr == nullptr)
        return false;
    // Both loops run over card coordinates: in the portrait orientations the
    // stored width is the card height.
    const GraphicalConstants::CardOrientation o = dataMgr->getOrientation();
    const bool portrait = o == GraphicalConstants::Portrait || o == GraphicalConstants::PortraitFlip;
    const int outer = static_cast<int>(portrait ? dataMgr->getHeight() : dataMgr->getWidth());
    const int inner = static_cast<int>(portrait ? dataMgr->getWidth() : dataMgr->getHeight());
    ColorPixel pixel(0, 0, 0);
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
