// A dot of a one-bit panel: black or white.
#pragma once

#include "image/IPixel.h"

namespace tavgdi {

class MonochromePixel : public IPixel {
public:
    explicit MonochromePixel(bool black);
    MonochromePixel(const MonochromePixel& other);
    MonochromePixel& operator=(const MonochromePixel& other) = default;
    ~MonochromePixel() override;

    // Any ink at all makes the dot black.
    void set(byte y, byte m, byte c) override { isBlackPixel = (y | m | c) != 0; }
    void set(bool black) override { isBlackPixel = black; }
    byte getY() const override { return isBlackPixel ? 255 : 0; }
    byte getM() const override { return isBlackPixel ? 255 : 0; }
    byte getC() const override { return isBlackPixel ? 255 : 0; }
    bool isBlack() const override { return isBlackPixel; }
    bool isDark() const override { return isBlackPixel; }
    bool isColorDevice() const override { return false; }

    bool isBlackPixel;
};

} // namespace tavgdi
