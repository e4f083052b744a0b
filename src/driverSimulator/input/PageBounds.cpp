#include "input/PageBounds.h"

#include "MediaDefinition.h"

namespace tavgdi {

PageBounds::Verdict PageBounds::check(dword width, dword height, const MediaDefinition* media)
{
    const unsigned long long dots = static_cast<unsigned long long>(width) * height;
    const unsigned long long cardDots =
        media != nullptr ? static_cast<unsigned long long>(media->getWidth()) * media->getHeight() : 0;
    if (cardDots > 0 && dots > MaxPageToCardRatio * cardDots)
        return LargerThanCard;
    if (stride(width) * height > MaxFaceBufferBytes)
        return LargerThanBuffer;
    return Fits;
}

} // namespace tavgdi
