#include "settings/MapNode.h"

namespace tavgdi {

MapNode::MapNode(TavGdiOptions::Keys key, int value, MapNode* previous)
    : key(key), value(value), next(nullptr)
{
    if (previous != nullptr)
        previous->next = this;
}

MapNode::~MapNode() {}

} // namespace tavgdi
