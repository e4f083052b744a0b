// Walks a rectangle list (not owned) and sets the class-wide pixel black level
// to each rectangle's own level; a finished walk restores the level saved by
// init.
#pragma once

#include "pipeline/GRect.h"
#include "pipeline/GrectListNode.h"
#include "pipeline/ILGRectIterator.h"
#include "pipeline/StdLGRect.h"

namespace tavgdi {

class StdLGRectIterator : public ILGRectIterator {
public:
    // Throws NullException for a null list.
    explicit StdLGRectIterator(StdLGRect* list);
    ~StdLGRectIterator() override;

    StdLGRectIterator(const StdLGRectIterator&) = delete;
    StdLGRectIterator& operator=(const StdLGRectIterator&) = delete;

    bool init() override;
    bool isUncompleted() override;
    GRect* getRect() override;
    void next() override;
    void orientationTransform(GraphicalConstants::CardOrientation cardOrientation, dword mediaWidth,
                              dword mediaHeight) override;
    void standardTransform(dword mediaHeight) override;
    void debug() override;

private:
    internalTavgdi::GrectListNode* iter;
    char savedBlacklevel;
};

} // namespace tavgdi
