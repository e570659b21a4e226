// Swatch buttons: the widget class, the shared colour palette and the pattern tables.
#include "jindep/Ji_tidge_swatch.h"

#include <cmath>
#include <cstring>

#include "jindep/Ji_tidge_paint.h"
#include "jindep/Ji_tidge_swatch_state.h"
#include "jindep/memory.h"
#include "jwin/J_draw.h"
#include "jwin/pixel_map.h"

namespace {

// The large table (6 by 6) and the small one (4 columns by 7 rows).
constexpr uint32_t kLargePatterns[36] = {1,  2,  3,  4,  5,  6,  7,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                         20, 21, 22, 23, 24, 25, 26, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38};
constexpr uint32_t kSmallPatterns[28] = {1,  2,  3,  20, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60,
                                         61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74};
constexpr JColour kTwoColours[2] = {{0, 0, 0}, {65535, 65535, 65535}};

// The shared palette: at most 64 colours from levels, or the display's own few colours.
JColour shared[64] = {{0, 0, 0}};
uint16_t sharedCount = 1;
int16_t paletteSource = 2;
bool sharedBuilt = false;  // made when first needed, then again whenever the display changes

uint32_t SortKey(const JColour& c) { return c.red * 64u + c.blue * 8u + c.green; }

void BuildShared() {
  sharedBuilt = true;
  int rb = 0, gb = 0, bb = 0;
  JSwatchPaletteBits(JDisplayDepth(), paletteSource == 1, &rb, &gb, &bb);
  if (rb < 0) {  // the display's own palette of fewer than six colours: black and white here
    sharedCount = 2;
    shared[0] = kTwoColours[0];
    shared[1] = kTwoColours[1];
    return;
  }
  const int nr = 1 << rb, ng = 1 << gb, nb = 1 << bb;
  auto level = [](int i, int n) { return static_cast<uint16_t>(n > 1 ? i * 65535 / (n - 1) : 0); };
  sharedCount = 0;
  for (int i = 0; i < nr; ++i)
    for (int j = 0; j < ng; ++j)
      for (int k = 0; k < nb; ++k) shared[sharedCount++] = {level(i, nr), level(j, ng), level(k, nb)};
  // Insertion sort by the key red x 64 + blue x 8 + green; stable, so equal keys keep
  // their order.
  for (int i = 1; i < sharedCount; ++i)
    for (int j = i; j > 0 && SortKey(shared[j - 1]) > SortKey(shared[j]); --j) std::swap(shared[j - 1], shared[j]);
}

void Construct(JWidget* w) {
  SwatchButton* s = static_cast<SwatchButton*>(JAlloc(sizeof(SwatchButton)));
  std::memset(s, 0, sizeof *s);
  s->swatchPattern = 1;
  s->colourMode = s->useStandardColours = s->solidColour = s->enabled = s->shadow = true;
  w->classData = s;
  SwatchChoosePalette(s, false);
}

void Destruct(JWidget* w) {
  if (SwatchPopupIsOpenFor(w)) SwatchPopupClose();
  JFree(w->classData);
  w->classData = nullptr;
}

bool NaturalSize(JWidget* w, int16_t* width, int16_t* height) {
  *width = *height = SwatchOf(w)->shadow ? 16 : 15;
  return true;
}

void SetSize(JWidget* w, int16_t width, int16_t height) {
  SwatchButton* s = SwatchOf(w);
  JInvalidateWidget(w);
  w->width = width ? width : (s->shadow ? 16 : 15);
  w->height = height ? height : (s->shadow ? 16 : 15);
  s->cellWidth = static_cast<int16_t>(w->width - (s->shadow ? 1 : 0));
  s->cellHeight = static_cast<int16_t>(w->height - (s->shadow ? 1 : 0));
  JInvalidateWidget(w);
}

void Draw(JWidget* w) {
  const SwatchButton* s = SwatchOf(w);
  const int l = w->x, t = w->y, r = l + s->cellWidth, b = t + s->cellHeight;
  tidge::Begin(w);
  tidge::ShadowFrame(l, t, r, b, s->shadow);
  SwatchFill(s, l + 1, t + 1, r - 1, b - 1, &s->swatchColour, s->swatchPattern);
  tidge::End();
}

void MouseDown(JWidget* w, int16_t, int16_t, uint8_t modifiers) {
  SwatchButton* s = SwatchOf(w);
  if (!s->enabled || JOpenSwatchPalette() || (modifiers & kJModAlt)) return;
  SwatchChoosePalette(s, (modifiers & kJModCtrl) != 0);
  SwatchPopupOpen(w);
}

void MouseMove(JWidget* w, int16_t x, int16_t y) {
  if (SwatchPopupIsOpenFor(w)) SwatchPopupPointer(w, x, y);
}

void MouseUp(JWidget* w, int16_t x, int16_t y, uint8_t modifiers) {
  if (SwatchPopupIsOpenFor(w)) SwatchPopupRelease(w, x, y, modifiers);
}

const JWidgetClass* SwatchClass() {
  static JWidgetClass* c = [] {
    JWidgetClass* k = JNewWidgetClass();
    k->construct = Construct;
    k->destruct = Destruct;
    k->naturalSize = NaturalSize;
    k->setSize = SetSize;
    k->draw = Draw;
    k->mouseDown = MouseDown;
    k->mouseMove = MouseMove;
    k->mouseUp = MouseUp;
    return k;
  }();
  return c;
}

uint32_t Rgb(const JColour& c) {
  return uint32_t{JColourChannel8(c.red)} << 16 | uint32_t{JColourChannel8(c.green)} << 8 | JColourChannel8(c.blue);
}

}  // namespace

