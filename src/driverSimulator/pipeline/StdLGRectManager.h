// The front and back rectangle lists of a job or of one card.
#pragma once

#include <memory>

#include "pipeline/GRect.h"
#include "pipeline/StdLGRect.h"

namespace tavgdi {

class StdLGRectManager {
public:
    // Both lists null until create.
    StdLGRectManager();
    virtual ~StdLGRectManager();

    StdLGRectManager(const StdLGRectManager&) = delete;
    StdLGRectManager& operator=(const StdLGRectManager&) = delete;

    // Takes ownership of r. False (and r deleted) when the face's list is
    // missing.
    bool Add(GRect* r, bool isFrontFace);
    // The front (true) or back (false) list; may be null. Ownership stays.
    StdLGRect* get(bool face);
    // Replaces both lists by copies of initialRectManager's, or by empty
    // lists when it (or one of its lists) is missing.
    void create(StdLGRectManager* initialRectManager);
    // Deletes both lists.
    void cleanUp();
    void debug();

private:
    std::unique_ptr<StdLGRect> frontFaceLRect;
    std::unique_ptr<StdLGRect> backFaceLRect;
};

} // namespace tavgdi
