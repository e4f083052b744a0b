#include "image/ColorPixel.h"

#include "InternalLog.h"

namespace tavgdi {

ColorPixel::ColorPixel(byte y_, byte m_, byte c_) : y(y_), m(m_), c(c_)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +ColorPixel (%lx)\r\n", LOGPTR(this));
}

ColorPixel::ColorPixel(const ColorPixel& other) : IPixel(other), y(other.y), m(other.m), c(other.c)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +ColorPixel (%lx)\r\n", LOGPTR(this));
}

ColorPixel::~ColorPixel()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -ColorPixel (%lx)\r\n", LOGPTR(this));
}

} // namespace tavgdi
