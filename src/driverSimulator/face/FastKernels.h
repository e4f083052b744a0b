// Which kernel serves an operation. Each operation has its generic kernel,
// which goes through the virtual pixel interfaces and takes any supervisor,
// and at most one fast kernel, which works on the bytes of the exact types it
// knows (the data supervisor with one of the three CR80 data managers over a
// plain memory manager) and leaves them as the generic kernel would. The
// choice is made here, and only here are concrete types looked at: a
// subclass may address its dots in its own way, so it gets the generic path.
#pragma once

#include <cstddef>

#include "face/IGRasterOperation.h"
#include "face/RasterAccess.h"

namespace tavgdi {

class CR80BmpParser;
class CR80ColorBmpManager;
class CR80MonoDataManager;
class Convert8to7bitProcessor;
class GDMemoryManager;
class IFactoryGDProcessor;
class IGDataManager;
class IGDataMemoryManager;
class IGDataParser;
class IGDataProcessor;
class MonoDeviceSupervisor;

namespace FastKernels {

enum Operation {
    ColourCopy,           // StandardRasterOperation
    BlackWithMemory,      // StandardRasterOperationWithMem
    BlackWithFixedColour, // StandardRasterOperationWithFixedColor
    PanelMeasure,         // TrivialRasterOperationWithInvariant
    Thresholding,         // ThresholdingRasterOperation
    Dithering,            // DitheringRasterOperation
    ClusteredDithering,   // OrderedClusteredDotDitheringRasterOperation
    ErrorDiffusion,       // FloydRasterOperation
    GrayConversion,       // RGBToGrayProcessor
};

// A layout in a set of layouts.
constexpr unsigned bit(RasterAccess::Layout l)
{
    return 1u << l;
}

struct Kernel {
    Operation operation;
    const char* name;
    unsigned from;                  // the source layouts it reads; 0: the source is not read
    unsigned to;                    // the target layouts it writes or reads
    PixelOperation::PixelOp ops[2]; // the pixel operations it stands for; none: any
};

// The registered fast kernels, at most one per operation.
const Kernel* begin();
const Kernel* end();

// The area a raster operation projects its dots from: when both projections
// are known, their axes in X and Y.
struct Projection {
    GraphicalConstants::CoordinateTransform Wtransform;
    GraphicalConstants::CoordinateTransform Htransform;
    dword W;
    dword H;
    AffineAxis X;
    AffineAxis Y;
};

// The fast kernel that serves `operation` from `from` to `to` with pixel
// operation `op` (and projection `p`, when given), or null: the generic one.
const Kernel* choose(Operation operation, const RasterAccess& from, const RasterAccess& to,
                     PixelOperation::PixelOp op = nullptr, Projection* p = nullptr);

// The exact types the fast kernels and the shortcuts around them rely on;
// null (or None) for any other type, a subclass included.
RasterAccess::Layout layoutOf(IGDataSupervisor* supervisor, IGDataManager*& manager, IGDataMemoryManager*& memory);
RasterAccess::Layout layoutOf(IGDataManager* manager, IGDataMemoryManager*& memory);
GDMemoryManager* plainMemory(IGDataMemoryManager* memory);
MonoDeviceSupervisor* dataSupervisor(IGDataSupervisor* supervisor);
Convert8to7bitProcessor* sevenBitPacking(IGDataProcessor* processor);
// The picture parser when the supervisor's processors change nothing: the
// picture can then be read where it is.
CR80BmpParser* unprocessedPicture(IGDataParser* parser, IFactoryGDProcessor* processors);
// The one-bit manager, a subclass included.
const CR80MonoDataManager* oneBitManager(const IGDataManager* manager);

} // namespace FastKernels
} // namespace tavgdi
