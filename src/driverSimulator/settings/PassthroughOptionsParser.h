// Grammar of the passthrough settings:
//   text     = entry { "|" entry }
//   entry    = [ "[" section [ "," priority [ "," lifetime ] ] "]" ] command
//   section  = DH DT CH CT FH FT BH BT (any case)
//   priority = decimal digits (low 16 bits kept), lifetime = A (always) or O (once)
// Blanks may stand between the parts; the command runs to the next "|" and
// loses its trailing blanks. The first bad or empty entry ends the parse.
#pragma once

#include "Windows.h"
#include "pipeline/PrintingTags.h"
#include "settings/IPassthroughOptionsParser.h"

namespace tavgdi {

class PassthroughOptionsParser : public IPassthroughOptionsParser {
public:
    static const char DefaultCmdSeparator = '|';
    static const char DefaultLocationStartChar = '[';
    static const char DefaultLocationEndChar = ']';
    static const char DefaultLocationSeparator = ',';

    // Longest section code and priority text read.
    static const int MaxSectionLength = 255;
    static const int MaxPriorityDigits = 255;

    PassthroughOptionsParser();
    PassthroughOptionsParser(char cmdSep, char locStart, char locEnd, char locSep);
    ~PassthroughOptionsParser() override;

    PassthroughOptionsParser(const PassthroughOptionsParser&) = delete;
    PassthroughOptionsParser& operator=(const PassthroughOptionsParser&) = delete;

    void setPunctuation(char cmdSep, char locStart, char locEnd, char locSep);

    bool begin(const char* option, int sz) override;
    bool next() override;
    PrintingTags::PrintingTagsType getPrintingTag() override;
    const char* getCommand() override;
    int getCommandSize() override;
    word getPriority() override;
    bool getLifeTime() override;

    // Position of a section code (upper case, NUL-terminated); Unspecified
    // for any other text.
    static PrintingTags::PrintingTagsType parseTag(const char* section);

protected:
    bool parseLocation();
    bool parseSection();
    bool parsePriorityWeight();
    bool parseLifetime();
    void parseEscapeCommand();
    bool trimEscapeCommand();
    // Moves pos to the next non-blank byte; false when the text ends first.
    bool findNonBlankChar();
    // Step over the punctuation at pos (after blanks) when it is there.
    bool findLocationStartChar();
    bool findLocationEndChar();
    bool findLocationSeparator();
    bool isCommandSeparator(char c) const;
    bool isLocationStartChar(char c) const;
    bool isLocationEndChar(char c) const;
    bool isLocationSeparator(char c) const;
    bool isEndOfBuffer() const;

private:
    static bool isBlank(char c);

    const char* buffer;
    int bufferSize;
    int posStartCmd;
    int size;
    PrintingTags::PrintingTagsType tag;
    word priority;
    bool isEternal;
    int pos;
    char cmdSeparator;
    char locationStartChar;
    char locationEndChar;
    char locationSeparator;
};

} // namespace tavgdi
