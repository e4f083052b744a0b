#include "image/MonoDeviceSupervisor.h"

#include <cstdio>
#include <new>

#include "Exceptions/NullException.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "Owned.h"
#include "builders/IGDataOutputBuilder.h"
#include "face/FastKernels.h"
#include "image/IGDataManager.h"
#include "image/IGDataMemoryManager.h"
#include "image/IPixel.h"
#include "input/CR80BmpParser.h"
#include "input/IGDataParser.h"
#include "processors/IFactoryGDProcessor.h"
#include "processors/IGDataProcessor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

namespace {

// An option's value as a positive length or resolution, else the fallback.
dword positiveOption(IGDataOptions* options, TavGdiOptions::Keys key, dword fallback)
{
    const int value = options != nullptr ? options->getOption(key) : 0;
    return value > 0 ? static_cast<dword>(value) : fallback;
}

} // namespace

MonoDeviceSupervisor::MonoDeviceSupervisor(TavFactory::SupervisorType type, MediaDefinition* media_,
                                           IGDataMemoryManager* memMgr_, IGDataManager* dataMgr_, IGDataOptions* optMgr)
    : dataMgr(dataMgr_), options(optMgr), memMgr(memMgr_), media(media_), classType(type), isRasterBorrowed(false)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +MonoDeviceSupervisor (%lx) \tDependancy: "
                       L"MediaDefinition(%lx), IGDataMemoryManager(%lx), IGDataManager(%lx), IGDataOptions(%lx)\r\n",
                       LOGPTR(this), LOGPTR(media_), LOGPTR(memMgr_), LOGPTR(dataMgr_), LOGPTR(optMgr));
    commonPixel = TavFactory::FactoryPixel(type, 0, 0, 0);

    const char* failure = nullptr;
    if (media == nullptr) {
        ownMedia.reset(new (std::nothrow) MediaDefinition(
            positiveOption(optMgr, TavGdiOptions::DpiX, MediaDefinition::StdDpi),
            positiveOption(optMgr, TavGdiOptions::DpiY, MediaDefinition::StdDpi),
            positiveOption(optMgr, TavGdiOptions::PaperSizeW, MediaDefinition::CR80Width),
            positiveOption(optMgr, TavGdiOptions::PaperSizeH, MediaDefinition::CR80Height)));
        media = ownMedia.get();
        if (media != nullptr) {
            InternalLog::print(
                L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MediaDefinition from MonoDeviceSupervisor\tPTR: "
                L"%lx\r\n",
                LOGPTR(media));
        } else {
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null MediaDefinition";
        }
    }
    if (failure == nullptr && memMgr == nullptr) {
        ownMemMgr.reset(TavFactory::FactoryMemoryManager());
        memMgr = ownMemMgr.get();
        if (memMgr == nullptr)
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null MemoryManager";
    }
    if (failure == nullptr && dataMgr == nullptr) {
        ownDataMgr = TavFactory::FactoryDataManager(type, memMgr, media);
        dataMgr = ownDataMgr.get();
        if (dataMgr == nullptr)
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null DataManager";
    }
    if (failure == nullptr && options == nullptr) {
        ownOptions.reset(TavFactory::FactoryDataOptions(type));
        options = ownOptions.get();
        if (options == nullptr)
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null OptionsManager";
    }
    if (failure != nullptr) {
        // Nothing made so far is left behind by the exception.
        release(false);
        throw NullException(failure);
    }
    factoryProcessor = TavFactory::FactorySquareGDProcessor(type);
}

MonoDeviceSupervisor::~MonoDeviceSupervisor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] Start destruction : MonoDeviceSupervisor (%lx)\r\n",
                       LOGPTR(this));
    release(true);
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -MonoDeviceSupervisor (%lx)\r\n", LOGPTR(this));
}

