#include "processors/StandardSmoothingProcessor.h"

#include <cstring>

#include "Allocator.h"
#include "InternalLog.h"
#include "MediaDefinition.h"
#include "image/IGDataMemoryManager.h"

namespace tavgdi {

const int StandardSmoothingProcessor::SharpenPattern[PatternSize][PatternSize] = {
    {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}, {-1, -1, 49, -1, -1}, {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1},
};

StandardSmoothingProcessor::StandardSmoothingProcessor(IGDataProcessor* parent) : GenericCompositeProcessor(parent)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] +StandardSmoothingProcessor (%lx)\r\n", LOGPTR(this));
}

StandardSmoothingProcessor::~StandardSmoothingProcessor()
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][Object LifeLine] -StandardSmoothingProcessor (%lx)\r\n", LOGPTR(this));
}

void StandardSmoothingProcessor::smooth(byte* colorPanel, byte* lpbDataOut, dword area, dword width, dword height)
{
    if (colorPanel == nullptr || lpbDataOut == nullptr)
        return;
    if (static_cast<unsigned long long>(width) * height > area)
        return;
    memcpy(lpbDataOut, colorPanel, area);

    int factor = 0;
    for (int i = 0; i < PatternSize; ++i)
        for (int j = 0; j < PatternSize; ++j)
            factor += SharpenPattern[i][j];
    if (factor == 0)
        factor = 1;

    const long long w = width;
    const long long h = height;
    const size_t stride = height;
    for (long long x = 2; x < w - 2; ++x) {
        for (long long y = 2; y < h - 2; ++y) {
            const byte* corner = colorPanel + static_cast<size_t>(x - 2) * stride + static_cast<size_t>(y - 2);
            int sum = 0;
            for (int i = 0; i < PatternSize; ++i) {
                const byte* column = corner + static_cast<size_t>(i) * stride;
                const int* weights = SharpenPattern[i];
                for (int j = 0; j < PatternSize; ++j)
                    sum += weights[j] * column[j];
            }
            int value = sum / factor; // truncates towards zero
            if (value < 0)
                value = 0;
            else if (value > 255)
                value = 255;
            lpbDataOut[static_cast<size_t>(x) * stride + static_cast<size_t>(y)] = static_cast<byte>(value);
        }
    }
    memcpy(colorPanel, lpbDataOut, area);
}

bool StandardSmoothingProcessor::process(IGDataManager* dataMgr, IGDataMemoryManager* memMgr, MediaDefinition* media)
{
    InternalLog::print(L"[TAVRIN UNIDRIVER][StandardSmoothingProcessor::process]\r\n");
    if (memMgr == nullptr || media == nullptr || memMgr->getSize() != media->getColorDataSize())
        return false;
    const dword area = media->getArea();
    byte* buffer = memMgr->getBuffer(0);
    if (buffer != nullptr) {
        // One work plane serves the three planes; without it nothing is filtered.
        byte* work = Allocator::alloc(area);
        if (work != nullptr) {
            for (int plane = 0; plane < 3; ++plane)
                smooth(buffer + static_cast<size_t>(plane) * area, work, area, media->getWidth(), media->getHeight());
            Allocator::desalloc(work);
        }
    }
    return processNext(true, dataMgr, memMgr, media);
}

} // namespace tavgdi
