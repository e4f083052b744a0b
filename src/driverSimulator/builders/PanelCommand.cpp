#include "builders/PanelCommand.h"

#include <cstdio>
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

int headerLength(const MediaDefinition* media, int levels)
{
    using GraphicalConstants::Log10_32bit;
    const unsigned levelDigits = Log10_32bit(static_cast<unsigned>(levels));
    switch (chooseForm(media)) {
    case StdForm:
        return static_cast<int>(7 + levelDigits);
    case ExtForm:
        return static_cast<int>(10 + levelDigits + Log10_32bit(media->getDpiX()) + Log10_32bit(media->getDpiY()));
    default:
        return static_cast<int>(13 + levelDigits + Log10_32bit(media->getDpiX()) + Log10_32bit(media->getDpiY()) +
                                Log10_32bit(media->getCRWidth()) + Log10_32bit(media->getCRHeight()));
    }
}

int formatHeader(const MediaDefinition* media, char panel, int levels, char* target, size_t capacity)
{
    const int dpiX = static_cast<int>(media->getDpiX()), dpiY = static_cast<int>(media->getDpiY());
    switch (chooseForm(media)) {
    case StdForm:
        return snprintf(target, capacity,
                        "\x1b"
                        "Db;%c;%d;",
                        panel, levels);
    case ExtForm:
        return snprintf(target, capacity,
                        "\x1b"
                        "Dbx;%c;%d;%d;%d;",
                        panel, levels, dpiX, dpiY);
    default:
        return snprintf(target, capacity,
                        "\x1b"
                        "Dbxs;%c;%d;%d;%d;%d;%d;",
                        panel, levels, dpiX, dpiY, static_cast<int>(media->getCRWidth()),
                        static_cast<int>(media->getCRHeight()));
    }
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
