#include "pipeline/CardSupervisor.h"

#include "Allocator.h"
#include "Exceptions/NullException.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "Owned.h"
#include "face/FaceSupervisor.h"
#include "input/MonoReaders.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/IOutputWriter.h"
#include "pipeline/PrintingTags.h"
#include "pipeline/StatusReporter.h"
#include "pipeline/StdLGRect.h"
#include "pipeline/StdLGRectManager.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

namespace {
const char* const SourcePath = "driverSimulator/CardSupervisor";
const char* const NullObject = "[CardSupervisor::CardSupervisor] Null Object";
// What CUPS tells the user when a card is lost.
const char* const FaceFailure = "its picture could not be turned into printer panels";
const char* const SendFailure = "the card could not be written to the printer";
} // namespace

#define WARN_GRAPHICAL()                                                                                               \
    InternalLog::print(                                                                                                \
        L"[TAVRIN UNIDRIVER][CardSupervisor::newFace] WARNING - (prt:%lx) - error graphical processing (%S::%d)\r\n",  \
        LOGPTR(this), SourcePath, __LINE__)

#define WARN_SEND(what)                                                                                                \
    InternalLog::print(                                                                                                \
        L"[TAVRIN UNIDRIVER][CardSupervisor::sendCard] WARNING - (prt:%lx) - error " what L" (%S::%d)\r\n",            \
        LOGPTR(this), SourcePath, __LINE__)

CardSupervisor::CardSupervisor(IGDataOptions* cardOpts, IGDataOptions* frontOpts, IGDataOptions* backOpts,
                               ExternalBufferAggregator* aggr, MonoReaders* readers, StdLGRectManager* rects,
                               MediaDefinition* media, StatusReporter& reporter)
    : cardOptions(cardOpts), rectManager(rects), aggregator(aggr), monochromeReaders(readers), isCurrentFrontFace(true),
      copyCount(1), status(reporter)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +CardSupervisor (%lx) \tDependancy: IGDataOptions(%lx), "
                       L"IGDataOptions(%lx), IGDataOptions(%lx), ExternalBufferAggregator(%lx), MonoReaders(%lx), "
                       L"StdLGRectManager(%lx), MediaDefinition(%lx)",
                       LOGPTR(this), LOGPTR(cardOpts), LOGPTR(frontOpts), LOGPTR(backOpts), LOGPTR(aggr),
                       LOGPTR(readers), LOGPTR(rects), LOGPTR(media));
    outputWriter = TavFactory::FactoryOutputWriter(ComputeBufferSizeUpperBound(frontOpts));

    if (frontOpts == nullptr || backOpts == nullptr || rectManager == nullptr || cardOptions == nullptr ||
        aggregator == nullptr) {
        releaseAll();
        throw NullException(NullObject);
    }
    // An empty reader slot (a reader kind without readers on this platform)
    // only means that the job has no custom picture for that role.
    if (monochromeReaders != nullptr) {
        for (int slot = MonoReaders::OverlayMonochromeReaderFront; slot <= MonoReaders::BlackMonochromeReaderBack;
             ++slot) {
            if (reader(slot) == nullptr)
                InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::CardSupervisor] WARNING - (prt:%lx) - no "
                                   L"custom picture reader in slot %d: custom pictures of that role cannot be "
                                   L"printed\r\n",
                                   LOGPTR(this), slot);
        }
    }

    try {
        frontFace = std::make_unique<FaceSupervisor>(frontOpts, media, status);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW FaceSupervisor \tPTR: %lx\r\n",
                           LOGPTR(frontFace.get()));
        backFace = std::make_unique<FaceSupervisor>(backOpts, media, status);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW FaceSupervisor \tPTR: %lx\r\n",
                           LOGPTR(backFace.get()));
    } catch (...) {
        releaseAll();
        throw;
    }
}

// The faces, then the writer; the destructor has logged their release lines
// before (a failed construction releases them without lines).
void CardSupervisor::releaseAll()
{
    frontFace.reset();
    backFace.reset();
    outputWriter.reset();
}

