#include "image/IPixel.h"

#include "InternalLog.h"

namespace tavgdi {

byte IPixel::Threshold = IPixel::DefaultThreshold;
byte IPixel::BlackLevel = IPixel::DefaultBlackLevel;
byte IPixel::DarkLevel = IPixel::DefaultDarkLevel;

IPixel::~IPixel() = default;

void IPixel::setBlackLevel(byte value)
{
    BlackLevel = value;
    InternalLog::print(L"[TAVRIN UNIDRIVER][IPixel::setBlackLevel] BlackLevel - %u\r\n", (unsigned)value);
}

void IPixel::setDarkLevel(byte value)
{
    DarkLevel = value;
    InternalLog::print(L"[TAVRIN UNIDRIVER][IPixel::setDarkLevel] DarkLevel - %u\r\n", (unsigned)value);
}

} // namespace tavgdi
