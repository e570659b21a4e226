// The pop-up palette of a swatch button: one for the program. While the press that opened
// it is held, the pointer and the release reach the swatch (its window holds the press),
// which hands them here; after a click without a move the palette stays open and takes
// the pointer and the next click in its own window.
#include <cstdlib>

#include "jindep/Ji_tidge_arming.h"
#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/Ji_tidge_swatch_state.h"
#include "jindep/memory.h"
#include "jwin/J_inval.h"
#include "jwin/J_window.h"

namespace {

struct OpenPalette {
  JWindow* window;
  JWidget* widget;
  int16_t width;
  int16_t height;
  int32_t under;  // the cell under the pointer (-1 outside the grid)
  bool candidateSet;
  JColour candidate;
  uint32_t candidatePattern;
  JArming arming;
};

OpenPalette open = {};

SwatchButton* Swatch() { return SwatchOf(open.widget); }

int32_t CellAt(int16_t x, int16_t y) {
  const SwatchButton* s = Swatch();
  const int cx = x - 2 - s->cellWidth, cy = y - 2 - s->cellHeight;
  if (cx < 0 || cy < 0) return -1;
  const int col = cx / (s->cellWidth + 1), row = cy / (s->cellHeight + 1);
  if (col >= s->columns || row >= s->rows) return -1;
  const int cell = row * s->columns + col;
  return cell < s->itemCount ? cell : -1;
}

void CellValue(const SwatchButton* s, int32_t cell, JColour* colour, uint32_t* pattern) {
  *colour = s->swatchColour;
  *pattern = s->swatchPattern;
  if (cell < 0) return;
  if (s->colourMode)
    *colour = s->palette[cell];
  else
    *pattern = s->patterns[cell];
}

// The current value's cell: the nearest palette colour (the last among equals), or the
// last place of the pattern in its table.
int32_t CurrentCell(const SwatchButton* s) {
  int32_t found = 0;
  if (s->colourMode) {
    int32_t best = 0x30000;
    for (int32_t i = s->paletteCount; i-- > 0;) {
      const JColour& c = s->palette[i];
      const int32_t d = std::abs(c.red - s->swatchColour.red) + std::abs(c.green - s->swatchColour.green) +
                        std::abs(c.blue - s->swatchColour.blue);
      if (d < best) {
        best = d;
        found = i;
      }
    }
    return found;
  }
  for (int32_t i = s->patternCount; i-- > 0;)
    if (s->patterns[i] == s->swatchPattern) return i;
  return 0;
}

void DrawPalette(JWindow*) {
  if (!open.widget) return;
  const SwatchButton* s = Swatch();
  const int cw = s->cellWidth + 1, ch = s->cellHeight + 1;
  tidge::Begin(open.widget);
  tidge::Frame(0, 0, open.width, open.height, tidge::kInk);
  // The ring of border cells shows the candidate (at first the current value).
  SwatchFill(s, 1, 1, open.width - 1, open.height - 1, &open.candidate, open.candidatePattern);
  tidge::Fill(cw, ch, cw * (s->columns + 1) + 1, ch * (s->rows + 1) + 1, tidge::kInk);
  for (int i = 0; i < s->itemCount; ++i) {
    const int x = (i % s->columns + 1) * cw + 1, y = (i / s->columns + 1) * ch + 1;
    JColour colour;
    uint32_t pattern;
    CellValue(s, i, &colour, &pattern);
    SwatchFill(s, x, y, x + s->cellWidth, y + s->cellHeight, &colour, pattern);
  }
  tidge::End();
}

void Track(int16_t x, int16_t y) {
  const int32_t cell = CellAt(x, y);
  if (!JArmingMove(&open.arming, cell)) return;
  if (open.candidateSet && cell == open.under) return;
  open.under = cell;
  open.candidateSet = true;
  CellValue(Swatch(), cell, &open.candidate, &open.candidatePattern);
  JInvalidateRect(open.window, JRectMake(0, 0, open.width, open.height));
}

// The release: with a candidate the palette closes, and a cell of another value is taken.
void Release() {
  if (!open.candidateSet) return;
  JWidget* w = open.widget;
  const int32_t cell = open.under;
  SwatchPopupClose();
  if (cell < 0) return;
  SwatchButton* s = SwatchOf(w);
  JColour colour;
  uint32_t pattern;
  CellValue(s, cell, &colour, &pattern);
  if (colour.red == s->swatchColour.red && colour.green == s->swatchColour.green &&
      colour.blue == s->swatchColour.blue && pattern == s->swatchPattern)
    return;
  s->swatchColour = colour;
  s->swatchPattern = pattern;
  JInvalidateWidget(w);
  if (s->onChange) s->onChange(w, &colour, pattern);
}

void PaletteMove(JWindow*, int16_t x, int16_t y) { Track(x, y); }
void PaletteUp(JWindow*, int16_t, int16_t, uint8_t) { Release(); }
void PaletteDown(JWindow*, int16_t x, int16_t y, uint8_t) {
  Track(x, y);
  if (CellAt(x, y) < 0) SwatchPopupClose();
}

// A press in any other window ends the palette.
void PressAnywhere(JWindow* window) {
  if (open.window && window != open.window) SwatchPopupClose();
}

}  // namespace