CardSupervisor::~CardSupervisor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : CardSupervisor (%lx)\r\n",
                       LOGPTR(this));
    logFree("frontFace", frontFace.get());
    logFree("backFace", backFace.get());
    logFree("outputWriter", outputWriter.get());
    releaseAll();
    if (rectManager != nullptr)
        rectManager->cleanUp();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -CardSupervisor (%lx)\r\n", LOGPTR(this));
}

IMonochromeReader* CardSupervisor::reader(int slot)
{
    if (monochromeReaders == nullptr)
        return nullptr;
    return monochromeReaders->get(static_cast<MonoReaders::MonoReaderItemType>(slot));
}

dword CardSupervisor::ComputeBufferSizeUpperBound(IGDataOptions* options)
{
    unsigned long long upperBound = 8192;
    dword dpiX = 300, dpiY = 300, crWidth = MediaDefinition::CR80Width, crHeight = MediaDefinition::CR80Height;
    if (options != nullptr) {
        dpiX = static_cast<dword>(options->getOption(TavGdiOptions::DpiX));
        dpiY = static_cast<dword>(options->getOption(TavGdiOptions::DpiY));
        crWidth = static_cast<dword>(options->getOption(TavGdiOptions::PaperSizeW));
        crHeight = static_cast<dword>(options->getOption(TavGdiOptions::PaperSizeH));
    }
    {
        MediaDefinition media(dpiX, dpiY, crWidth, crHeight);
        upperBound += 2ull * media.getMonochromeDataSize() + media.getColorDataSize();
    }
    if (cardOptions == nullptr || cardOptions->getOption(TavGdiOptions::TwoSidedMode) == TavGdiOptions::Duplex)
        upperBound *= 2;
    // The job's own fragments (passthrough commands, magnetic data) go into
    // the card as well and may be far longer than the framing allowance.
    if (aggregator != nullptr)
        for (int tag = PrintingTags::CardHead; tag <= PrintingTags::BackFaceTail; ++tag)
            upperBound += aggregator->getAggregateSize(static_cast<PrintingTags::PrintingTagsType>(tag));
    // The media refuses cards whose buffers do not fit 32 bits, so this
    // stays far below the limit; keep the sum sane all the same.
    return upperBound > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<dword>(upperBound);
}

void CardSupervisor::setCopyCount(int n)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::setCopyCount] CopyCount: %d\r\n", n);
    copyCount = n < 1 ? 1 : n;
}

bool CardSupervisor::processFace(bool front, byte* buffer, dword size, dword width, dword height, int bitCount)
{
    FaceSupervisor* face = front ? frontFace.get() : backFace.get();
    StdLGRect* rects = rectManager->get(front);
    IMonochromeReader* oreader =
        reader(front ? MonoReaders::OverlayMonochromeReaderFront : MonoReaders::OverlayMonochromeReaderBack);
    IMonochromeReader* kreader =
        reader(front ? MonoReaders::BlackMonochromeReaderFront : MonoReaders::BlackMonochromeReaderBack);
    return face->runGraphicalProcessing(buffer, size, width, height, bitCount, rects, oreader, kreader);
}

CardSupervisor::Status CardSupervisor::newFace(PFN_WriteBuffer writer, void* obj, byte* buffer, dword size, dword width,
                                               dword height, int bitCount, bool flush)
{
    const int twoSided = cardOptions->getOption(TavGdiOptions::TwoSidedMode);
    if (twoSided == 0 || (flush && isCurrentFrontFace)) {
        if (twoSided == 0)
            InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::newFace] (prt:%lx) - SIMPLEX MODE\r\n",
                               LOGPTR(this));
        else
            InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::newFace] (prt:%lx) - DUPLEX MODE - FRONT FACE\r\n",
                               LOGPTR(this));
        if (!processFace(true, buffer, size, width, height, bitCount)) {
            WARN_GRAPHICAL();
            status.faceFailed(FaceFailure);
            return Error;
        }
        if (!sendCard(writer, obj, false)) {
            WARN_GRAPHICAL();
            status.faceFailed(SendFailure);
            return Error;
        }
        return Sent;
    }

    if (isCurrentFrontFace) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::newFace] (prt:%lx) - DUPLEX MODE - FRONT FACE\r\n",
                           LOGPTR(this));
        isCurrentFrontFace = false;
        if (!processFace(true, buffer, size, width, height, bitCount)) {
            WARN_GRAPHICAL();
            status.faceFailed(FaceFailure);
            return Error;
        }
        return InProgress;
    }

    if (buffer != nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::newFace] (prt:%lx) - DUPLEX MODE - BACK FACE\r\n",
                           LOGPTR(this));
        isCurrentFrontFace = true;
        if (!processFace(false, buffer, size, width, height, bitCount)) {
            WARN_GRAPHICAL();
            status.faceFailed(FaceFailure);
            return Error;
        }
        if (!sendCard(writer, obj, true)) {
            WARN_GRAPHICAL();
            status.faceFailed(SendFailure);
            return Error;
        }
        return Sent;
    }

    // No back page: the front face goes out alone.
    if (!sendCard(writer, obj, false)) {
        WARN_GRAPHICAL();
        status.faceFailed(SendFailure);
        return Error;
    }
    return Sent;
}

