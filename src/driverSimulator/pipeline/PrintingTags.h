// Printing positions of the command fragments in the printer stream.
#pragma once

namespace PrintingTags {

// Values are used as array indices of the aggregator's positions. The
// underlying type is fixed so that any int read from a job is a valid value
// that the aggregator can refuse.
enum PrintingTagsType : int {
    CardHead = 0,      // start of every card
    CardTail = 1,      // end of every card
    FrontFaceHead = 2, // before the front face's panel data
    FrontFaceTail = 3, // after the front face's panel data
    BackFaceHead = 4,  // before the back face's panel data
    BackFaceTail = 5,  // after the back face's panel data
    DocHead = 6,       // once, before the first card of the document
    DocTail = 7,       // once, after the last card
    Unspecified = 8,   // not stored
};

// Number of stored positions (CardHead to DocTail).
const int PrintingTagsTypeSize = 8;

} // namespace PrintingTags