void MonoDeviceSupervisor::release(bool logged)
{
    // The own collaborators go in this order, each after its line.
    auto drop = [logged](auto& owner, const char* what) {
        if (logged && owner != nullptr)
            logFree(what, owner.get());
        owner.reset();
    };
    drop(ownDataMgr, "dataMgr");
    dataMgr = nullptr;
    drop(ownMemMgr, "memMgr");
    memMgr = nullptr;
    drop(ownOptions, "options");
    options = nullptr;
    drop(ownMedia, "media");
    media = nullptr;
    if (logged) {
        logFree("commonPixel", commonPixel.get());
        logFree("factoryProcessor", factoryProcessor.get());
    }
    commonPixel.reset();
    factoryProcessor.reset();
}

void MonoDeviceSupervisor::setOrientation(GraphicalConstants::CardOrientation orientation, MediaDefinition* m)
{
    dataMgr->setOrientation(orientation, m);
}

GraphicalConstants::CardOrientation MonoDeviceSupervisor::getOrientation()
{
    return dataMgr->getOrientation();
}

void MonoDeviceSupervisor::setPixel(int w, int h, IPixel* p)
{
    dataMgr->setPixel(w, h, p);
}

IPixel* MonoDeviceSupervisor::getPixel(int w, int h)
{
    dataMgr->getPixel(w, h, commonPixel.get());
    return commonPixel.get();
}

void MonoDeviceSupervisor::getPixel(int w, int h, IPixel* p)
{
    dataMgr->getPixel(w, h, p);
}

dword MonoDeviceSupervisor::getWidth()
{
    return dataMgr->getWidth();
}

dword MonoDeviceSupervisor::getHeight()
{
    return dataMgr->getHeight();
}

bool MonoDeviceSupervisor::newRaster(MediaDefinition* m, bool fullBlack)
{
    return dataMgr->newRaster(m, fullBlack);
}

void MonoDeviceSupervisor::setOption(TavGdiOptions::Keys key, TavGdiOptions::Values value)
{
    if (options != nullptr)
        options->setOption(key, value);
}

bool MonoDeviceSupervisor::runInputChain()
{
    Logged<IGDataProcessor> chain =
        logged(factoryProcessor->build(options, IFactoryGDProcessor::inputProcessor), "processor");
    if (chain == nullptr)
        return true;
    return chain->process(dataMgr, memMgr, media);
}

bool MonoDeviceSupervisor::afterParse(IGDataParser* parser)
{
    if (parser->isOnError() || factoryProcessor == nullptr)
        return false;
    dataMgr->setOrientation(parser->getCardOrientation(), media);
    return runInputChain();
}

bool MonoDeviceSupervisor::setRaster(byte* buffer, dword size, dword width, dword height, bool isColorDevice)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][MonoDeviceSupervisor::setRaster] (ptr:%lx - buff:%lx, sz:%lu, w:%lu, "
                       L"h:%lu, color:%d)\r\n",
                       LOGPTR(this), LOGPTR(buffer), (unsigned long)size, (unsigned long)width, (unsigned long)height,
                       isColorDevice ? 1 : 0);
    Logged<IGDataParser> parser = logged(TavFactory::FactoryDataParser(classType, memMgr, Unaligned), "parser");
    if (parser == nullptr)
        return false;
    // A colour picture that no input processor changes, and that the caller
    // lends: read where it is.
    CR80BmpParser* picture = FastKernels::unprocessedPicture(parser.get(), factoryProcessor.get());
    if (isRasterBorrowed && classType == TavFactory::BmpColorSupervisor && picture != nullptr)
        picture->setReadsInPlace(true);
    bool result = false;
    if (!parser->parse(buffer, size, width, height, isColorDevice, options, media))
        InternalLog::print(L"[TAVRIN UNIDRIVER][MonoDeviceSupervisor::setRaster] WARNING - (ptr:%lx) failed\r\n",
                           LOGPTR(this));
    else
        result = afterParse(parser.get());
    return result;
}

