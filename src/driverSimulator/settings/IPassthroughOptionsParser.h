// Splits a text of raw printer commands into commands with their printing
// position, priority and lifetime.
#pragma once

#include "Windows.h"
#include "pipeline/PrintingTags.h"

namespace tavgdi {

class IPassthroughOptionsParser {
public:
    // Takes a text of sz bytes (not copied: it must outlive the parser's use)
    // and rewinds. False for a null text or a size below 1.
    virtual bool begin(const char* option, int sz) = 0;
    // Parses the next entry; true when a command is available.
    virtual bool next() = 0;
    virtual PrintingTags::PrintingTagsType getPrintingTag() = 0;
    // First byte of the current command inside the text (not NUL-terminated),
    // or null when there is none.
    virtual const char* getCommand() = 0;
    virtual int getCommandSize() = 0;
    virtual word getPriority() = 0;
    // True: sent with every card; false: sent once.
    virtual bool getLifeTime() = 0;
    virtual ~IPassthroughOptionsParser() {}
};

} // namespace tavgdi
