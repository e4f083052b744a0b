// One entry of an option map, in a singly linked list.
#pragma once

#include <memory>

#include "OptionsDefinition.h"

namespace tavgdi {

class MapNode {
public:
    // An unlinked node; the map links it.
    MapNode(TavGdiOptions::Keys key, int value);
    virtual ~MapNode();

    TavGdiOptions::Keys key;
    int value;
    std::unique_ptr<MapNode> next; // the rest of the list
};

} // namespace tavgdi
