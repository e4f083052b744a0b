// Reads a stream of panel download commands (ESC "Db", "Dbx", "Dbxs") back
// into memory managers: the yellow, magenta and cyan panels into one colour
// buffer, the black panel and the overlay panel into their own. The scan
// ends at the end of the face (ESC "Se" or "Sv"), at the end of the stream
// or at the first download it cannot take.
#pragma once

#include <cstdio>

#include "input/IGDataParser.h"

namespace tavgdi {

class IGDataMemoryManager;

class CR80DBParser : public IGDataParser {
public:
    // Data formats of a colour download.
    static const int Format7bit = 7;
    static const int Format8bit = 8;

    CR80DBParser(IGDataMemoryManager* mgrYMC, IGDataMemoryManager* mgrK, IGDataMemoryManager* mgrO);
    ~CR80DBParser() override;

    bool parse(const char* filename, IGDataOptions* options, MediaDefinition* media) override;
    bool parse(FILE* file, IGDataOptions* options, MediaDefinition* media) override;
    // Panel downloads are only read from files: always false.
    bool parse(byte* buffer, dword size, dword width, dword height, bool isColorDevice, IGDataOptions* options,
               MediaDefinition* media) override;
    dword getHeight() override;
    dword getWidth() override;
    GraphicalConstants::CardOrientation getCardOrientation() override { return GraphicalConstants::Landscape; }
    // The end of the stream is not an error.
    bool isOnError() override { return state != GDParser_ok && state != GDParser_eof; }
    bool isDataAvailable() override { return isDataParsed; }

    GDParserStates getState() const { return state; }
    dword getParsedSize() const { return parsedSize; }

private:
    CR80DBParser(const CR80DBParser&) = delete;
    CR80DBParser& operator=(const CR80DBParser&) = delete;

    // Moves to just after the next "Db"; false at the end of the face or of
    // the stream, or once the state is not ok.
    bool findDb();
    void parseDbContent();
    bool parseDbHeader(char& letter, int& format);
    // Reads one decimal number ending in ';' into value.
    bool parseInt(dword& value);
    dword getPanelSize(char letter, int format);
    bool loadColorDb(char letter, dword size, int format);
    bool loadMonochromeDb(char letter, dword size);
    // Reads size bytes into target and the carriage return after them.
    bool readPanel(byte* target, dword size);
    bool skipPanel(dword size);
    // False when the stream is known to end before size more bytes (a
    // stream whose length cannot be learnt always answers true).
    bool streamHolds(dword size);

    dword parsedSize;
    FILE* fp;
    IGDataMemoryManager* mgrYMC;
    IGDataMemoryManager* mgrK;
    IGDataMemoryManager* mgrO;
    IGDataOptions* options;
    GDParserStates state;
    bool isExtDb;
    MediaDefinition* media;
    bool IsYmcAllocationDone;
    bool isDataParsed;
    // Geometry and format of the colour reservation of this parse.
    dword ymcArea;
    int ymcFormat;
};

} // namespace tavgdi