void CardSupervisor::cleanUpMemory(byte* buffer[7])
{
    for (int i = 0; i < 7; ++i) {
        Allocator::desalloc(buffer[i]);
        buffer[i] = nullptr;
    }
}

bool CardSupervisor::sendCard(PFN_WriteBuffer writer, void* obj, bool isDuplex)
{
    using namespace PrintingTags;
    outputWriter->setWriter(writer);
    dword sz[7] = {0, 0, 0, 0, 0, 0, 0};
    byte* buffer[7] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    // However the card ends, sent or not, its fragments are released and
    // the card buffer is emptied: a failed card must not fill the next one.
    struct CardCleanUp {
        CardSupervisor* card;
        byte** fragments;
        ~CardCleanUp()
        {
            card->cleanUpMemory(fragments);
            card->outputWriter->resetBuffer();
        }
    } cleanUp{this, buffer};

    const int last = isDuplex ? BackFaceTail : FrontFaceTail;
    for (int tag = CardHead; tag <= last; ++tag) {
        sz[tag] = aggregator->getAggregateSize(static_cast<PrintingTagsType>(tag));
        buffer[tag] = aggregator->aggregate(static_cast<PrintingTagsType>(tag));
        if (buffer[tag] == nullptr) {
            WARN_SEND(L"aggregate");
            return false;
        }
    }

    dword headSize = aggregator->getAggregateSize(DocHead);
    buffer[DocHead] = aggregator->aggregate(DocHead);
    if (buffer[DocHead] != nullptr) {
        if (writer == nullptr || writer(obj, buffer[DocHead], headSize) != headSize) {
            WARN_SEND(L"aggregate");
            return false;
        }
        aggregator->clear(DocHead);
    }

    InternalLog::print(L"[TAVRIN UNIDRIVER][CardSupervisor::sendCard] CopyCount Loop: %d\r\n", copyCount);

    if (outputWriter->write(obj, buffer[CardHead], sz[CardHead]) != sz[CardHead]) {
        WARN_SEND(L"write");
        return false;
    }
    if (!frontFace->sendFace(outputWriter.get(), obj, buffer[FrontFaceHead], static_cast<int>(sz[FrontFaceHead]),
                             buffer[FrontFaceTail], static_cast<int>(sz[FrontFaceTail]))) {
        WARN_SEND(L"sendface");
        return false;
    }
    if (isDuplex &&
        !backFace->sendFace(outputWriter.get(), obj, buffer[BackFaceHead], static_cast<int>(sz[BackFaceHead]),
                            buffer[BackFaceTail], static_cast<int>(sz[BackFaceTail]))) {
        WARN_SEND(L"sendface");
        return false;
    }
    if (outputWriter->write(obj, buffer[CardTail], sz[CardTail]) != sz[CardTail]) {
        WARN_SEND(L"write");
        return false;
    }
    for (int copy = 0; copy < copyCount; ++copy) {
        if (!outputWriter->flush(obj)) {
            WARN_SEND(L"flush");
            return false;
        }
    }
    for (int tag = CardHead; tag <= BackFaceTail; ++tag)
        aggregator->removeMortal(static_cast<PrintingTagsType>(tag));
    return true;
}

} // namespace tavgdi
