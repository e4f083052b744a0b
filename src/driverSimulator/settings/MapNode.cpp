#include "settings/MapNode.h"

namespace tavgdi {

MapNode::MapNode(TavGdiOptions::Keys key, int value) : key(key), value(value)
{
}

MapNode::~MapNode()
{
}

} // namespace tavgdi
