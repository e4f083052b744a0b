// The raster operations. Each is GRasterOperation with a kind of its own: the
// kind names the operation in its log lines, says how apply() checks what it
// is given and whose media gives the area, and holds the operation's loops.
#pragma once

#include "face/FastKernels.h"
#include "face/IGRasterOperation.h"

namespace tavgdi {

class IGDInvariantProcessor;
class RectWalk;
struct RasterKind;

// One apply(), its arguments checked. Each operation's loops are one member
// function, defined in the operation's own source file.
struct RasterJob {
    IGDataSupervisor* s; // the source; not looked at by the measure
    IGDataSupervisor* t; // the target
    IGDInvariantProcessor* invariant;
    PixelOperation::PixelOp op;
    GraphicalConstants::CoordinateTransform Wtransform;
    GraphicalConstants::CoordinateTransform Htransform;
    dword W; // the area, from the media
    dword H;
    RectWalk* walk; // the rectangles given, or the whole area; null where the loops go over the whole area

    // The fast kernel of `operation` serves this job from `from` to `to`:
    // X and Y are then the projections' axes.
    bool isFast(FastKernels::Operation operation, const RasterAccess& from, const RasterAccess& to, AffineAxis& X,
                AffineAxis& Y) const;

    // The lines a black extraction begins with: the colour a black dot
    // takes first, and the black level.
    static void announceBlack(const RasterKind& kind, IPixel& replacement);

    bool copy() const;
    bool extractBlack() const;
    bool substituteBlack() const;
    bool copyAndMeasure() const;
    bool measure() const;
    bool threshold() const;
    bool dither() const;
    bool ditherClustered() const;
    bool diffuseError() const;
};

struct RasterKind {
    // What apply() says before it returns false: nothing, or
    // "[TAVRIN UNIDRIVER][<name>::apply] WARNING - NULL <what> - return false".
    enum Warning { Silent, NullInput, NullParameter, NullMedia, NullOptions };

    const char* name;
    bool usesSource;     // false: the source may be null
    bool usesInvariant;  // an invariant processor is given and must be there
    bool needsOptions;   // the source's options must be there
    bool isAreaOfSource; // the area is the source's media, not the target's
    bool walks;          // false: the rectangles given are ignored
    Warning nullArgument;
    Warning nullMedia;
    void (*announce)(ILGRectIterator* riter); // the line apply() logs first, if any
    bool (RasterJob::*run)() const;
};

class GRasterOperation : public IGRasterOperation {
public:
    GRasterOperation(const RasterKind& kind, IGDataSupervisor* target, IGDInvariantProcessor* invariant);
    ~GRasterOperation() override;

    GRasterOperation(const GRasterOperation&) = delete;
    GRasterOperation& operator=(const GRasterOperation&) = delete;

    bool apply(IGDataSupervisor* s, PixelOperation::PixelOp op, ILGRectIterator* riter,
               GraphicalConstants::CoordinateTransform Wtransform,
               GraphicalConstants::CoordinateTransform Htransform) final;

private:
    void warn(RasterKind::Warning w) const;

    const RasterKind& kind;
    IGDataSupervisor* target;         // borrowed
    IGDInvariantProcessor* invariant; // borrowed
};

template <const RasterKind& Kind>
class RasterOperation final : public GRasterOperation {
public:
    explicit RasterOperation(IGDataSupervisor* target, IGDInvariantProcessor* invariant = nullptr)
        : GRasterOperation(Kind, target, invariant)
    {
    }
};

// The plain copy: every target dot receives op(target dot, projected source dot).
extern const RasterKind standardCopy;
// Black extraction with colour memory: black source dots go to the target
// (the black panel) and are replaced in the source (the colour panels) by the
// nearest dot before them (smaller h) in the same column and rectangle that
// is not dark, or white when there is none.
extern const RasterKind blackWithMemory;
// Black extraction with a fixed colour: black source dots go to the target
// (the black panel) and are replaced in the source by the colour of the
// options FixedBlackSubY, FixedBlackSubM, FixedBlackSubC.
extern const RasterKind blackWithFixedColour;
// Copy and measure: each projected source dot is handed to the invariant
// processor, then stored into the target through op.
extern const RasterKind copyWithInvariant;
// Measure only: each projected dot of the target is handed to the invariant
// processor. The source and op are not used; nothing is written.
extern const RasterKind measureWithInvariant;
// Halftoning by a fixed threshold: a dot prints when its gray level is below
// IPixel's Threshold.
extern const RasterKind thresholding;
// Halftoning by ordered dither with an 8 x 8 matrix anchored at panel dot
// (0, 0): a dot prints when its gray level is at most the matrix entry.
extern const RasterKind dithering;
// Halftoning by clustered-dot ordered dither: an 8 x 8 matrix of two 4 x 4
// dot cells per diagonal, scaled to thresholds 0 to 248. Almost-white dots
// (ink 0 to 2) never print.
extern const RasterKind clusteredDithering;
// Halftoning by error diffusion (Floyd-Steinberg weights, integer arithmetic)
// over the whole panel, row by row, left to right. Any rectangle iterator is
// ignored.
extern const RasterKind floydDiffusion;

using StandardRasterOperation = RasterOperation<standardCopy>;
using StandardRasterOperationWithMem = RasterOperation<blackWithMemory>;
using StandardRasterOperationWithFixedColor = RasterOperation<blackWithFixedColour>;
using StandardRasterOperationWithInvariant = RasterOperation<copyWithInvariant>;
using TrivialRasterOperationWithInvariant = RasterOperation<measureWithInvariant>;
using ThresholdingRasterOperation = RasterOperation<thresholding>;
using DitheringRasterOperation = RasterOperation<dithering>;
using OrderedClusteredDotDitheringRasterOperation = RasterOperation<clusteredDithering>;
using FloydRasterOperation = RasterOperation<floydDiffusion>;

} // namespace tavgdi
