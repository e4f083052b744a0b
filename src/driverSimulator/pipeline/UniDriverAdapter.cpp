#include "pipeline/UniDriverAdapter.h"

#include "COemPDEV.h"
#include "GlobalFactory.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "input/MonoReaders.h"
#include "pipeline/DocumentSupervisor.h"
#include "pipeline/ExternalBufferAggregator.h"
#include "pipeline/StatusReporter.h"
#include "settings/IGDataOptions.h"
#include "settings/OptionsConverter.h"

namespace tavgdi {

namespace {
// Role keys of the four custom picture reader slots.
const char* const RoleKeys[4] = {"overlay", "backOverlay", "black", "backBlack"};
} // namespace

UniDriverAdapter::UniDriverAdapter(PFN_WriteBuffer w, StatusReporter& reporter)
    : writer(w), status(reporter), isStartDocTaggedVisited(false)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +UniDriverAdapter (%lx)\r\n", LOGPTR(this));
    buildOptions();
}

UniDriverAdapter::~UniDriverAdapter()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : UniDriverAdapter (%lx)\r\n",
                       LOGPTR(this));
    logFree("monochromeReaders", monochromeReaders.get());
    logFree("docSupervisor", docSupervisor.get());
    logFree("docOptions", docOptions.get());
    logFree("cardOptions", cardOptions.get());
    logFree("frontFaceOptions", frontFaceOptions.get());
    logFree("backFaceOptions", backFaceOptions.get());
    logFree("aggregator", aggregator.get());
    logFree("media", media.get());
    // The document supervisor goes first here: its card and face supervisors
    // read the option maps while they are destroyed.
    docSupervisor.reset();
    aggregator.reset();
    docOptions.reset();
    cardOptions.reset();
    frontFaceOptions.reset();
    backFaceOptions.reset();
    monochromeReaders.reset();
    media.reset();
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -UniDriverAdapter (%lx)\r\n", LOGPTR(this));
}

void UniDriverAdapter::buildOptions()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::buildOptions] (prt:%lx)\r\n", LOGPTR(this));
    docOptions.reset(TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor));
    cardOptions.reset(TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor));
    frontFaceOptions.reset(TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor));
    backFaceOptions.reset(TavFactory::FactoryDataOptions(TavFactory::UndefinedSupervisor));
    aggregator = std::make_unique<ExternalBufferAggregator>();
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW ExternalBufferAggregator \tPTR: %lx\r\n",
                       LOGPTR(aggregator.get()));
    rectManager.create(nullptr);
}

bool UniDriverAdapter::startDoc(char* docName, dword jobId, PDEVOBJ pDevObj, IPrintOemDriverUni* helper, int copyCount,
                                bool isExternalOptionManagement)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] (doc:%s)\r\n", docName ? docName : "(null)");

    if (monochromeReaders == nullptr) {
        monochromeReaders = std::make_unique<MonoReaders>(TavFactory::FileMonoReader);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW monochromeReaders \tPTR: %lx\r\n",
                           LOGPTR(monochromeReaders.get()));
    }
    void* printer = pDevObj ? pDevObj->hPrinter : nullptr;
    for (int slot = 0; slot < 4; ++slot) {
        auto item = static_cast<MonoReaders::MonoReaderItemType>(slot);
        if (monochromeReaders->get(item) == nullptr)
            monochromeReaders->set(printer, RoleKeys[slot], item);
    }

    if (!isStartDocTaggedVisited && !(docName == nullptr && jobId == 0)) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] Processing\r\n");
        if (!isExternalOptionManagement && !externalToInternal(pDevObj, helper))
            InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] reading option : some options are "
                               L"missing (not an error)\r\n");
        if (!isExternalOptionManagement && !jobSummary.empty())
            status.jobSettings(jobSummary);
        if (!jobRefusal.empty()) {
            // No document supervisor: every face of the job is refused.
            isStartDocTaggedVisited = true;
            refuse(L"startDoc");
            return false;
        }
        if (!BuildMedia())
            InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::startDoc] WARNING - Failed to build media\r\n");
        releaseLogged(docSupervisor, "docSupervisor");
        docSupervisor = std::make_unique<DocumentSupervisor>(
            docOptions.get(), cardOptions.get(), frontFaceOptions.get(), backFaceOptions.get(), monochromeReaders.get(),
            aggregator.get(), &rectManager, media.get(), status);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - NEW DocumentSupervisor \tPTR: %lx\r\n",
                           LOGPTR(docSupervisor.get()));
        isStartDocTaggedVisited = true;
    }
    if (docSupervisor != nullptr)
        docSupervisor->setCopyCount(copyCount);
    return jobRefusal.empty();
}

