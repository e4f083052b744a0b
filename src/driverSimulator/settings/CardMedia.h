// The card sizes under the self-describing PWG media names IPP printers
// offer, "custom_<card>_<W>x<H>mm" (custom_cr80_86.03x54.87mm): one name
// per card size, in the size table's order (the CR80 card first). The
// lengths are the smallest hundredths of a millimetre that give back exactly
// the card's dots at 300 dpi (and twice or four times them at 600 and
// 1200 dpi) when floored as hundredths x dpi / 2540; no trailing zeros.
#pragma once

#include <string>
#include <vector>

namespace tavgdi {

struct CardMedia {
    std::string pwgName;
    const char* card; // the size table's name (CR80, CR86X50, ...)
    int width;        // hundredths of mm
    int length;
};

const std::vector<CardMedia>& cardMediaList();

} // namespace tavgdi
