#include "settings/PassthroughOptionsParser.h"

#include <cctype>
#include <cstring>

#include "InternalLog.h"

namespace tavgdi {

PassthroughOptionsParser::PassthroughOptionsParser()
    : PassthroughOptionsParser(DefaultCmdSeparator, DefaultLocationStartChar, DefaultLocationEndChar,
                               DefaultLocationSeparator)
{
}

PassthroughOptionsParser::PassthroughOptionsParser(char cmdSep, char locStart, char locEnd, char locSep)
    : buffer(nullptr), bufferSize(0), posStartCmd(0), size(0), tag(PrintingTags::Unspecified), priority(0),
      isEternal(false), pos(0), cmdSeparator(cmdSep), locationStartChar(locStart), locationEndChar(locEnd),
      locationSeparator(locSep)
{
}

PassthroughOptionsParser::~PassthroughOptionsParser() = default;

void PassthroughOptionsParser::setPunctuation(char cmdSep, char locStart, char locEnd, char locSep)
{
    cmdSeparator = cmdSep;
    locationStartChar = locStart;
    locationEndChar = locEnd;
    locationSeparator = locSep;
}

bool PassthroughOptionsParser::begin(const char* option, int sz)
{
    posStartCmd = 0;
    size = 0;
    pos = 0;
    tag = PrintingTags::Unspecified;
    priority = 0;
    isEternal = false;

    if (option == nullptr || sz <= 0) {
        buffer = nullptr;
        bufferSize = 0;
        InternalLog::print(L"[TAVRIN UNIDRIVER][PassthroughOptionsParser::begin] Null or zero length input\r\n");
        return false;
    }
    buffer = option;
    bufferSize = sz;
    return true;
}

bool PassthroughOptionsParser::next()
{
    if (!parseLocation()) {
        // The parse is over: later calls find nothing either.
        size = 0;
        pos = bufferSize;
        InternalLog::print(L"[TAVRIN UNIDRIVER][PassthroughOptionsParser::next] End of parsing (location)\r\n");
        return false;
    }
    parseEscapeCommand();
    if (!trimEscapeCommand()) {
        pos = bufferSize;
        InternalLog::print(L"[TAVRIN UNIDRIVER][PassthroughOptionsParser::next] End of parsing (trim esc cmd)\r\n");
        return false;
    }
    return true;
}

PrintingTags::PrintingTagsType PassthroughOptionsParser::getPrintingTag()
{
    return tag;
}

const char* PassthroughOptionsParser::getCommand()
{
    if (size < 1 || buffer == nullptr)
        return nullptr;
    return buffer + posStartCmd;
}

int PassthroughOptionsParser::getCommandSize()
{
    return size;
}

word PassthroughOptionsParser::getPriority()
{
    return priority;
}

bool PassthroughOptionsParser::getLifeTime()
{
    return isEternal;
}

PrintingTags::PrintingTagsType PassthroughOptionsParser::parseTag(const char* section)
{
    static const struct {
        const char* code;
        PrintingTags::PrintingTagsType tag;
    } codes[] = {
        {"DH", PrintingTags::DocHead},      {"DT", PrintingTags::DocTail},       {"CH", PrintingTags::CardHead},
        {"CT", PrintingTags::CardTail},     {"FH", PrintingTags::FrontFaceHead}, {"FT", PrintingTags::FrontFaceTail},
        {"BH", PrintingTags::BackFaceHead}, {"BT", PrintingTags::BackFaceTail},
    };
    if (section == nullptr)
        return PrintingTags::Unspecified;
    for (const auto& c : codes) {
        if (std::strcmp(section, c.code) == 0)
            return c.tag;
    }
    return PrintingTags::Unspecified;
}

bool PassthroughOptionsParser::parseLocation()
{
    tag = PrintingTags::DocHead;
    priority = 0;
    isEternal = true;

    if (!findLocationStartChar())
        return true; // no location: the defaults stay

    if (!parseSection())
        return false;
    if (findLocationSeparator()) {
        if (!parsePriorityWeight())
            return false;
        if (findLocationSeparator() && !parseLifetime())
            return false;
    }
    return findLocationEndChar();
}

bool PassthroughOptionsParser::parseSection()
{
    if (!findNonBlankChar())
        return false;

    char section[MaxSectionLength + 2];
    int count = 0;
    while (!isEndOfBuffer() && count <= MaxSectionLength && std::isalpha(static_cast<unsigned char>(buffer[pos]))) {
        section[count++] = static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[pos])));
        ++pos;
    }
    if (isEndOfBuffer() || count > MaxSectionLength)
        return false;
    section[count] = '\0';

    tag = parseTag(section);
    return tag != PrintingTags::Unspecified;
}

bool PassthroughOptionsParser::parsePriorityWeight()
{
    if (!findNonBlankChar())
        return false;

    // Only the low 16 bits are kept, so the value is taken modulo 65536 as
    // the digits come: any number of digits gives a defined result.
    dword value = 0;
    int count = 0;
    while (!isEndOfBuffer() && count <= MaxPriorityDigits && std::isdigit(static_cast<unsigned char>(buffer[pos]))) {
        value = (value * 10u + static_cast<dword>(buffer[pos] - '0')) & 0xFFFFu;
        ++count;
        ++pos;
    }
    if (isEndOfBuffer() || count > MaxPriorityDigits)
        return false;

    priority = static_cast<word>(value);
    return true;
}

bool PassthroughOptionsParser::parseLifetime()
{
    if (!findNonBlankChar())
        return false;

    const char c = buffer[pos++];
    switch (c) {
    case 'A':
    case 'a':
        isEternal = true;
        return true;
    case 'O':
    case 'o':
        isEternal = false;
        return true;
    default:
        return false;
    }
}

void PassthroughOptionsParser::parseEscapeCommand()
{
    size = 0;
    if (!findNonBlankChar())
        return;

    posStartCmd = pos;
    while (!isEndOfBuffer()) {
        if (isCommandSeparator(buffer[pos])) {
            ++pos;
            break;
        }
        ++size;
        ++pos;
    }
}

bool PassthroughOptionsParser::trimEscapeCommand()
{
    while (size >= 1 && isBlank(buffer[posStartCmd + size - 1]))
        --size;
    return size >= 1;
}

bool PassthroughOptionsParser::findNonBlankChar()
{
    while (!isEndOfBuffer() && isBlank(buffer[pos]))
        ++pos;
    return !isEndOfBuffer();
}

bool PassthroughOptionsParser::findLocationStartChar()
{
    if (!findNonBlankChar() || !isLocationStartChar(buffer[pos]))
        return false;
    ++pos;
    return true;
}

bool PassthroughOptionsParser::findLocationEndChar()
{
    if (!findNonBlankChar() || !isLocationEndChar(buffer[pos]))
        return false;
    ++pos;
    return true;
}

bool PassthroughOptionsParser::findLocationSeparator()
{
    if (!findNonBlankChar() || !isLocationSeparator(buffer[pos]))
        return false;
    ++pos;
    return true;
}

bool PassthroughOptionsParser::isCommandSeparator(char c) const
{
    return c == cmdSeparator;
}

bool PassthroughOptionsParser::isLocationStartChar(char c) const
{
    return c == locationStartChar;
}

bool PassthroughOptionsParser::isLocationEndChar(char c) const
{
    return c == locationEndChar;
}

bool PassthroughOptionsParser::isLocationSeparator(char c) const
{
    return c == locationSeparator;
}

bool PassthroughOptionsParser::isEndOfBuffer() const
{
    return buffer == nullptr || pos >= bufferSize;
}

bool PassthroughOptionsParser::isBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace tavgdi
