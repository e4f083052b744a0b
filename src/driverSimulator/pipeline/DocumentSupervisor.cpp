#include "pipeline/DocumentSupervisor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "Allocator.h"
#include "InternalLog.h"
#include "OptionsDefinition.h"
#include "Owned.h"
#include "pipeline/CardSupervisor.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/PrintingTags.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

namespace {

const char ESC = 0x1B;
const char CR = 0x0D;

// Reads an option, or 0 when the map is missing.
int opt(IGDataOptions* options, TavGdiOptions::Keys key)
{
    return options ? options->getOption(key) : 0;
}

} // namespace

// Formats one framing fragment and files it as an eternal fragment.
#define ADD_FRAGMENT(tag, priority, ...)                                                                               \
    do {                                                                                                               \
        char text[256];                                                                                                \
        int n = snprintf(text, sizeof(text), __VA_ARGS__);                                                             \
        if (n > 0)                                                                                                     \
            aggregator->add(tag, reinterpret_cast<byte*>(text), static_cast<int>(strlen(text)), priority, true,        \
                            false);                                                                                    \
    } while (0)

DocumentSupervisor::DocumentSupervisor(IGDataOptions* docOpts, IGDataOptions* cardOpts, IGDataOptions* frontOpts,
                                       IGDataOptions* backOpts, MonoReaders* readers, ExternalBufferAggregator* aggr,
                                       StdLGRectManager* rects, MediaDefinition* mediaDef, StatusReporter& reporter)
    : monochromeReaders(readers), cardOptions(cardOpts), docOptions(docOpts), frontFaceOptions(frontOpts),
      backFaceOptions(backOpts), aggregator(aggr), initialRectManager(rects), isACardSent(false), copyCount(1),
      media(mediaDef), status(reporter)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +DocumentSupervisor (%lx) \tDependancy: "
                       L"IGDataOptions(%lx), IGDataOptions(%lx), IGDataOptions(%lx), IGDataOptions(%lx), "
                       L"ExternalBufferAggregator(%lx), MonoReaders(%lx), StdLGRectManager(%lx), "
                       L"MediaDefinition(%lx)\r\n",
                       LOGPTR(this), LOGPTR(docOpts), LOGPTR(cardOpts), LOGPTR(frontOpts), LOGPTR(backOpts),
                       LOGPTR(aggr), LOGPTR(readers), LOGPTR(rects), LOGPTR(mediaDef));
    rectManager = std::make_unique<StdLGRectManager>();
    rectManager->create(nullptr);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW StdLGRectManager \tPTR: %lx\r\n",
                       LOGPTR(rectManager.get()));
    fillAggregators();
    createCard();
    rectManager->debug();
    InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::DocumentSupervisor] Exit constructor (prt:%lx)\r\n",
                       LOGPTR(this));
}

DocumentSupervisor::~DocumentSupervisor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : DocumentSupervisor (%lx)\r\n",
                       LOGPTR(this));
    clearCard();
    logFree("StdLGRectManager", rectManager.get());
    rectManager.reset();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -DocumentSupervisor (%lx)\r\n", LOGPTR(this));
}

void DocumentSupervisor::createCard()
{
    releaseLogged(cardSupervisor, "cardSupervisor");
    rectManager->create(initialRectManager);
    cardSupervisor = std::make_unique<CardSupervisor>(cardOptions, frontFaceOptions, backFaceOptions, aggregator,
                                                      monochromeReaders, rectManager.get(), media, status);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW CardSupervisor \tPTR: %lx\r\n",
                       LOGPTR(cardSupervisor.get()));
    cardSupervisor->setCopyCount(copyCount);
}

void DocumentSupervisor::clearCard()
{
    releaseLogged(cardSupervisor, "cardSupervisor");
}

void DocumentSupervisor::resetCard()
{
    clearCard();
    createCard();
}

void DocumentSupervisor::setCopyCount(int n)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::setCopyCount] CopyCount: %d\r\n", n);
    copyCount = n;
    if (cardSupervisor != nullptr)
        cardSupervisor->setCopyCount(n);
}

bool DocumentSupervisor::newFace(PFN_WriteBuffer writer, void* obj, byte* buffer, dword size, dword width, dword height,
                                 int bitCount, bool flush)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::newFace] (prt:%lx)\r\n", LOGPTR(this));
    if (cardSupervisor == nullptr) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][DocumentSupervisor::newFace] WARNING - NULL cardSupervisor (prt:%lx)\r\n",
            LOGPTR(this));
        return false;
    }
    switch (cardSupervisor->newFace(writer, obj, buffer, size, width, height, bitCount, flush)) {
    case CardSupervisor::Error:
        InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::newFace] (prt:%lx) - Error State \r\n",
                           LOGPTR(this));
        return false;
    case CardSupervisor::InProgress:
        InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::newFace] (prt:%lx) - InProgress State \r\n",
                           LOGPTR(this));
        return true;
    case CardSupervisor::Sent:
        InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::newFace] (prt:%lx) - Sent State \r\n",
                           LOGPTR(this));
        isACardSent = true;
        // The card went out once per copy: one page each for CUPS.
        status.cardSent(copyCount);
        resetCard();
        return true;
    }
    InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::newFace] (prt:%lx) - Undefined State \r\n",
                       LOGPTR(this));
    return true;
}

