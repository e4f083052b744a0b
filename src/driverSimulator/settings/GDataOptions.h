// The option map as a singly linked list of MapNode in insertion order.
// Keys are unique; a map holds at most the 66 usable keys, so every
// operation is a plain walk from the head.
#pragma once

#include "settings/IGDataOptions.h"
#include "settings/MapNode.h"

namespace tavgdi {

class GDataOptions : public IGDataOptions {
public:
    GDataOptions();
    virtual ~GDataOptions();

    virtual void cleanUp();
    virtual bool setOption(TavGdiOptions::Keys key, int value);
    virtual int getOption(TavGdiOptions::Keys key);
    virtual void removeOption(TavGdiOptions::Keys key);
    virtual IGDataOptions* clone();

    // Adds a node at the tail without looking for the key; false when the
    // node could not be allocated.
    bool appendMapValue(TavGdiOptions::Keys key, int value);

    // Read-only view of the entries, for dumps: head and tail, null when empty.
    const MapNode* getFirst() const { return first.get(); }
    const MapNode* getLast() const { return last; }

protected:
    std::unique_ptr<MapNode> first; // head (owning the list), null when empty
    MapNode* last;                  // tail, null when empty

private:
    GDataOptions(const GDataOptions&);
    GDataOptions& operator=(const GDataOptions&);
};

} // namespace tavgdi
