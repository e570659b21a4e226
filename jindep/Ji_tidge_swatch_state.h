// The record of a swatch button, shared by the widget (Ji_tidge_swatch.cpp) and its
// pop-up palette (Ji_tidge_swatch_popup.cpp).
#pragma once
#include <cstdint>

#include "jindep/Ji_tidge_swatch.h"

struct SwatchButton {
  JColour swatchColour;
  uint32_t swatchPattern;
  uint16_t columns;
  uint16_t rows;
  uint16_t itemCount;
  JSwatchChangeProc onChange;
  bool colourMode;
  bool useStandardColours;  // patterns in black on white
  bool solidColour;         // colour mode fills solid rather than through the pattern
  bool twoColourMode;
  bool enabled;
  uint16_t paletteCount;
  JColour* palette;
  bool ownPalette;  // made for this pop-up, freed when it closes
  uint16_t patternCount;
  const uint32_t* patterns;
  int16_t cellWidth;
  int16_t cellHeight;
  bool shadow;
};

SwatchButton* SwatchOf(const JWidget* w);
// Fills a cell (or the swatch) with a value, the way the swatch shows it.
void SwatchFill(const SwatchButton* s, int left, int top, int right, int bottom, const JColour* colour,
                uint32_t pattern);
// Chooses the palette for a pop-up (colour or pattern mode; `fine` with Ctrl held).
void SwatchChoosePalette(SwatchButton* s, bool fine);
void SwatchPopupOpen(JWidget* w);
bool SwatchPopupIsOpenFor(const JWidget* w);
void SwatchPopupPointer(JWidget* w, int16_t x, int16_t y);
void SwatchPopupRelease(JWidget* w, int16_t x, int16_t y, uint8_t modifiers);
void SwatchPopupClose();
