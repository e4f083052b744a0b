#include "builders/PanelCommand.h"

#include <cstring>

#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"

namespace GraphicalConstants {

char panelIndexToDescription(int index)
{
    static const char letters[] = {'y', 'm', 'c', 'k', 'o'};
    if (index < 0 || index >= static_cast<int>(sizeof(letters)))
        return 0;
    return letters[index];
}

int panelDescriptionToIndex(char description)
{
    for (int index = 0; panelIndexToDescription(index) != 0; ++index)
        if (panelIndexToDescription(index) == description)
            return index;
    return 255;
}

unsigned Log10_32bit(unsigned value)
{
    unsigned digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

} // namespace GraphicalConstants

namespace tavgdi {
namespace PanelCommand {

DbCommandForm chooseForm(const MediaDefinition* media)
{
    if (media->getCRWidth() != MediaDefinition::CR80Width || media->getCRHeight() != MediaDefinition::CR80Height)
        return ExtSizeForm;
    if (media->getDpiX() == MediaDefinition::StdDpi && media->getDpiY() == MediaDefinition::StdDpi)
        return StdForm;
    return ExtForm;
}

// Bytes of [offset, offset + size) that lie inside the buffer.
static dword available(IGDataMemoryManager* mgr, dword offset, dword size)
{
    if (mgr == nullptr)
        return 0;
    const dword total = mgr->getSize();
    if (offset >= total)
        return 0;
    const dword rest = total - offset;
    return size < rest ? size : rest;
}

bool isBlank(IGDataMemoryManager* mgr, dword offset, dword size)
{
    const dword inside = available(mgr, offset, size);
    if (inside == 0)
        return true;
    const byte* p = mgr->getBuffer(offset);
    if (p == nullptr)
        return true;
    for (dword i = 0; i < inside; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

void copyOut(IGDataMemoryManager* mgr, dword offset, dword size, byte* target)
{
    dword inside = available(mgr, offset, size);
    const byte* p = inside > 0 ? mgr->getBuffer(offset) : nullptr;
    if (p == nullptr)
        inside = 0;
    if (inside > 0)
        memcpy(target, p, inside);
    if (inside < size)
        memset(target + inside, 0, size - inside);
}

} // namespace PanelCommand
} // namespace tavgdi