bool DocumentSupervisor::endDoc(PFN_WriteBuffer writer, void* obj)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][DocumentSupervisor::endDoc] (prt:%lx)\r\n", LOGPTR(this));
    if (!isACardSent)
        return true;
    dword size = aggregator->getAggregateSize(PrintingTags::DocTail);
    byte* tail = aggregator->aggregate(PrintingTags::DocTail);
    if (tail == nullptr || size == 0) {
        Allocator::desalloc(tail);
        return true;
    }
    bool result = writer != nullptr && writer(obj, tail, size) == size;
    aggregator->clear(PrintingTags::DocTail);
    Allocator::desalloc(tail);
    return result;
}

unsigned long DocumentSupervisor::headerTime()
{
    const char* epoch = getenv("SOURCE_DATE_EPOCH");
    if (epoch != nullptr && *epoch != '\0') {
        char* end = nullptr;
        errno = 0;
        unsigned long long value = strtoull(epoch, &end, 10);
        if (errno == 0 && end != nullptr && *end == '\0' && epoch[0] != '-')
            return static_cast<unsigned long>(value);
    }
    return static_cast<unsigned long>(time(nullptr));
}

void DocumentSupervisor::fillAggregators()
{
    fillDocAggregators();
    fillCardAggregators();
    fillFrontFaceAggregators();
    fillBackFaceAggregators();
}

void DocumentSupervisor::fillDocAggregators()
{
    using namespace TavGdiOptions;
    using PrintingTags::DocHead;
    using PrintingTags::DocTail;
    IGDataOptions* doc = docOptions;
    IGDataOptions* front = frontFaceOptions;

    if (opt(doc, SendSpoolSession) == 1)
        ADD_FRAGMENT(DocHead, 32536, "%cPcla;1%c%cPsid;2%c", ESC, CR, ESC, CR);
    if (opt(doc, SendPrintStatusDisableMode) == 1)
        ADD_FRAGMENT(DocHead, 32536, "%cPps;0;n%c", ESC, CR);
    ADD_FRAGMENT(DocHead, 32536, "%cPsync;%d;0%c<HEADER>%cPsmgr;1%c%cPpws;%lu%c", ESC, PsyncHeaderStart, CR, ESC, CR,
                 ESC, headerTime(), CR);
    ADD_FRAGMENT(DocHead, 30000, "%cPr;%d;t%c", ESC, opt(doc, RibbonType), CR);
    ADD_FRAGMENT(DocHead, 29000, "%cPwres;%d;%d;%d%c", ESC, opt(front, DpiX), opt(front, DpiY), opt(doc, RibbonType),
                 CR);
    if (opt(doc, InsertionMode) != 0)
        ADD_FRAGMENT(DocHead, 20003, "%cPcim;%c%c", ESC, opt(doc, InsertionMode), CR);
    if (opt(doc, EjectionMode) != 0)
        ADD_FRAGMENT(DocHead, 20002, "%cPcem;%c%c", ESC, opt(doc, EjectionMode), CR);
    if (opt(doc, RejectionMode) != 0)
        ADD_FRAGMENT(DocHead, 20001, "%cPcrm;%c%c", ESC, opt(doc, RejectionMode), CR);
    if (opt(doc, FeederCfgMode) != 0)
        ADD_FRAGMENT(DocHead, 20004, "%cPkc;m;%c%c", ESC, opt(doc, FeederCfgMode), CR);
    if (opt(doc, FeederPosMode) != 0)
        ADD_FRAGMENT(DocHead, 20005, "%cPkc;p;%c%c", ESC, opt(doc, FeederPosMode), CR);
    ADD_FRAGMENT(DocHead, 20006, "%cPeoic;k;%c%c", ESC, opt(doc, CardPreloading), CR);
    if (opt(doc, MagEncodingTrack1) != 0)
        ADD_FRAGMENT(DocHead, 20502, "%cPmt;1;%d%c", ESC, opt(doc, MagEncodingTrack1), CR);
    if (opt(doc, MagEncodingTrack2) != 0)
        ADD_FRAGMENT(DocHead, 20501, "%cPmt;2;%d%c", ESC, opt(doc, MagEncodingTrack2), CR);
    if (opt(doc, MagEncodingTrack3) != 0)
        ADD_FRAGMENT(DocHead, 20500, "%cPmt;3;%d%c", ESC, opt(doc, MagEncodingTrack3), CR);
    if ((opt(doc, MagCoercivity) & 0xFF) != 0)
        ADD_FRAGMENT(DocHead, 20503, "%cPmc;%c%c", ESC, opt(doc, MagCoercivity) & 0xFF, CR);
    if (opt(doc, SendIqla) == 1)
        ADD_FRAGMENT(DocHead, 20550, "%cPiqla;a;e%c%cPiqla;%d;%d;%d;%d;%d;%d%c", ESC, CR, ESC, opt(doc, Iqlaby),
                     opt(doc, Iqlacy), opt(doc, Iqlabm), opt(doc, Iqlacm), opt(doc, Iqlabc), opt(doc, Iqlacc), CR);
    else
        ADD_FRAGMENT(DocHead, 20550, "%cPiqla;a;d%c", ESC, CR);
    ADD_FRAGMENT(DocHead, 20560, "%cPsk;%d%c", ESC, opt(doc, MonochromeSpeed), CR);
    ADD_FRAGMENT(DocHead, 1100, "%cPsync;%d%c</HEADER>", ESC, PsyncHeaderEnd, CR);
    ADD_FRAGMENT(DocHead, 1010, "%cPsync;%d;1%c<OPTION Dpi=%dx%d>%cPsync;%d;0%c</OPTION>", ESC, PsyncOptionStart, CR,
                 opt(front, DpiX), opt(front, DpiY), ESC, PsyncOptionEnd, CR);
    ADD_FRAGMENT(DocHead, 1000, "%cPsync;%d;1%c<DOC Duplex=%d>%cPsync;%d;0%c", ESC, PsyncDocStart, CR,
                 opt(cardOptions, TwoSidedMode) != 0 ? 1 : 0, ESC, PsyncDocStart, CR);

    ADD_FRAGMENT(DocTail, 1000, "%cPsync;%d;1%c</DOC>%cPsync;%d;0%c", ESC, PsyncDocEnd, CR, ESC, PsyncDocEnd, CR);
    if (opt(doc, SendSpoolSession) == 1)
        ADD_FRAGMENT(DocTail, 999, "%cPcla;0%c%cPsid;0%c", ESC, CR, ESC, CR);
    ADD_FRAGMENT(DocTail, 500, "%cPsync;%d;1%c<END>%cPsync;%d;0%c", ESC, PsyncEnd, CR, ESC, PsyncEnd, CR);
}

