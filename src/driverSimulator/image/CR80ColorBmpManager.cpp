#include "image/CR80ColorBmpManager.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"
#include "image/IPixel.h"

namespace tavgdi {

CR80ColorBmpManager::CR80ColorBmpManager(IGDataMemoryManager* memMgr_, MediaDefinition* media_)
    : OrientedDataManager("CR80ColorBmpManager", memMgr_, media_)
{
}

bool CR80ColorBmpManager::locate(int W, int H, dword& index)
{
    int w = 0, h = 0;
    GraphicalConstants::orientationTransform(orientation, &w, &h, W, H, cardWidth, cardHeight);
    if (w < 0 || h < 0 || w >= cardWidth || h >= cardHeight)
        return false;
    // Fits: 3 x cardWidth x cardHeight is a colour data size of 32 bits.
    index = (static_cast<dword>(w) + static_cast<dword>(cardWidth) * static_cast<dword>(h)) * 3;
    return true;
}

void CR80ColorBmpManager::setPixel(int W, int H, IPixel* p)
{
    dword index = 0;
    if (p == nullptr || !locate(W, H, index))
        return;
    byte* buffer = memMgr->getBuffer(0);
    if (buffer == nullptr || static_cast<unsigned long long>(index) + 2 >= memMgr->getSize()) {
        memMgr->setByte(index, static_cast<byte>(255 - p->getY()));
        memMgr->setByte(index + 1, static_cast<byte>(255 - p->getM()));
        return;
    }
    buffer[index] = static_cast<byte>(255 - p->getY());
    buffer[index + 1] = static_cast<byte>(255 - p->getM());
    buffer[index + 2] = static_cast<byte>(255 - p->getC());
}

void CR80ColorBmpManager::getPixel(int W, int H, IPixel* p)
{
    dword index = 0;
    if (p == nullptr || !locate(W, H, index))
        return;
    const byte* buffer = memMgr->getBuffer(0);
    if (buffer == nullptr || static_cast<unsigned long long>(index) + 2 >= memMgr->getSize()) {
        // Bytes beyond the buffer read as 0.
        p->set(static_cast<byte>(255 - memMgr->getByte(index)), static_cast<byte>(255 - memMgr->getByte(index + 1)),
               255);
        return;
    }
    p->set(static_cast<byte>(255 - buffer[index]), static_cast<byte>(255 - buffer[index + 1]),
           static_cast<byte>(255 - buffer[index + 2]));
}

bool CR80ColorBmpManager::newRaster(MediaDefinition* m, bool fullBlack)
{
    if (m != nullptr)
        media = m;
    if (memMgr == nullptr || media == nullptr)
        return false;
    setOrientation(orientation, media);
    return allocateBuffer(media->getColorDataSize(), fullBlack ? 0 : 255);
}

} // namespace tavgdi
