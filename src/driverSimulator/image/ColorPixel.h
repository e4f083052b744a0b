// A dot of a colour panel: yellow, magenta and cyan ink amounts.
#pragma once

#include "image/IPixel.h"

namespace tavgdi {

class ColorPixel : public IPixel {
public:
    ColorPixel(byte y, byte m, byte c);
    ColorPixel(const ColorPixel& other);
    ColorPixel& operator=(const ColorPixel& other) = default;
    ~ColorPixel() override;

    void set(byte y_, byte m_, byte c_) override
    {
        y = y_;
        m = m_;
        c = c_;
    }
    void set(bool black) override { y = m = c = black ? 255 : 0; }
    byte getY() const override { return y; }
    byte getM() const override { return m; }
    byte getC() const override { return c; }
    // Black or dark when the ink average reaches the class-wide level.
    bool isBlack() const override { return sum() >= 3 * static_cast<int>(BlackLevel); }
    bool isDark() const override { return sum() >= 3 * static_cast<int>(DarkLevel); }
    bool isColorDevice() const override { return true; }

    byte y;
    byte m;
    byte c;

private:
    int sum() const { return static_cast<int>(y) + m + c; }
};

} // namespace tavgdi