SwatchButton* SwatchOf(const JWidget* w) { return static_cast<SwatchButton*>(w->classData); }

void SwatchFill(const SwatchButton* s, int left, int top, int right, int bottom, const JColour* colour,
                uint32_t pattern) {
  const bool solid = s->colourMode ? s->solidColour || pattern == 1 : pattern == 1;
  const uint32_t ink = s->colourMode || !s->useStandardColours ? Rgb(*colour) : tidge::kInk;
  if (solid) {
    tidge::Fill(left, top, right, bottom, ink);
    return;
  }
  // The pattern's background is always white.
  tidge::Fill(left, top, right, bottom, tidge::kLight);
  JSetFillPattern(pattern);
  tidge::Fill(left, top, right, bottom, ink);
  JSetFillPattern(1);
}

void SwatchChoosePalette(SwatchButton* s, bool fine) {
  if (s->ownPalette) JFree(s->palette);
  s->palette = nullptr;
  s->ownPalette = false;
  if (!s->colourMode) {
    s->patterns = fine ? kLargePatterns : kSmallPatterns;
    s->patternCount = fine ? 36 : 28;
    s->itemCount = s->patternCount;
    s->columns = fine ? 6 : 4;
    s->rows = fine ? 6 : 7;
    return;
  }
  if (s->twoColourMode) {
    s->palette = const_cast<JColour*>(kTwoColours);
    s->paletteCount = 2;
  } else if (fine && JDisplayDepth() > 8) {
    // 4 x 4 x 4 colours from three quarters of the current value up, red outermost.
    s->palette = static_cast<JColour*>(JAlloc(64 * sizeof(JColour)));
    s->ownPalette = true;
    s->paletteCount = 64;
    const JColour& c = s->swatchColour;
    auto step = [](uint16_t v, int i) { return static_cast<uint16_t>(v * 3 / 4 + i * 65535 / 12); };
    int n = 0;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k) s->palette[n++] = {step(c.red, i), step(c.green, j), step(c.blue, k)};
  } else {
    if (!sharedBuilt) BuildShared();
    s->palette = shared;
    s->paletteCount = sharedCount;
  }
  s->itemCount = s->paletteCount;
  s->columns = static_cast<uint16_t>(std::sqrt(static_cast<double>(s->itemCount)));
  if (s->columns == 0) s->columns = 1;
  s->rows = static_cast<uint16_t>((s->itemCount + s->columns - 1) / s->columns);
}

void JSwatchPaletteBits(uint16_t depth, bool usePlatformPalette, int* r, int* g, int* b) {
  *r = *g = *b = 0;
  if (depth >= 15) {
    *r = *g = *b = 2;
    return;
  }
  if (depth == 0 || depth > 8) return;
  // A palette display: how many colours its palette gives decides the cube.
  const int colours = 1 << depth;
  const int n = usePlatformPalette ? colours : (colours > 64 ? 64 : 0);
  if (n >= 62) {
    *r = *g = *b = 2;
  } else if (n >= 30) {
    *r = *g = 2;
    *b = 1;
  } else if (n >= 6) {
    *r = *g = *b = 1;
  } else if (usePlatformPalette) {
    *r = *g = *b = -1;  // the display's own colours
  }
}

JWidget* JNewSwatch(JWindow* window, JWidget* container, int16_t x, int16_t y) {
  JWidget* w = JNewWidget(SwatchClass(), window, container, x, y);
  SetSize(w, 0, 0);
  JSizeWidget(w, 0, 0);
  return w;
}

bool JIsSwatch(const JWidget* w) { return w && w->widgetClass == SwatchClass() && w->classData; }

void JSetSwatchOnChange(JWidget* swatch, JSwatchChangeProc proc) {
  if (JIsSwatch(swatch)) SwatchOf(swatch)->onChange = proc;
}

void JSetSwatchColour(JWidget* swatch, const JColour* colour) {
  if (!JIsSwatch(swatch)) return;
  SwatchOf(swatch)->swatchColour = *colour;
  JInvalidateWidget(swatch);
}

JColour JSwatchColour(const JWidget* swatch) { return JIsSwatch(swatch) ? SwatchOf(swatch)->swatchColour : JColour{}; }

void JSetSwatchPattern(JWidget* swatch, uint32_t pattern) {
  if (!JIsSwatch(swatch)) return;
  SwatchOf(swatch)->swatchPattern = pattern;
  JInvalidateWidget(swatch);
}

uint32_t JSwatchPattern(const JWidget* swatch) { return JIsSwatch(swatch) ? SwatchOf(swatch)->swatchPattern : 1; }

void JSetSwatchColourMode(JWidget* swatch, bool colourMode) {
  if (!JIsSwatch(swatch)) return;
  SwatchOf(swatch)->colourMode = colourMode;
  SwatchChoosePalette(SwatchOf(swatch), false);
  JInvalidateWidget(swatch);
}

void JSetSwatchTwoColourMode(JWidget* swatch, bool twoColours) {
  if (!JIsSwatch(swatch)) return;
  SwatchOf(swatch)->twoColourMode = twoColours;
  SwatchChoosePalette(SwatchOf(swatch), false);
  JInvalidateWidget(swatch);
}

void JSetSwatchEnabled(JWidget* swatch, bool enabled) {
  if (JIsSwatch(swatch)) SwatchOf(swatch)->enabled = enabled;
}

void JSetSwatchPaletteSource(int16_t source) {
  paletteSource = source;
  BuildShared();
}

void JSwatchDisplayChanged() { BuildShared(); }

uint16_t JSwatchPaletteCount() {
  if (!sharedBuilt) BuildShared();
  return sharedCount;
}

const JColour* JSwatchPaletteColours() {
  if (!sharedBuilt) BuildShared();
  return shared;
}
