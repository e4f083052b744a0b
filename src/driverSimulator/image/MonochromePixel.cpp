#include "image/MonochromePixel.h"

#include "InternalLog.h"

namespace tavgdi {

MonochromePixel::MonochromePixel(bool black) : isBlackPixel(black)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +MonochromePixel (%lx)\r\n", LOGPTR(this));
}

MonochromePixel::MonochromePixel(const MonochromePixel& other) : IPixel(other), isBlackPixel(other.isBlackPixel)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +MonochromePixel (%lx)\r\n", LOGPTR(this));
}

MonochromePixel::~MonochromePixel()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -MonochromePixel (%lx)\r\n", LOGPTR(this));
}

} // namespace tavgdi
