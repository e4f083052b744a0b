#include "image/CR80MonoDataManager.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"
#include "image/IPixel.h"

namespace tavgdi {

CR80MonoDataManager::CR80MonoDataManager(TavFactory::SupervisorType type, IGDataMemoryManager* memMgr_,
                                         MediaDefinition* media_)
    : OrientedDataManager("CR80MonoDataManager", memMgr_, media_), cardRWidth(0), whiteValue(0)
{
    const bool isBitmap = type == TavFactory::BmpMonochromeSupervisor;
    setOrientation(isBitmap ? GraphicalConstants::Landscape : GraphicalConstants::Portrait, media);
    whiteValue = isBitmap ? 255 : 0;
}

void CR80MonoDataManager::setOrientation(GraphicalConstants::CardOrientation o, MediaDefinition* m)
{
    OrientedDataManager::setOrientation(o, m);
    cardRWidth = cardWidth / 8;
}

void CR80MonoDataManager::setPixel(int W, int H, IPixel* p)
{
    if (p == nullptr)
        return;
    int w = 0, h = 0;
    GraphicalConstants::orientationTransform(orientation, &w, &h, W, H, cardWidth, cardHeight);
    if (w < 0 || h < 0 || (w >> 3) >= cardRWidth || h >= cardHeight)
        return;
    byte* target =
        memMgr->getBuffer(static_cast<dword>(w >> 3) + static_cast<dword>(cardRWidth) * static_cast<dword>(h));
    if (target == nullptr)
        return;
    const byte mask = static_cast<byte>(0x80u >> (w & 7));
    // The bit is 1 for ink on a panel (white 0) and 1 for white on a bitmap.
    if (p->isBlack() == (whiteValue == 0))
        *target = static_cast<byte>(*target | mask);
    else
        *target = static_cast<byte>(*target & ~mask);
}

void CR80MonoDataManager::getPixel(int W, int H, IPixel* p)
{
    if (p == nullptr)
        return;
    int w = 0, h = 0;
    GraphicalConstants::orientationTransform(orientation, &w, &h, W, H, cardWidth, cardHeight);
    if (w < 0 || h < 0 || (w >> 3) >= cardRWidth || h >= cardHeight) {
        p->set(false);
        return;
    }
    const byte* source =
        memMgr->getBuffer(static_cast<dword>(w >> 3) + static_cast<dword>(cardRWidth) * static_cast<dword>(h));
    // A byte beyond the buffer reads as 0.
    const bool bit = source != nullptr && (*source & (0x80u >> (w & 7))) != 0;
    p->set(bit == (whiteValue == 0));
}

bool CR80MonoDataManager::newRaster(MediaDefinition* m, bool fullBlack)
{
    if (m != nullptr)
        media = m;
    if (memMgr == nullptr || media == nullptr)
        return false;
    setOrientation(orientation, media);
    return allocateBuffer(media->getMonochromeDataSize(), fullBlack ? static_cast<byte>(255 - whiteValue) : whiteValue);
}

} // namespace tavgdi
