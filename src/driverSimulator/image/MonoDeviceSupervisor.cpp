#include "image/MonoDeviceSupervisor.h"

#include <cstdio>
#include <new>

#include "Exceptions/NullException.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
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
                                           IGDataMemoryManager* memMgr_, IGDataManager* dataMgr_,
                                           IGDataOptions* optMgr)
    : dataMgr(dataMgr_), options(optMgr), memMgr(memMgr_), isInternalDataMgr(false), isInternalOptionsMgr(false),
      isInternalMemMgr(false), isInternalMedia(false), factoryProcessor(nullptr), classType(type),
      commonPixel(nullptr), media(media_), isRasterBorrowed(false)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +MonoDeviceSupervisor (%lx) \tDependancy: "
                       L"MediaDefinition(%lx), IGDataMemoryManager(%lx), IGDataManager(%lx), IGDataOptions(%lx)\r\n",
                       LOGPTR(this), LOGPTR(media_), LOGPTR(memMgr_), LOGPTR(dataMgr_), LOGPTR(optMgr));
    commonPixel = TavFactory::FactoryPixel(type, 0, 0, 0);

    const char* failure = nullptr;
    if (media == nullptr) {
        media = new (std::nothrow) MediaDefinition(
            positiveOption(optMgr, TavGdiOptions::DpiX, MediaDefinition::StdDpi),
            positiveOption(optMgr, TavGdiOptions::DpiY, MediaDefinition::StdDpi),
            positiveOption(optMgr, TavGdiOptions::PaperSizeW, MediaDefinition::CR80Width),
            positiveOption(optMgr, TavGdiOptions::PaperSizeH, MediaDefinition::CR80Height));
        if (media != nullptr) {
            isInternalMedia = true;
            InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MediaDefinition from MonoDeviceSupervisor\tPTR: "
                               L"%lx\r\n",
                               LOGPTR(media));
        } else {
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null MediaDefinition";
        }
    }
    if (failure == nullptr && memMgr == nullptr) {
        memMgr = TavFactory::FactoryMemoryManager();
        if (memMgr != nullptr)
            isInternalMemMgr = true;
        else
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null MemoryManager";
    }
    if (failure == nullptr && dataMgr == nullptr) {
        dataMgr = TavFactory::FactoryDataManager(type, memMgr, media);
        if (dataMgr != nullptr)
            isInternalDataMgr = true;
        else
            failure = "[MonoDeviceSupervisor::MonoDeviceSupervisor] Null DataManager";
    }
    if (failure == nullptr && options == nullptr) {
        options = TavFactory::FactoryDataOptions(type);
        if (options != nullptr)
            isInternalOptionsMgr = true;
        else
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
    if (isInternalDataMgr) {
        if (logged)
            InternalLog::print(L"[TAVRIN UNIDRIVER MEM] dataMgr FREE - \t\tPTR: %lx\r\n", LOGPTR(dataMgr));
        delete dataMgr;
    }
    dataMgr = nullptr;
    if (isInternalMemMgr) {
        if (logged)
            InternalLog::print(L"[TAVRIN UNIDRIVER MEM] memMgr FREE - \t\tPTR: %lx\r\n", LOGPTR(memMgr));
        delete memMgr;
    }
    memMgr = nullptr;
    if (isInternalOptionsMgr) {
        if (logged)
            InternalLog::print(L"[TAVRIN UNIDRIVER MEM] options FREE - \t\tPTR: %lx\r\n", LOGPTR(options));
        delete options;
    }
    options = nullptr;
    if (isInternalMedia) {
        if (logged)
            InternalLog::print(L"[TAVRIN UNIDRIVER MEM] media FREE - \t\tPTR: %lx\r\n", LOGPTR(media));
        delete media;
    }
    media = nullptr;
    isInternalDataMgr = isInternalMemMgr = isInternalOptionsMgr = isInternalMedia = false;
    if (logged) {
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] commonPixel FREE - \t\tPTR: %lx\r\n", LOGPTR(commonPixel));
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] factoryProcessor FREE - \t\tPTR: %lx\r\n",
                           LOGPTR(factoryProcessor));
    }
    delete commonPixel;
    commonPixel = nullptr;
    delete factoryProcessor;
    factoryProcessor = nullptr;
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
    dataMgr->getPixel(w, h, commonPixel);
    return commonPixel;
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
    IGDataProcessor* chain = factoryProcessor->build(options, IFactoryGDProcessor::inputProcessor);
    if (chain == nullptr)
        return true;
    const bool result = chain->process(dataMgr, memMgr, media);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] processor FREE - \t\tPTR: %lx\r\n", LOGPTR(chain));
    delete chain;
    return result;
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
                       LOGPTR(this), LOGPTR(buffer), (unsigned long)size, (unsigned long)width,
                       (unsigned long)height, isColorDevice ? 1 : 0);
    IGDataParser* parser = TavFactory::FactoryDataParser(classType, memMgr, Unaligned);
    if (parser == nullptr)
        return false;
    // A colour picture that no input processor changes, and that the caller
    // lends: read where it is.
    CR80BmpParser* picture = FastKernels::unprocessedPicture(parser, factoryProcessor);
    if (isRasterBorrowed && classType == TavFactory::BmpColorSupervisor && picture != nullptr)
        picture->setReadsInPlace(true);
    bool result = false;
    if (!parser->parse(buffer, size, width, height, isColorDevice, options, media))
        InternalLog::print(L"[TAVRIN UNIDRIVER][MonoDeviceSupervisor::setRaster] WARNING - (ptr:%lx) failed\r\n",
                           LOGPTR(this));
    else
        result = afterParse(parser);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] parser FREE - \t\tPTR: %lx\r\n", LOGPTR(parser));
    delete parser;
    return result;
}

