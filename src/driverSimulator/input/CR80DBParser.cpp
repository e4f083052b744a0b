#include "input/CR80DBParser.h"

#include <sys/types.h>

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "builders/PanelCommand.h"
#include "image/IGDataMemoryManager.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

namespace {

const int CarriageReturn = 13;
const dword Levels7bit = 128;
const dword Levels8bit = 256;
const dword LevelsMonochrome = 2;
// A number stops growing once it passes this value, so the longest accepted
// is four digits (2569).
const dword MaxNumberPrefix = 256;

inline bool isColorLetter(char letter)
{
    return letter == 'y' || letter == 'm' || letter == 'c';
}

} // namespace

CR80DBParser::CR80DBParser(IGDataMemoryManager* mgrYMC, IGDataMemoryManager* mgrK, IGDataMemoryManager* mgrO)
    : parsedSize(0), fp(nullptr), mgrYMC(mgrYMC), mgrK(mgrK), mgrO(mgrO), options(nullptr), state(GDParser_ok),
      isExtDb(false), media(nullptr), IsYmcAllocationDone(false), isDataParsed(false), ymcArea(0), ymcFormat(Format8bit)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +CR80DBParser (%lx) \tDependancy: "
                       L"IGDataMemoryManager(%lx), IGDataMemoryManager(%lx), IGDataMemoryManager(%lx)\r\n",
                       LOGPTR(this), LOGPTR(mgrYMC), LOGPTR(mgrK), LOGPTR(mgrO));
}

CR80DBParser::~CR80DBParser()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -CR80DBParser (%lx)\r\n", LOGPTR(this));
}

dword CR80DBParser::getWidth()
{
    return media != nullptr ? media->getWidth() : 0;
}

dword CR80DBParser::getHeight()
{
    return media != nullptr ? media->getHeight() : 0;
}

bool CR80DBParser::parse(const char* filename, IGDataOptions* opts, MediaDefinition* m)
{
    FILE* file = filename != nullptr ? fopen(filename, "rb") : nullptr;
    const bool result = parse(file, opts, m);
    if (file != nullptr)
        fclose(file);
    fp = nullptr;
    return result;
}

bool CR80DBParser::parse(byte*, dword, dword, dword, bool, IGDataOptions*, MediaDefinition*)
{
    state = GDParser_parsingerror;
    return false;
}

bool CR80DBParser::parse(FILE* file, IGDataOptions* opts, MediaDefinition* m)
{
    state = GDParser_ok;
    options = opts;
    media = m;
    IsYmcAllocationDone = false;
    isDataParsed = false;
    ymcArea = 0;
    ymcFormat = Format8bit;
    if (file == nullptr) {
        state = GDParser_ioerror;
        return false;
    }
    fp = file;
    if (media == nullptr) {
        state = GDParser_resolution_error;
        return false;
    }
    while (findDb())
        parseDbContent();
    return state == GDParser_ok;
}

bool CR80DBParser::findDb()
{
    if (state != GDParser_ok)
        return false;
    int previous = 0;
    for (;;) {
        const int current = getc(fp);
        if (current == EOF) {
            state = ferror(fp) ? GDParser_ioerror : GDParser_eof;
            return false;
        }
        if (previous == 'D' && current == 'b')
            return true;
        // ESC "Se" / ESC "Sv": the face is over.
        if (previous == 'S' && (current == 'e' || current == 'v'))
            return false;
        previous = current;
    }
}

void CR80DBParser::parseDbContent()
{
    char letter = 0;
    int format = Format8bit;
    if (state != GDParser_ok || !parseDbHeader(letter, format))
        return;
    const dword size = getPanelSize(letter, format);
    if (state != GDParser_ok)
        return;

    if (isColorLetter(letter)) {
        if (mgrYMC == nullptr) {
            skipPanel(size);
            return;
        }
        if (!IsYmcAllocationDone) {
            if (!streamHolds(size)) {
                state = GDParser_ioerror;
                return;
            }
            if (!mgrYMC->allocate(static_cast<int>(media->getColorDataSize()), 0)) {
                // Not taken: step over its data so that the scan goes on
                // after it rather than inside it.
                skipPanel(size);
                return;
            }
            IsYmcAllocationDone = true;
            ymcArea = media->getArea();
            ymcFormat = format;
        }
        if (!loadColorDb(letter, size, format))
            return;
    } else {
        IGDataMemoryManager* target = letter == 'k' ? mgrK : mgrO;
        if (target == nullptr) {
            skipPanel(size);
            return;
        }
        if (!streamHolds(size)) {
            state = GDParser_ioerror;
            return;
        }
        if (!target->allocate(static_cast<int>(media->getMonochromeDataSize()), 0)) {
            skipPanel(size);
            return;
        }
        if (!loadMonochromeDb(letter, size))
            return;
    }
    isDataParsed = true;
}

