// The card sizes a job can name, with their lengths in dots at 300 dpi. The
// first name that begins a PaperSize value chooses the card; the settings
// reader also matches these names and lengths against the media names CUPS
// and IPP clients use.
#pragma once

#include "MediaDefinition.h"

namespace tavgdi {

struct CardSize {
    const char* name;
    dword width;
    dword height;
};

inline constexpr CardSize CardSizes[] = {
    {"CR80", MediaDefinition::CR80Width, MediaDefinition::CR80Height},
    {"ISOCR80", MediaDefinition::CR80Width, MediaDefinition::CR80Height},
    {"CR80260", MediaDefinition::CR80Width, MediaDefinition::CR80Height},
    {"CR109X54", MediaDefinition::CR109X54Width, MediaDefinition::CR109X54Height},
    {"CR128X54", MediaDefinition::CR128X54Width, MediaDefinition::CR128X54Height},
    {"CR140X54", MediaDefinition::CR140X54Width, MediaDefinition::CR140X54Height},
    {"CR165X54", MediaDefinition::CR165X54Width, MediaDefinition::CR165X54Height},
    {"CR210X54", MediaDefinition::CR210X54Width, MediaDefinition::CR210X54Height},
    {"CR86X50", MediaDefinition::CR86X50Width, MediaDefinition::CR86X50Height},
    {"CR109X50", MediaDefinition::CR109X50Width, MediaDefinition::CR109X50Height},
    {"CR120X50", MediaDefinition::CR120X50Width, MediaDefinition::CR120X50Height},
    {"CR128X50", MediaDefinition::CR128X50Width, MediaDefinition::CR128X50Height},
    {"CR140X50", MediaDefinition::CR140X50Width, MediaDefinition::CR140X50Height},
    {"CR150X50", MediaDefinition::CR150X50Width, MediaDefinition::CR150X50Height},
};

} // namespace tavgdi
