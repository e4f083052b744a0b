#include "GraphicalConstants.h"

#include "pipeline/GRect.h"

namespace GraphicalConstants {

void orientationTransform(CardOrientation cardOrientation, int* w, int* h, int W, int H, int Wmax, int Hmax)
{
    if (w == nullptr || h == nullptr)
        return;
    switch (cardOrientation) {
    case Landscape:
        *w = W;
        *h = Hmax - 1 - H;
        break;
    case LandscapeFlip:
        *w = Wmax - 1 - W;
        *h = H;
        break;
    case Portrait:
        *w = Wmax - 1 - H;
        *h = Hmax - 1 - W;
        break;
    case PortraitFlip:
    default:
        *w = H;
        *h = W;
        break;
    }
}

void orientationTransform(CardOrientation cardOrientation, tavgdi::GRect* rect, dword mediaWidth, dword mediaHeight)
{
    if (rect == nullptr)
        return;
    if (mediaWidth == 0 || mediaHeight == 0) {
        // Nothing of the rectangle can lie on an empty media.
        rect->left = rect->right = rect->top = rect->bottom = 0;
        return;
    }

    // Bring the rectangle onto the page first: the page is the media itself
    // in landscape and the media turned by a quarter in the other cases. A
    // rectangle reaching past the page keeps the part that is on it instead
    // of wrapping round through the mirror below.
    const bool axesSwapped = !(cardOrientation == Landscape || cardOrientation == LandscapeFlip);
    const dword pageLastX = (axesSwapped ? mediaHeight : mediaWidth) - 1;
    const dword pageLastY = (axesSwapped ? mediaWidth : mediaHeight) - 1;
    const int left = static_cast<int>(dwmin(rect->left, pageLastX));
    const int right = static_cast<int>(dwmin(rect->right, pageLastX));
    const int top = static_cast<int>(dwmin(rect->top, pageLastY));
    const int bottom = static_cast<int>(dwmin(rect->bottom, pageLastY));

    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    orientationTransform(cardOrientation, &w1, &h1, left, top, static_cast<int>(mediaWidth),
                         static_cast<int>(mediaHeight));
    orientationTransform(cardOrientation, &w2, &h2, right, bottom, static_cast<int>(mediaWidth),
                         static_cast<int>(mediaHeight));

    CoordinateTransform p1 = proj1;
    CoordinateTransform p2 = proj2;
    if (cardOrientation == Portrait || cardOrientation == PortraitFlip) {
        p1 = negLproj1;
        p2 = negLproj2;
    }

    const dword a1 = p1(static_cast<dword>(w1), static_cast<dword>(h1), mediaWidth, mediaHeight);
    const dword a2 = p1(static_cast<dword>(w2), static_cast<dword>(h2), mediaWidth, mediaHeight);
    const dword b1 = p2(static_cast<dword>(w1), static_cast<dword>(h1), mediaWidth, mediaHeight);
    const dword b2 = p2(static_cast<dword>(w2), static_cast<dword>(h2), mediaWidth, mediaHeight);
    const int lastX = static_cast<int>(mediaWidth - 1);
    const int lastY = static_cast<int>(mediaHeight - 1);

    rect->left = clipControl(static_cast<int>(dwmin(a1, a2)), 0, lastX);
    rect->right = clipControl(static_cast<int>(dwmax(a1, a2)), 0, lastX);
    rect->top = clipControl(static_cast<int>(dwmin(b1, b2)), 0, lastY);
    rect->bottom = clipControl(static_cast<int>(dwmax(b1, b2)), 0, lastY);
}

CardOrientation UpdateOrientation(CardOrientation orientation, bool isFlipped)
{
    switch (orientation) {
    case Landscape:
    case LandscapeFlip:
        return isFlipped ? LandscapeFlip : Landscape;
    case Portrait:
    case PortraitFlip:
        return isFlipped ? PortraitFlip : Portrait;
    default:
        return orientation;
    }
}

} // namespace GraphicalConstants
