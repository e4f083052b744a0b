// Shared pieces of the panel download commands: the panel letters, the digit
// count of a header field, the choice of header form for a card and the
// blank-panel test.
#pragma once

#include <cstddef>

#include "Windows.h"

namespace tavgdi {
class IGDataMemoryManager;
class MediaDefinition;
} // namespace tavgdi

namespace GraphicalConstants {

// 0 'y', 1 'm', 2 'c', 3 'k', 4 'o'; any other index gives 0.
char panelIndexToDescription(int index);
// The inverse: 'y' 0, 'm' 1, 'c' 2, 'k' 3, 'o' 4; any other letter gives 255.
int panelDescriptionToIndex(char description);

// Decimal digits of value (1 to 10).
unsigned Log10_32bit(unsigned value);

} // namespace GraphicalConstants

namespace tavgdi {
namespace PanelCommand {

// Header form of a panel download command.
enum DbCommandForm {
    StdForm = 0,     // ESC "Db;..."   : CR80 card at 300 x 300 dpi
    ExtForm = 1,     // ESC "Dbx;..."  : CR80 card at any other resolution
    ExtSizeForm = 2, // ESC "Dbxs;..." : any other card
};

DbCommandForm chooseForm(const MediaDefinition* media);

// The header of a panel's download command for media: ESC, the form's name,
// the panel letter and the level count, then for the longer forms the
// resolution and the card size, each field followed by ';'.
// headerLength: its length from the digits of each field;
// formatHeader: the header written into target (as snprintf, its length).
int headerLength(const MediaDefinition* media, int levels);
int formatHeader(const MediaDefinition* media, char panel, int levels, char* target, size_t capacity);

// True when the size bytes from offset are all 0; bytes beyond the buffer
// count as 0, and so does everything of a null manager.
bool isBlank(IGDataMemoryManager* mgr, dword offset, dword size);

// Copies size bytes from offset into target; what lies beyond the buffer is
// written as 0.
void copyOut(IGDataMemoryManager* mgr, dword offset, dword size, byte* target);

} // namespace PanelCommand
} // namespace tavgdi
