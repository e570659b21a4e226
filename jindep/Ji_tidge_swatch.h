// Swatch buttons: a small widget that shows a colour (or a fill pattern) and lets the
// user pick another from a palette that pops up under the pointer, with the current value's
// cell exactly over the swatch: press, move over the palette, release on the wanted cell.
// A click without a move leaves the palette open; a second click on a cell then chooses,
// and a click outside it closes it. Ctrl held at the press gives a finer palette around
// the current colour (on displays of more than 256 colours) or the large pattern table.
#pragma once
#include <cstdint>

#include "jindep/Ji_tidge.h"
#include "jwin/J_gc.h"

typedef void (*JSwatchChangeProc)(JWidget* swatch, const JColour* colour, uint32_t pattern);

// A swatch in colour mode showing black, 15 x 15 (16 x 16 with its shadow).
JWidget* JNewSwatch(JWindow* window, JWidget* container, int16_t x, int16_t y);
bool JIsSwatch(const JWidget* w);
void JSetSwatchOnChange(JWidget* swatch, JSwatchChangeProc proc);
// Setting redraws the swatch without calling the change procedure.
void JSetSwatchColour(JWidget* swatch, const JColour* colour);
JColour JSwatchColour(const JWidget* swatch);
void JSetSwatchPattern(JWidget* swatch, uint32_t pattern);
uint32_t JSwatchPattern(const JWidget* swatch);
// Colour mode (true) chooses colours, pattern mode chooses fill patterns.
void JSetSwatchColourMode(JWidget* swatch, bool colourMode);
// Only black and white in the palette.
void JSetSwatchTwoColourMode(JWidget* swatch, bool twoColours);
// A disabled swatch opens no palette.
void JSetSwatchEnabled(JWidget* swatch, bool enabled);

// Where the shared colour palette comes from: 1 the display's own palette (on displays of
// 256 colours or fewer), 2 a computed cube. Rebuilds the palette.
void JSetSwatchPaletteSource(int16_t source);
// The display changed: the shared palette is made again for it.
void JSwatchDisplayChanged();
// The shared palette: its number of colours and the colours, in the order of the cells.
uint16_t JSwatchPaletteCount();
const JColour* JSwatchPaletteColours();
// The bits of red, green and blue levels of the shared palette for a display.
void JSwatchPaletteBits(uint16_t displayDepth, bool usePlatformPalette, int* redBits, int* greenBits, int* blueBits);

// The palette open now (one for the program), for tests: its window, and the screen
// rectangle of one cell (empty past the cells).
JWindow* JOpenSwatchPalette();
JRect JSwatchCellRect(uint16_t cell);
