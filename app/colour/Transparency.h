// Marking colours transparent on the engine's side: the records' marks, the
// document's list, the table's tally, and the one-bit overlay the preview is
// drawn through (1 opaque, 0 transparent).
#pragma once
#include <cstdint>

struct Document;

// What the controls must redo after a change of marks.
enum TransparencyChange : int {
  kTransparencyNoRemap = 0,  // the mapping still holds
  kTransparencyRemap = 2,    // a representative lost (or gained) its only colour: map again
};

// Mask of the pixels of colour c (bit 0) into maskBuffer and maskPicture.
void BuildTransparencyMask(Document* document, uint32_t colourIndex);
// Marks a colour transparent and clears its overlay bits. Turns the option on if it was off.
TransparencyChange MarkTransparent(Document* document, uint32_t colourIndex);
// Clears a colour's mark (position = its place in transparentList) and sets its overlay bits
// again. With the option off nothing is unmarked: the option is turned on instead.
TransparencyChange UnmarkTransparent(Document* document, uint32_t colourIndex, uint32_t position);
// A click at picture coordinates marks or unmarks the colour there; outside the picture nothing happens.
TransparencyChange PictureClick(Document* document, int32_t x, int32_t y);
