#include "MediaDefinition.h"

#include <climits>

#include "InternalLog.h"

namespace tavgdi {

MediaDefinition::MediaDefinition(dword dpiX, dword dpiY, dword CRWidth, dword CRHeight)
    : _Width(0), _Height(0), _Area(0), _ColorDataSize(0), _MonochromeDataSize(0), _DpiX(0), _DpiY(0), _CRWidth(0),
      _CRHeight(0)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +MediaDefinition (%lx)\r\n", LOGPTR(this));
    setResolution(dpiX, dpiY, CRWidth, CRHeight);
}

MediaDefinition::MediaDefinition(const MediaDefinition& other)
    : _Width(other._Width), _Height(other._Height), _Area(other._Area), _ColorDataSize(other._ColorDataSize),
      _MonochromeDataSize(other._MonochromeDataSize), _DpiX(other._DpiX), _DpiY(other._DpiY), _CRWidth(other._CRWidth),
      _CRHeight(other._CRHeight)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +MediaDefinition (%lx)\r\n", LOGPTR(this));
}

MediaDefinition::~MediaDefinition()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -MediaDefinition (%lx)\r\n", LOGPTR(this));
}

void MediaDefinition::setResolution(dword dpiX, dword dpiY, dword CRWidth, dword CRHeight)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][MediaDefinition::setResolution] (ptr:%lx, dpiX:%lu, dpiY:%lu, "
                       L"CRWidth:%lu, CRHeight:%lu)\r\n",
                       LOGPTR(this), (unsigned long)dpiX, (unsigned long)dpiY, (unsigned long)CRWidth,
                       (unsigned long)CRHeight);
    _DpiX = dpiX;
    _DpiY = dpiY;
    _CRWidth = CRWidth;
    _CRHeight = CRHeight;
    _Width = ComputeLengthFromDpi(_CRWidth, dpiX);
    _Height = ComputeLengthFromDpi(_CRHeight, dpiY);

    // Card sizes come from job settings: an absurd one (whose lengths would
    // wrap in 32 bits or ask for gigabytes of panels) makes the card empty,
    // which every consumer refuses.
    if (_CRWidth > MaxCardSideDots || _CRHeight > MaxCardSideDots || _Width > MaxCardSideDots ||
        _Height > MaxCardSideDots) {
        InternalLog::print(L"[TAVRIN UNIDRIVER][MediaDefinition::setResolution] WARNING - card too large - "
                           L"Width:%lu Height:%lu\r\n",
                           (unsigned long)_Width, (unsigned long)_Height);
        _Width = 0;
        _Height = 0;
    }

    _Area = _Width * _Height;
    _ColorDataSize = 3 * _Area;
    _MonochromeDataSize = _Area >> 3;
    InternalLog::print(
        L"[TAVRIN UNIDRIVER][MediaDefinition::setResolution] Length Computation from DPI - Width:%lu Height:%lu\r\n",
        (unsigned long)_Width, (unsigned long)_Height);
}

dword MediaDefinition::getBMPMonochromeDataSize() const
{
    return static_cast<dword>(ComputeRWidth(static_cast<int>(_Width))) * _Height;
}

bool MediaDefinition::isCompatibleFormat(dword& width, dword& height, GraphicalConstants::CardOrientation& orientation)
{
    if (width == _Width && height == _Height) {
        orientation = GraphicalConstants::Landscape;
        return true;
    }
    if (height == _Width && width == _Height) {
        orientation = GraphicalConstants::Portrait;
        return true;
    }
    InternalLog::print(
        L"[TAVRIN UNIDRIVER][MediaDefinition::isCompatibleFormat] WARNING - return FALSE - Width:%lu Height:%lu\r\n",
        (unsigned long)width, (unsigned long)height);
    computeBestPageSetup(width, height, orientation);
    return false;
}

MediaDefinition::WideError MediaDefinition::squaredError(dword x, dword y) const
{
    // Each difference fits 33 bits, so the sum of squares fits 128.
    const WideError errX = static_cast<WideError>(x) - static_cast<WideError>(_Width);
    const WideError errY = static_cast<WideError>(y) - static_cast<WideError>(_Height);
    return errX * errX + errY * errY;
}

int MediaDefinition::computeError(dword x, dword y) const
{
    const WideError err = squaredError(x, y);
    return err > static_cast<WideError>(INT_MAX) ? INT_MAX : static_cast<int>(err);
}

void MediaDefinition::computeBestPageSetup(dword& width, dword& height,
                                           GraphicalConstants::CardOrientation& orientation)
{
    // Compared at full width so that very large pictures still pick the
    // nearer setup; a tie goes to landscape.
    const WideError errLanscape = squaredError(width, height);
    const WideError errPortrait = squaredError(height, width);
    if (errLanscape <= errPortrait) {
        orientation = GraphicalConstants::Landscape;
        width = _Width;
        height = _Height;
    } else {
        orientation = GraphicalConstants::Portrait;
        height = _Width;
        width = _Height;
    }
}

int MediaDefinition::Next4Multiple(int num)
{
    return static_cast<int>((static_cast<dword>(num) + 3u) & ~3u);
}

int MediaDefinition::ComputeRWidth(int width)
{
    return static_cast<int>(((static_cast<long long>(width) + 31) >> 5) * 4);
}

dword MediaDefinition::to7bits(dword size)
{
    return (size >> 3) * 7;
}

dword MediaDefinition::ComputeLengthFromDpi(dword stdLength, dword dpi)
{
    return ComputeLengthFromDpiWithVarMedia(stdLength, dpi, StdDpi);
}

dword MediaDefinition::ComputeLengthFromDpiWithVarMedia(dword stdLength, dword dpi, dword varMedia)
{
    if (varMedia == 0)
        return 0;
    const dword product = stdLength * dpi;
    return product / varMedia + (product % varMedia != 0 ? 1 : 0);
}

} // namespace tavgdi
