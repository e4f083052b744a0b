// One rectangle covering a whole area, given in storage coordinates; yields
// it once.
#pragma once

#include "pipeline/GRect.h"
#include "pipeline/ILGRectIterator.h"

namespace tavgdi {

class TrivialLGRectIterator : public ILGRectIterator {
public:
    TrivialLGRectIterator(int left, int top, int right, int bottom);
    ~TrivialLGRectIterator() override;

    TrivialLGRectIterator(const TrivialLGRectIterator&) = delete;
    TrivialLGRectIterator& operator=(const TrivialLGRectIterator&) = delete;

    // Does not rewind.
    bool init() override;
    bool isUncompleted() override;
    GRect* getRect() override;
    void next() override;
    // The transforms are left out: the rectangle is already in storage
    // coordinates.
    void debug() override;

private:
    GRect singleRect;
    bool onlyOneStep;
};

} // namespace tavgdi