void SwatchPopupOpen(JWidget* w) {
  SwatchButton* s = SwatchOf(w);
  open = {};
  open.widget = w;
  const int cw = s->cellWidth + 1, ch = s->cellHeight + 1;
  open.width = static_cast<int16_t>(cw * (s->columns + 2) + 1);
  open.height = static_cast<int16_t>(ch * (s->rows + 2) + 1);
  open.window = JNewWindow(nullptr, "", kJWindowPopupAbove);
  if (!open.window) {
    open = {};
    return;
  }
  JSetHandler(open.window, kJSlotDraw, DrawPalette);
  JSetHandler(open.window, kJSlotMouseMove, PaletteMove);
  JSetHandler(open.window, kJSlotMouseDown, PaletteDown);
  JSetHandler(open.window, kJSlotMouseUp, PaletteUp);
  JSizeWindow(open.window, open.width, open.height);
  const int32_t cell = CurrentCell(s);
  open.under = cell;
  open.candidate = s->swatchColour;
  open.candidatePattern = s->swatchPattern;
  JArmingReset(&open.arming, cell);
  // The current cell lies exactly over the swatch.
  int16_t left = static_cast<int16_t>(w->x - (cell % s->columns + 1) * cw - 1);
  int16_t top = static_cast<int16_t>(w->y - (cell / s->columns + 1) * ch - 1);
  JWindowToScreen(w->window, &left, &top);
  JPlaceWindowContent(open.window, left, top);
  int16_t placedLeft = 0, placedTop = 0;
  JWindowToScreen(open.window, &placedLeft, &placedTop);
  if (placedLeft != left || placedTop != top) {
    int16_t px = 0, py = 0;
    JGetPointer(&px, &py);
    JSetPointer(static_cast<int16_t>(px + placedLeft - left), static_cast<int16_t>(py + placedTop - top));
  }
  JSetPressHook(PressAnywhere);
  JShowWindow(open.window);
}

bool SwatchPopupIsOpenFor(const JWidget* w) { return w && open.widget == w; }

void SwatchPopupPointer(JWidget*, int16_t x, int16_t y) {
  JWindowToWindow(open.widget->window, open.window, &x, &y);
  Track(x, y);
}

void SwatchPopupRelease(JWidget*, int16_t, int16_t, uint8_t) { Release(); }

void SwatchPopupClose() {
  if (!open.widget) return;
  JSetPressHook(nullptr);
  SwatchButton* s = Swatch();
  JDisposeWindow(open.window);
  if (s->ownPalette) SwatchChoosePalette(s, false);
  open = {};
}

JWindow* JOpenSwatchPalette() { return open.window; }

JRect JSwatchCellRect(uint16_t cell) {
  if (!open.widget || cell >= Swatch()->itemCount) return JRectMake(0, 0, 0, 0);
  const SwatchButton* s = Swatch();
  int16_t left = static_cast<int16_t>((cell % s->columns + 1) * (s->cellWidth + 1) + 1);
  int16_t top = static_cast<int16_t>((cell / s->columns + 1) * (s->cellHeight + 1) + 1);
  JWindowToScreen(open.window, &left, &top);
  return JRectMake(left, top, static_cast<int16_t>(left + s->cellWidth), static_cast<int16_t>(top + s->cellHeight));
}