void UniDriverAdapter::refuse(const wchar_t* operation)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::%ls] ERROR - Job refused, no card is printed\r\n",
                       operation);
    releaseLogged(docSupervisor, "docSupervisor");
    status.jobError((jobRefusal + "; no card of the job was printed").c_str());
}

bool UniDriverAdapter::externalToInternal(PDEVOBJ pDevObj, IPrintOemDriverUni* helper)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::externalToInternal] (prt:%lx, pdevobj:%lx)\r\n",
                       LOGPTR(this), LOGPTR(pDevObj));
    cleanUpOptions();
    OptionsConverter converter(docOptions.get(), cardOptions.get(), frontFaceOptions.get(), backFaceOptions.get(),
                               aggregator.get(), &rectManager, monochromeReaders.get(), pDevObj, helper, status);
    const bool isConverted = converter.convert();
    jobRefusal = converter.getJobRefusal();
    jobSummary = converter.describeJob();
    return isConverted;
}

void UniDriverAdapter::cleanUpOptions()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::cleanUpOptions] (prt:%lx)\r\n", LOGPTR(this));
    aggregator->cleanUp();
    docOptions->cleanUp();
    cardOptions->cleanUp();
    frontFaceOptions->cleanUp();
    backFaceOptions->cleanUp();
}

bool UniDriverAdapter::BuildMedia()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::BuildMedia] (ptr:%lx)\r\n", LOGPTR(this));
    if (frontFaceOptions == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::BuildMedia] WARNING - NULL frontFaceOptions\r\n");
        media = nullptr;
        return false;
    }
    dword dpiX = static_cast<dword>(frontFaceOptions->getOption(TavGdiOptions::DpiX));
    dword dpiY = static_cast<dword>(frontFaceOptions->getOption(TavGdiOptions::DpiY));
    dword crWidth = static_cast<dword>(frontFaceOptions->getOption(TavGdiOptions::PaperSizeW));
    dword crHeight = static_cast<dword>(frontFaceOptions->getOption(TavGdiOptions::PaperSizeH));
    if (media != nullptr) {
        const void* old = media.get();
        media.reset(); // its line follows the media's own last line
        logFree("media", old);
    }
    media = std::make_unique<MediaDefinition>(dpiX, dpiY, crWidth, crHeight);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MediaDefinition \tPTR: %lx\r\n", LOGPTR(media.get()));
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::BuildMedia] Success\r\n");
    return true;
}

bool UniDriverAdapter::newFace(PDEVOBJ pDevObj, bool flush)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::newFace] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    if (docSupervisor == nullptr) {
        InternalLog::print(
            L"[TAVRIN UNIDRIVER][UniDriverAdapter::newFace] WARNING - (prt:%lx) - NULL docSupervisor\r\n",
            LOGPTR(this));
        return false;
    }
    if (pDevObj == nullptr || pDevObj->pdevOEM == nullptr)
        return docSupervisor->newFace(writer, pDevObj, nullptr, 0, 0, 0, 0, flush);
    COemPDEV* p = pDevObj->pdevOEM;
    return docSupervisor->newFace(writer, pDevObj, p->pBufStart, p->bmInfoHeader.biSizeImage,
                                  static_cast<dword>(p->bmInfoHeader.biWidth),
                                  static_cast<dword>(p->bmInfoHeader.biHeight), p->bmInfoHeader.biBitCount, flush);
}

bool UniDriverAdapter::endDoc(PDEVOBJ pDevObj)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::endDoc] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    if (docSupervisor == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::endDoc] WARNING - NULL docSupervisor");
        return false;
    }
    return docSupervisor->endDoc(writer, pDevObj);
}

MediaDefinition* UniDriverAdapter::getMedia()
{
    return media.get();
}

bool UniDriverAdapter::resetPDEV(PDEVOBJ pDevObj, IPrintOemDriverUni* helper)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::resetPDEV] (prt:%lx, pdevobj:%lx)\r\n", LOGPTR(this),
                       LOGPTR(pDevObj));
    if (monochromeReaders != nullptr) {
        void* printer = pDevObj ? pDevObj->hPrinter : nullptr;
        for (int slot = 0; slot < 4; ++slot)
            monochromeReaders->set(printer, RoleKeys[slot], static_cast<MonoReaders::MonoReaderItemType>(slot));
    }
    const bool isConverted = externalToInternal(pDevObj, helper);
    if (!jobRefusal.empty()) {
        refuse(L"resetPDEV");
        return false;
    }
    if (!isConverted || docSupervisor == nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][UniDriverAdapter::resetPDEV] WARNING - return false (ptr:%lx, "
                           L"pdevobj:%lx)\r\n",
                           LOGPTR(this), LOGPTR(pDevObj));
        return false;
    }
    return BuildMedia();
}

} // namespace tavgdi