void DocumentSupervisor::fillCardAggregators()
{
    using PrintingTags::CardHead;
    using PrintingTags::CardTail;
    ADD_FRAGMENT(CardHead, 20000, "%cPsync;%d;1%c<CARD>%cPsync;%d;0%c", ESC, PsyncCardStart, CR, ESC, PsyncCardStart,
                 CR);
    ADD_FRAGMENT(CardHead, 15000, "%cSs%c", ESC, CR);
    ADD_FRAGMENT(CardHead, 10000, "%cMr;s%c", ESC, CR);
    ADD_FRAGMENT(CardTail, 10000, "%cSe%c", ESC, CR);
    ADD_FRAGMENT(CardTail, 1000, "%cPsync;%d;1%c</CARD>%cPsync;%d;0%c", ESC, PsyncCardEnd, CR, ESC, PsyncCardEnd, CR);
}

void DocumentSupervisor::fillFaceAggregators(IGDataOptions* face, bool isFront)
{
    using namespace TavGdiOptions;
    const PrintingTags::PrintingTagsType head = isFront ? PrintingTags::FrontFaceHead : PrintingTags::BackFaceHead;
    const PrintingTags::PrintingTagsType tail = isFront ? PrintingTags::FrontFaceTail : PrintingTags::BackFaceTail;
    // The back face's level commands sit one priority lower.
    const word shift = isFront ? 0 : 1;
    ADD_FRAGMENT(head, 20000, "%cPsync;%d;1%c<FACE>%cPsync;%d;0%c", ESC, PsyncFaceStart, CR, ESC, PsyncFaceStart, CR);
    ADD_FRAGMENT(head, 15000, isFront ? "%cSr%c" : "%cSv%c", ESC, CR);
    ADD_FRAGMENT(head, 10004 - shift, "%cPc;a;=;%d%c", ESC, opt(face, ColorConstrast), CR);
    ADD_FRAGMENT(head, 10003 - shift, "%cPl;a;=;%d%c", ESC, opt(face, ColorLuminosity), CR);
    ADD_FRAGMENT(head, 10002 - shift, "%cPc;k;=;%d%c", ESC, opt(face, MonochromeContrast), CR);
    ADD_FRAGMENT(head, 10001 - shift, "%cPc;o;=;%d%c", ESC, opt(face, OverlayContrast), CR);
    ADD_FRAGMENT(tail, 1000, "%cPsync;%d;1%c</FACE>%cPsync;%d;0%c", ESC, PsyncFaceEnd, CR, ESC, PsyncFaceEnd, CR);
}

void DocumentSupervisor::fillFrontFaceAggregators()
{
    fillFaceAggregators(frontFaceOptions, true);
}

void DocumentSupervisor::fillBackFaceAggregators()
{
    fillFaceAggregators(backFaceOptions, false);
}

} // namespace tavgdi
