#include "image/CR80YMCManager.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"
#include "image/IPixel.h"

namespace tavgdi {

CR80YMCManager::CR80YMCManager(IGDataMemoryManager* memMgr_, MediaDefinition* media_)
    : GenericDataManager("CR80YMCManager", memMgr_, media_)
{
}

void CR80YMCManager::setOrientation(GraphicalConstants::CardOrientation o, MediaDefinition* m)
{
    orientation = o;
    if (m != nullptr)
        media = m;
}

dword CR80YMCManager::getWidth()
{
    return media->getHeight();
}

dword CR80YMCManager::getHeight()
{
    return media->getWidth();
}

bool CR80YMCManager::locate(int W, int H, dword& index, dword& area)
{
    const dword columnLength = media->getHeight();
    if (W < 0 || H < 0 || static_cast<dword>(H) >= columnLength || static_cast<dword>(W) >= media->getWidth())
        return false;
    area = media->getArea();
    index = static_cast<dword>(W) * columnLength + static_cast<dword>(H);
    return true;
}

void CR80YMCManager::setPixel(int W, int H, IPixel* p)
{
    dword index = 0, area = 0;
    if (p == nullptr || !locate(W, H, index, area))
        return;
    byte* buffer = memMgr->getBuffer(0);
    // A buffer that is not (yet) the three planes of this media takes only
    // the bytes it has.
    if (buffer != nullptr && static_cast<unsigned long long>(index) + 2ull * area < memMgr->getSize()) {
        buffer[index] = p->getY();
        buffer[index + area] = p->getM();
        buffer[index + 2 * area] = p->getC();
        return;
    }
    memMgr->setByte(index, p->getY());
    if (index + static_cast<unsigned long long>(area) <= 0xFFFFFFFFull)
        memMgr->setByte(index + area, p->getM());
    if (index + 2ull * area <= 0xFFFFFFFFull)
        memMgr->setByte(index + 2 * area, p->getC());
}

void CR80YMCManager::getPixel(int W, int H, IPixel* p)
{
    dword index = 0, area = 0;
    if (p == nullptr || !locate(W, H, index, area))
        return;
    const byte* buffer = memMgr->getBuffer(0);
    if (buffer != nullptr && static_cast<unsigned long long>(index) + 2ull * area < memMgr->getSize()) {
        p->set(buffer[index], buffer[index + area], buffer[index + 2 * area]);
        return;
    }
    // Bytes beyond the buffer read as 0 (no ink).
    const byte y = memMgr->getByte(index);
    const byte m = index + static_cast<unsigned long long>(area) <= 0xFFFFFFFFull ? memMgr->getByte(index + area) : 0;
    const byte c = index + 2ull * area <= 0xFFFFFFFFull ? memMgr->getByte(index + 2 * area) : 0;
    p->set(y, m, c);
}

bool CR80YMCManager::newRaster(MediaDefinition* m, bool fullBlack)
{
    if (m != nullptr)
        media = m;
    if (memMgr == nullptr || media == nullptr)
        return false;
    return allocateBuffer(media->getColorDataSize(), fullBlack ? 255 : 0);
}

} // namespace tavgdi
