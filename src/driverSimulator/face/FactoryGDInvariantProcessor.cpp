#include "face/FactoryGDInvariantProcessor.h"

#include "InternalLog.h"
#include "MediaDefinition.h"
#include "OptionsDefinition.h"
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

IGDInvariantProcessor* FactoryGDInvariantProcessor::build(IGDataOptions* options, MediaDefinition* media,
                                                          IProcessorType type)
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

IGDInvariantProcessor* FactoryGDInvariantProcessor::colorBuild(IGDataOptions* options, MediaDefinition* media)
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

    IGDInvariantProcessor* pida = new GdInvariantPIDAProcessor(media->getArea(), 0, nullptr);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPIDAProcessor \tPTR: %lx\r\n",
                       LOGPTR(pida));

    IGDInvariantProcessor* shortPsp =
        new GdInvariantPspProcessor("Psp", nullptr, options->getOption(ShortPanelManagement), globalPspValue, 0,
                                    blackLevel, 0, mediaW, pida);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspProcessor \tPTR: %lx\r\n",
                       LOGPTR(shortPsp));

    IGDInvariantProcessor* colourPsp = new GdInvariantPspProcessor(
        "Psplc;c;x;s", "Psplc;c;x;e", options->getOption(ColorPanelManagement), globalPspXSValue, globalPspXEValue,
        blackLevel, 0, mediaW, shortPsp);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspProcessor \tPTR: %lx\r\n",
                       LOGPTR(colourPsp));

    IGDInvariantProcessor* overlayPsp = new GdInvariantPspOverlayProcessor(
        options->getOption(OverlayPanelManagement), globalPspOverlayXSValue, globalPspOverlayXEValue,
        globalPspOverlayYSValue, globalPspOverlayYEValue, blackLevel, 0, mediaW, mediaH, colourPsp);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspOverlayProcessor \tPTR: %lx\r\n",
                       LOGPTR(overlayPsp));
    return overlayPsp;
}

IGDInvariantProcessor* FactoryGDInvariantProcessor::monoBuild(IGDataOptions* options, MediaDefinition* media)
{
    using namespace TavGdiOptions;
    if (!checkParameters(options, media))
        return nullptr;

    IGDInvariantProcessor* monoPsp = new GdInvariantPspProcessor(
        "Psplc;k;x;s", "Psplc;k;x;e", options->getOption(MonoPanelManagement), options->getOption(MonoPanelGlobalShiftXS),
        options->getOption(MonoPanelGlobalShiftXE), blackLevelOf(options), 0, media->getWidth(), nullptr);
    InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - GdInvariantPspProcessor \tPTR: %lx\r\n",
                       LOGPTR(monoPsp));
    return monoPsp;
}

} // namespace tavgdi
