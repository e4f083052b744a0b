// One entry of an option map, in a singly linked list.
#pragma once

#include "OptionsDefinition.h"

namespace tavgdi {

class MapNode {
public:
    // Links the new node after previous when one is given.
    MapNode(TavGdiOptions::Keys key, int value, MapNode* previous);
    virtual ~MapNode();

    TavGdiOptions::Keys key;
    int value;
    MapNode* next;
};

} // namespace tavgdi