bool MonoDeviceSupervisor::load(void* input, bool isFileStream)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][MonoDeviceSupervisor::load] (ptr:%lx)\r\n", LOGPTR(this));
    if (input == nullptr)
        return false;
    Logged<IGDataParser> parser = logged(TavFactory::FactoryDataParser(classType, memMgr, Unaligned), "parser");
    if (parser == nullptr)
        return false;
    const bool parsed = isFileStream ? parser->parse(static_cast<FILE*>(input), options, media)
                                     : parser->parse(static_cast<const char*>(input), options, media);
    return parsed && afterParse(parser.get());
}

bool MonoDeviceSupervisor::preProcessing()
{
    if (factoryProcessor == nullptr)
        return true;
    return runInputChain();
}

IGDataOutputBuilder* MonoDeviceSupervisor::getIGDataOutputBuilder()
{
    if (factoryProcessor == nullptr)
        return nullptr;
    std::unique_ptr<IGDataOutputBuilder> builder =
        TavFactory::FactoryOutputBuilder(classType, options, memMgr, dataMgr);
    if (builder == nullptr)
        return nullptr;
    Logged<IGDataProcessor> chain =
        logged(factoryProcessor->build(options, IFactoryGDProcessor::outputProcessor), "processor");
    builder->init(chain.get());
    return builder.release();
}

bool MonoDeviceSupervisor::save(char* filename)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][MonoDeviceSupervisor::save] (ptr:%lx - file:%s)\r\n", LOGPTR(this),
                       filename != nullptr ? filename : "(null)");
    if (filename == nullptr)
        return false;
    FILE* file = fopen(filename, "wb");
    if (file == nullptr)
        return false;
    Logged<IGDataOutputBuilder> builder(getIGDataOutputBuilder(), LoggedDelete{"outbuilder"});
    if (builder == nullptr) {
        fclose(file);
        return false;
    }
    bool result = false;
    for (;;) {
        const byte* data = builder->getBuffer();
        result = data != nullptr;
        if (data != nullptr) {
            const dword size = builder->getSize();
            if (fwrite(data, 1, size, file) < size) {
                result = false;
                break;
            }
        }
        if (!builder->next())
            break;
    }
    fclose(file);
    return result;
}

IGDataSupervisor* MonoDeviceSupervisor::clone()
{
    std::unique_ptr<MediaDefinition> mediaCopy(new (std::nothrow) MediaDefinition(*media));
    std::unique_ptr<IGDataMemoryManager> memCopy(memMgr->clone());
    std::unique_ptr<IGDataOptions> optionsCopy(options->clone());
    std::unique_ptr<MonoDeviceSupervisor> copy;
    if (mediaCopy != nullptr && memCopy != nullptr && optionsCopy != nullptr) {
        try {
            copy.reset(new (std::nothrow)
                           MonoDeviceSupervisor(classType, mediaCopy.get(), memCopy.get(), nullptr, optionsCopy.get()));
        } catch (const NullException&) {
            // a type without data manager of its own
        }
    }
    if (copy == nullptr) {
        // in the order they were made
        mediaCopy.reset();
        memCopy.reset();
        optionsCopy.reset();
        return nullptr;
    }
    copy->ownMedia = std::move(mediaCopy);
    copy->ownMemMgr = std::move(memCopy);
    copy->ownOptions = std::move(optionsCopy);
    copy->dataMgr->setOrientation(dataMgr->getOrientation(), copy->media);
    return copy.release();
}

} // namespace tavgdi

namespace TavFactory {

std::unique_ptr<tavgdi::IGDataSupervisor> FactoryGDataSupervisor(SupervisorType type, tavgdi::MediaDefinition* media,
                                                                 tavgdi::IGDataOptions* options)
{
    using namespace tavgdi;
    // No data manager exists for an unknown type: no supervisor either.
    if (type < DbColorSupervisor || type >= UndefinedSupervisor)
        return nullptr;
    return makeLogged<MonoDeviceSupervisor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MonoDeviceSupervisor \tPTR: %lx\r\n", type, media, nullptr, nullptr,
        options);
}

} // namespace TavFactory
