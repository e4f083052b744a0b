#include "pipeline/GRect.h"

namespace tavgdi {

namespace {
inline dword notNegative(int v)
{
    return v < 0 ? 0u : static_cast<dword>(v);
}
} // namespace

GRect::GRect(int l, int t, int r, int b, byte level, int imageBandID)
    : left(notNegative(l)), right(notNegative(r)), top(notNegative(t)), bottom(notNegative(b)),
      blackLevel(static_cast<char>(level)), relativeImageBandID(imageBandID)
{
}

GRect::~GRect() = default;

} // namespace tavgdi
