#include "face/PixelOperation.h"

#include "image/IPixel.h"

namespace PixelOperation {

tavgdi::IPixel* copy(tavgdi::IPixel* /*dest*/, tavgdi::IPixel* src)
{
    return src;
}

tavgdi::IPixel* copyBlackPoint(tavgdi::IPixel* dest, tavgdi::IPixel* src)
{
    if (dest != nullptr && src != nullptr && src->isBlack())
        dest->set(true);
    return dest;
}

tavgdi::IPixel* copyColorBW(tavgdi::IPixel* dest, tavgdi::IPixel* src)
{
    if (dest != nullptr && src != nullptr)
        dest->set(!src->isBlack());
    return dest;
}

} // namespace PixelOperation
