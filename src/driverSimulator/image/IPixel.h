// The value of one dot in ink terms (0 no ink, 255 full ink) and the
// class-wide levels that decide what counts as black or dark.
#pragma once

#include "Windows.h"

namespace tavgdi {

class IPixel {
public:
    virtual void set(byte y, byte m, byte c) = 0;
    virtual void set(bool black) = 0;
    virtual byte getY() const = 0;
    virtual byte getM() const = 0;
    virtual byte getC() const = 0;
    virtual bool isBlack() const = 0;
    virtual bool isDark() const = 0;
    virtual bool isColorDevice() const = 0;
    virtual ~IPixel();

    static void setThreshold(byte value) { Threshold = value; }
    static byte getThreshold() { return Threshold; }
    static void setBlackLevel(byte value);
    static byte getBlackLevel() { return BlackLevel; }
    static void setDarkLevel(byte value);
    static byte getDarkLevel() { return DarkLevel; }

    static const byte DefaultThreshold = 126;
    static const byte DefaultBlackLevel = 253;
    static const byte DefaultDarkLevel = 200;

    // Shared by every pixel; set per face by the face processing.
    static byte Threshold;
    static byte BlackLevel;
    static byte DarkLevel;

protected:
    IPixel() = default;
    IPixel(const IPixel&) = default;
    IPixel& operator=(const IPixel&) = default;
};

} // namespace tavgdi
