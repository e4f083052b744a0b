// Measures a finished panel dot by dot and formats the commands that
// describe it (panel shifts, ink usage).
#pragma once

namespace tavgdi {

class IPixel;

class IGDInvariantProcessor {
public:
    virtual void updateInvariantByPixel(int w, int h, IPixel* pixel) = 0;
    // The command text, or null when there is none.
    virtual char* getInvariant() = 0;
    virtual void resetCounters() = 0;
    virtual ~IGDInvariantProcessor() {}
};

} // namespace tavgdi
