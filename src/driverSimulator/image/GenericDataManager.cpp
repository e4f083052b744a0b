#include "image/GenericDataManager.h"

#include "Exceptions/NullException.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

GenericDataManager::GenericDataManager(const char* name_, IGDataMemoryManager* memMgr_, MediaDefinition* media_)
    : memMgr(memMgr_), media(media_), orientation(GraphicalConstants::Landscape), name(name_)
{
    if (memMgr == nullptr)
        throw NullException("[GenericDataManager::GenericDataManager] Null IGDataMemoryManager");
    if (media == nullptr)
        throw NullException("[GenericDataManager::GenericDataManager] Null MediaDefinition");
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +%s (%lx) \tDependancy: IGDataMemoryManager(%lx), "
                       L"MediaDefinition(%lx)\r\n",
                       name, LOGPTR(this), LOGPTR(memMgr), LOGPTR(media));
}

GenericDataManager::~GenericDataManager()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -%s (%lx)\r\n", name, LOGPTR(this));
}

bool GenericDataManager::areValidCoordinates(int a, int b)
{
    return memMgr != nullptr && a >= 0 && static_cast<dword>(a) < getWidth() && b >= 0 &&
           static_cast<dword>(b) < getHeight();
}

bool GenericDataManager::allocateBuffer(dword size, byte value)
{
    if (memMgr == nullptr)
        return false;
    if (size > 0x7FFFFFFFu) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][GenericDataManager::allocateBuffer] WARNING - size too large "
                           L"(ptr:%lx, sz:%lu)\r\n",
                           LOGPTR(this), (unsigned long)size);
        memMgr->allocate(0, value);
        return false;
    }
    return memMgr->allocate(static_cast<int>(size), value);
}

OrientedDataManager::OrientedDataManager(const char* name_, IGDataMemoryManager* memMgr_, MediaDefinition* media_)
    : GenericDataManager(name_, memMgr_, media_), cardWidth(static_cast<int>(media_->getWidth())),
      cardHeight(static_cast<int>(media_->getHeight()))
{
}

void OrientedDataManager::setOrientation(GraphicalConstants::CardOrientation o, MediaDefinition* m)
{
    orientation = o;
    if (m != nullptr)
        media = m;
    const bool portrait = o == GraphicalConstants::Portrait || o == GraphicalConstants::PortraitFlip;
    cardWidth = static_cast<int>(portrait ? media->getHeight() : media->getWidth());
    cardHeight = static_cast<int>(portrait ? media->getWidth() : media->getHeight());
}

} // namespace tavgdi
