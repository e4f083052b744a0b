#include "GlobalFactory.h"
#include "InternalLog.h"
#include "image/ColorPixel.h"
#include "image/MonochromePixel.h"

namespace TavFactory {

tavgdi::IPixel* FactoryPixel(SupervisorType type, byte y, byte m, byte c)
{
    using namespace tavgdi;
    switch (type) {
    case DbColorSupervisor:
    case BmpColorSupervisor:
    case BmpGraySupervisor: {
        ColorPixel* pixel = new ColorPixel(y, m, c);
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - ColorPixel \tPTR: %lx\r\n", LOGPTR(pixel));
        return pixel;
    }
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
    case BmpMonochromeSupervisor: {
        // Strictly above the black level, unlike ColorPixel::isBlack.
        const int sum = static_cast<int>(y) + m + c;
        MonochromePixel* pixel = new MonochromePixel(sum > 3 * static_cast<int>(IPixel::getBlackLevel()));
        InternalLog::print(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MonochromePixel \tPTR: %lx\r\n",
                           LOGPTR(pixel));
        return pixel;
    }
    default:
        return nullptr;
    }
}

} // namespace TavFactory