bool MonoDeviceSupervisor::load(void* input, bool isFileStream)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][MonoDeviceSupervisor::load] (ptr:%lx)\r\n", LOGPTR(this));
    if (input == nullptr)
        return false;
    IGDataParser* parser = TavFactory::FactoryDataParser(classType, memMgr, Unaligned);
    if (parser == nullptr)
        return false;
    const bool parsed = isFileStream ? parser->parse(static_cast<FILE*>(input), options, media)
                                     : parser->parse(static_cast<const char*>(input), options, media);
    const bool result = parsed && afterParse(parser);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] parser FREE - \t\tPTR: %lx\r\n", LOGPTR(parser));
    delete parser;
    return result;
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
    IGDataOutputBuilder* builder = TavFactory::FactoryOutputBuilder(classType, options, memMgr, dataMgr);
    if (builder == nullptr)
        return nullptr;
    IGDataProcessor* chain = factoryProcessor->build(options, IFactoryGDProcessor::outputProcessor);
    builder->init(chain);
    if (chain != nullptr) {
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] processor FREE - \t\tPTR: %lx\r\n", LOGPTR(chain));
        delete chain;
    }
    return builder;
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
    IGDataOutputBuilder* builder = getIGDataOutputBuilder();
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
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] outbuilder FREE - \t\tPTR: %lx\r\n", LOGPTR(builder));
    delete builder;
    return result;
}

IGDataSupervisor* MonoDeviceSupervisor::clone()
{
    MediaDefinition* mediaCopy = new (std::nothrow) MediaDefinition(*media);
    IGDataMemoryManager* memCopy = memMgr->clone();
    IGDataOptions* optionsCopy = options->clone();
    MonoDeviceSupervisor* copy = nullptr;
    if (mediaCopy != nullptr && memCopy != nullptr && optionsCopy != nullptr) {
        try {
            copy = new (std::nothrow) MonoDeviceSupervisor(classType, mediaCopy, memCopy, nullptr, optionsCopy);
        } catch (const NullException&) {
            copy = nullptr; // a type without data manager of its own
        }
    }
    if (copy == nullptr) {
        delete mediaCopy;
        delete memCopy;
        delete optionsCopy;
        return nullptr;
    }
    copy->isInternalMedia = copy->isInternalMemMgr = copy->isInternalOptionsMgr = true;
    copy->dataMgr->setOrientation(dataMgr->getOrientation(), mediaCopy);
    return copy;
}

} // namespace tavgdi

namespace TavFactory {

tavgdi::IGDataSupervisor* FactoryGDataSupervisor(SupervisorType type, tavgdi::MediaDefinition* media,
                                                 tavgdi::IGDataOptions* options)
{
    using namespace tavgdi;
    // No data manager exists for an unknown type: no supervisor either.
    if (type < DbColorSupervisor || type >= UndefinedSupervisor)
        return nullptr;
    IGDataSupervisor* supervisor = new MonoDeviceSupervisor(type, media, nullptr, nullptr, options);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MonoDeviceSupervisor \tPTR: %lx\r\n",
                       LOGPTR(supervisor));
    return supervisor;
}

} // namespace TavFactory
