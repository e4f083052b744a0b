#include "face/FactoryGDInvariantProcessor.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
#include "Owned.h"
#include "face/GdInvariantPIDAProcessor.h"
#include "face/GdInvariantPspProcessor.h"
#include "settings/IGDataOptions.h"

namespace tavgdi {

namespace {

bool checkParameters(IGDataOptions* options, MediaDefinition* media)
{
    if (options != nullptr && media != nullptr)
        return true;
    InternalLog::print(L"[TAVRIN UNIDRIVER][FactoryGDInvariantProcessor] WARNING - NULL parameter - returns NULL - "
                       L"options: %lx media: %lx\r\n",
                       LOGPTR(options), LOGPTR(media));
    return false;
}

// The black level is only meaningful when black is managed.
int blackLevelOf(IGDataOptions* options)
{
    if (options->getOption(TavGdiOptions::BlackManagement) == TavGdiOptions::NoValue)
        return 0;
    return options->getOption(TavGdiOptions::BlackLevelValue);
}

} // namespace

FactoryGDInvariantProcessor::FactoryGDInvariantProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +FactoryGDInvariantProcessor (%lx)\r\n", LOGPTR(this));
}

FactoryGDInvariantProcessor::~FactoryGDInvariantProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -FactoryGDInvariantProcessor (%lx)\r\n", LOGPTR(this));
}

std::unique_ptr<IGDInvariantProcessor> FactoryGDInvariantProcessor::build(IGDataOptions* options,
                                                                          MediaDefinition* media, IProcessorType type)
{
    switch (type) {
    case colorProcessor:
        return colorBuild(options, media);
    case monoProcessor:
        return monoBuild(options, media);
    default:
        return nullptr;
    }
}

std::unique_ptr<IGDInvariantProcessor> FactoryGDInvariantProcessor::colorBuild(IGDataOptions* options,
                                                                               MediaDefinition* media)
{
    using namespace TavGdiOptions;
    if (!checkParameters(options, media))
        return nullptr;

    const int globalPspValue = options->getOption(ShortPanelGlobalShift);
    const int globalPspXSValue = options->getOption(ColorPanelGlobalShiftXS);
    const int globalPspXEValue = options->getOption(ColorPanelGlobalShiftXE);
    const int globalPspOverlayXSValue = options->getOption(OverlayPanelGlobalShiftXS);
    const int globalPspOverlayXEValue = options->getOption(OverlayPanelGlobalShiftXE);
    const int globalPspOverlayYSValue = options->getOption(OverlayPanelGlobalShiftYS);
    const int globalPspOverlayYEValue = options->getOption(OverlayPanelGlobalShiftYE);
    const int blackLevel = blackLevelOf(options);
    const dword mediaW = media->getWidth();
    const dword mediaH = media->getHeight();

    // Each link owns the one before it.
    IGDInvariantProcessor* none = nullptr;
    const char* noText = nullptr;
    std::unique_ptr<IGDInvariantProcessor> pida = makeLogged<GdInvariantPIDAProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPIDAProcessor \tPTR: %lx\r\n", media->getArea(), 0, none);

    std::unique_ptr<IGDInvariantProcessor> shortPsp = makeLogged<GdInvariantPspProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspProcessor \tPTR: %lx\r\n", "Psp", noText,
        options->getOption(ShortPanelManagement), globalPspValue, 0, blackLevel, 0, mediaW, pida.release());

    std::unique_ptr<IGDInvariantProcessor> colourPsp = makeLogged<GdInvariantPspProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspProcessor \tPTR: %lx\r\n", "Psplc;c;x;s", "Psplc;c;x;e",
        options->getOption(ColorPanelManagement), globalPspXSValue, globalPspXEValue, blackLevel, 0, mediaW,
        shortPsp.release());

    return makeLogged<GdInvariantPspOverlayProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspOverlayProcessor \tPTR: %lx\r\n",
        options->getOption(OverlayPanelManagement), globalPspOverlayXSValue, globalPspOverlayXEValue,
        globalPspOverlayYSValue, globalPspOverlayYEValue, blackLevel, 0, mediaW, mediaH, colourPsp.release());
}

std::unique_ptr<IGDInvariantProcessor> FactoryGDInvariantProcessor::monoBuild(IGDataOptions* options,
                                                                              MediaDefinition* media)
{
    using namespace TavGdiOptions;
    if (!checkParameters(options, media))
        return nullptr;

    IGDInvariantProcessor* none = nullptr;
    return makeLogged<GdInvariantPspProcessor>(
        L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspProcessor \tPTR: %lx\r\n", "Psplc;k;x;s", "Psplc;k;x;e",
        options->getOption(MonoPanelManagement), options->getOption(MonoPanelGlobalShiftXS),
        options->getOption(MonoPanelGlobalShiftXE), blackLevelOf(options), 0, media->getWidth(), none);
}

} // namespace tavgdi
