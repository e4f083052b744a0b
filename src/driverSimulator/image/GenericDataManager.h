// What every data manager shares: the borrowed memory manager and media, and
// the storage orientation.
#pragma once

#include "image/IGDataManager.h"

namespace tavgdi {

class IGDataMemoryManager;

class GenericDataManager : public IGDataManager {
public:
    // Both collaborators are borrowed; a null one throws NullException.
    // name: the concrete manager's, for its lifeline lines.
    GenericDataManager(const char* name, IGDataMemoryManager* memMgr, MediaDefinition* media);
    GenericDataManager(const GenericDataManager&) = delete;
    GenericDataManager& operator=(const GenericDataManager&) = delete;
    ~GenericDataManager() override;

    GraphicalConstants::CardOrientation getOrientation() override { return orientation; }
    MediaDefinition* getMedia() override { return media; }
    bool areValidCoordinates(int a, int b) override;
    // No copy is made: the manager itself is returned.
    IGDataManager* clone() override { return this; }
    // The borrowed memory manager holding the dots.
    IGDataMemoryManager* getMemoryManager() const { return memMgr; }

protected:
    // memMgr->allocate for a dword size; a size beyond allocate's int range
    // empties the manager and fails instead of wrapping round.
    bool allocateBuffer(dword size, byte value);

    IGDataMemoryManager* memMgr;
    MediaDefinition* media;
    GraphicalConstants::CardOrientation orientation;

private:
    const char* name;
};

// A data manager that stores the card turned as its orientation says: the
// portrait orientations swap the stored width and height.
class OrientedDataManager : public GenericDataManager {
public:
    OrientedDataManager(const char* name, IGDataMemoryManager* memMgr, MediaDefinition* media);

    void setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* media) override;
    dword getWidth() override { return static_cast<dword>(cardWidth); }
    dword getHeight() override { return static_cast<dword>(cardHeight); }

protected:
    int cardWidth;
    int cardHeight;
};

} // namespace tavgdi