bool CR80DBParser::parseDbHeader(char& letter, int& format)
{
    state = GDParser_parsingerror;
    isExtDb = false;
    media->setResolution(MediaDefinition::StdDpi, MediaDefinition::StdDpi, MediaDefinition::CR80Width,
                         MediaDefinition::CR80Height);

    bool isSized = false;
    int c = getc(fp);
    if (c == 'x') {
        isExtDb = true;
        c = getc(fp);
        if (c == 's') {
            isSized = true;
            if (getc(fp) != ';')
                return false;
        } else if (c != ';') {
            return false;
        }
    } else if (c != ';') {
        return false;
    }

    c = getc(fp);
    if (c == EOF || getc(fp) != ';')
        return false;
    letter = static_cast<char>(c);

    dword levels = 0;
    if (!parseInt(levels))
        return false;
    if (isExtDb) {
        dword dpiX = 0, dpiY = 0;
        dword width = MediaDefinition::CR80Width, height = MediaDefinition::CR80Height;
        if (!parseInt(dpiX) || !parseInt(dpiY))
            return false;
        if (isSized && (!parseInt(width) || !parseInt(height)))
            return false;
        media->setResolution(dpiX, dpiY, width, height);
    }

    if (isColorLetter(letter) && levels == Levels7bit)
        format = Format7bit;
    else if (isColorLetter(letter) && levels == Levels8bit)
        format = Format8bit;
    else if ((letter == 'k' || letter == 'o') && levels == LevelsMonochrome)
        ; // one bit per dot
    else
        return false;

    // A resolution of 0 or a card beyond the largest one leaves no dots.
    if (media->getArea() == 0) {
        state = GDParser_resolution_error;
        return false;
    }
    state = GDParser_ok;
    return true;
}

bool CR80DBParser::parseInt(dword& value)
{
    dword result = 0;
    int current = '0';
    while (result <= MaxNumberPrefix && current >= '0' && current <= '9') {
        result = result * 10 + static_cast<dword>(current - '0');
        current = getc(fp);
    }
    if (current != ';') {
        state = GDParser_parsingerror;
        return false;
    }
    value = result;
    return true;
}

dword CR80DBParser::getPanelSize(char letter, int format)
{
    const dword area = media->getArea();
    switch (letter) {
    case 'k':
    case 'o':
        return area / 8;
    case 'y':
    case 'm':
    case 'c':
        return format == Format7bit ? MediaDefinition::to7bits(area) : area;
    default:
        state = GDParser_parsingerror;
        return 0;
    }
}

bool CR80DBParser::loadColorDb(char letter, dword size, int format)
{
    const dword area = media->getArea();
    const dword index = static_cast<dword>(GraphicalConstants::panelDescriptionToIndex(letter));
    const unsigned long long start = static_cast<unsigned long long>(area) * index;
    // Each panel must lie inside its slot of the one reservation of this
    // parse, made from the first colour header: a later header may announce
    // a larger card.
    if (index > 2 || area > ymcArea || start + size > mgrYMC->getSize()) {
        state = GDParser_overflow;
        return false;
    }
    // A smaller card would leave its panels at other offsets than the first.
    if (area != ymcArea) {
        state = GDParser_resolution_error;
        return false;
    }
    // One buffer holds one data format; mixing them would expand 8-bit
    // panels as if they were packed.
    if (format != ymcFormat) {
        state = GDParser_parsingerror;
        return false;
    }
    byte* target = mgrYMC->getBuffer(static_cast<dword>(start));
    if (target == nullptr && size != 0) {
        state = GDParser_overflow;
        return false;
    }
    if (!readPanel(target, size))
        return false;
    if (options != nullptr)
        options->setOption(TavGdiOptions::DbFormatIn,
                           format == Format7bit ? TavGdiOptions::DbFormat7bit : TavGdiOptions::DbFormat8bit);
    parsedSize += area;
    return true;
}

bool CR80DBParser::loadMonochromeDb(char letter, dword size)
{
    IGDataMemoryManager* target = letter == 'k' ? mgrK : mgrO;
    byte* buffer = target->getBuffer(0);
    if (size > target->getSize() || (buffer == nullptr && size != 0)) {
        state = GDParser_overflow;
        return false;
    }
    if (!readPanel(buffer, size))
        return false;
    parsedSize += media->getArea() / 8;
    return true;
}

bool CR80DBParser::readPanel(byte* target, dword size)
{
    if (size != 0 && fread(target, 1, size, fp) != size) {
        state = GDParser_ioerror;
        return false;
    }
    if (getc(fp) != CarriageReturn) {
        state = GDParser_ioerror;
        return false;
    }
    return true;
}

bool CR80DBParser::skipPanel(dword size)
{
    if (size == 0 || fseeko(fp, static_cast<off_t>(size), SEEK_CUR) == 0)
        return true;
    // A pipe cannot seek: read the data away.
    byte scrap[4096];
    dword left = size;
    while (left > 0) {
        const size_t chunk = left < sizeof(scrap) ? left : sizeof(scrap);
        if (fread(scrap, 1, chunk, fp) != chunk) {
            state = GDParser_ioerror;
            return false;
        }
        left -= static_cast<dword>(chunk);
    }
    return true;
}

bool CR80DBParser::streamHolds(dword size)
{
    const off_t here = ftello(fp);
    if (here < 0 || fseeko(fp, 0, SEEK_END) != 0) {
        clearerr(fp);
        return true;
    }
    const off_t end = ftello(fp);
    if (fseeko(fp, here, SEEK_SET) != 0) {
        state = GDParser_ioerror;
        return false;
    }
    // The data and the carriage return after them.
    return end < 0 || end - here > static_cast<off_t>(size);
}

} // namespace tavgdi
