#include "GlobalFactory.h"
#include "InternalLog.h"
#include "Owned.h"
#include "image/ColorPixel.h"
#include "image/MonochromePixel.h"

namespace TavFactory {

std::unique_ptr<tavgdi::IPixel> FactoryPixel(SupervisorType type, byte y, byte m, byte c)
{
    using namespace tavgdi;
    switch (type) {
    case DbColorSupervisor:
    case BmpColorSupervisor:
    case BmpGraySupervisor: {
        return makeLogged<ColorPixel>(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - ColorPixel \tPTR: %lx\r\n", y, m, c);
    }
    case DbMonochromeSupervisor:
    case DbOverlaySupervisor:
    case BmpMonochromeSupervisor: {
        // Strictly above the black level, unlike ColorPixel::isBlack.
        const int sum = static_cast<int>(y) + m + c;
        return makeLogged<MonochromePixel>(L"[TAVRIN UNIDRIVER MEM] ALLOCATOR MEM - MonochromePixel \tPTR: %lx\r\n",
                                           sum > 3 * static_cast<int>(IPixel::getBlackLevel()));
    }
    default:
        return nullptr;
    }
}

} // namespace TavFactory
