// Better palette colours for a chosen number of colours, keeping the ranking's choice of
// which colours merge: every palette colour becomes the pixel-weighted mean of the colours
// it stands for, and then, while it pays, each colour moves to the palette colour nearest
// it and the means are taken again. Each step can only lower the squared error, so the
// picture never gets worse. It works on the document's mapping for its colourCount (made
// by MapForCount into the table's tally) and leaves one the GIF writer takes as it is:
// palette colours are the records' colours, and a moved colour is merged into its new
// palette colour.
#pragma once
#include <cstdint>

struct Document;

struct RefineResult {
  uint32_t rounds;      // reassignment rounds run
  uint64_t errorBefore; // squared error summed over the pixels, before and after
  uint64_t errorAfter;
};

void RefinePalette(Document* document, RefineResult* result);
