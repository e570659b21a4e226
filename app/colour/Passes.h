// The colours a document has to share out over its passes: the pass arithmetic itself is
// the reduction settings' (app/document/ReductionSettings.h); what needs the colour table
// is here.
#pragma once
#include <cstdint>

#include "app/document/ReductionSettings.h"

struct Document;

// c = colours available for the palette, t = colours left out as transparent
// (t is 0 while transparency is off).
void AvailableColours(const Document* document, uint32_t* available, uint32_t* transparentCount);
// Keeps colourCount within the available colours.
void ClampColourCount(Document* document);
