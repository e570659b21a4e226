#include "app/graphs/GraphDrawing.h"

#include <cstring>

#include "app/document/BitReverse.h"
#include "app/graphs/GraphMapping.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_text.h"
#include "jwin/pixel_map.h"

namespace {

constexpr JColour kBlack = {0, 0, 0};
constexpr JColour kWhite = {65535, 65535, 65535};
constexpr int16_t kTitleLeft = 5;
constexpr int16_t kLabelGap = 3;

JGC* gc = nullptr;

int16_t Right(const GraphRecord* g) { return static_cast<int16_t>(g->plotLeft + g->plotWidth - 1); }
int16_t Bottom(const GraphRecord* g) { return static_cast<int16_t>(g->plotTop + g->plotHeight - 1); }
int16_t LabelHeight(const GraphRecord* g) { return static_cast<int16_t>(g->labelAscent + g->labelDescent); }

void Fill(const JColour& colour, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  JSetForeColour(&colour);
  JFillRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
            static_cast<int16_t>(bottom));
}

int16_t TextWidth(const char* text) {
  JTextSizeRecord size;
  JTextSize(text, &size);
  return size.width;
}

// Keeps [start, start + length) within [low, high).
int Within(int start, int length, int low, int high) {
  if (start + length > high) start = high - length;
  return start < low ? low : start;
}

JRect DrawText(const char* text, int left, int baseline, const GraphRecord* g) {
  JSetForeColour(&kBlack);
  JDrawText(static_cast<int16_t>(left), static_cast<int16_t>(baseline), text);
  return JRectMake(static_cast<int16_t>(left), static_cast<int16_t>(baseline - g->labelAscent),
                   static_cast<int16_t>(left + TextWidth(text)), static_cast<int16_t>(baseline + g->labelDescent));
}

// The k label under the plot, centred on x but kept within the plot's width.
JRect DrawKLabel(const GraphRecord* g, uint32_t k, int x) {
  char text[kGraphLabelSize];
  GraphKLabel(k, text);
  const int w = TextWidth(text);
  const int left = Within(x - w / 2, w, g->plotLeft, g->plotLeft + g->plotWidth);
  return DrawText(text, left, Bottom(g) + 1 + kLabelGap + g->labelAscent, g);
}

// The value label left of the plot, centred on y but kept within the plot's height.
JRect DrawValueLabel(const GraphRecord* g, uint32_t k, uint64_t v, int y) {
  char text[kGraphLabelSize];
  GraphValueLabel(g, k, v, text);
  const int top = Within(y - LabelHeight(g) / 2, LabelHeight(g), g->plotTop, Bottom(g) + 1);
  return DrawText(text, g->plotLeft - kLabelGap - TextWidth(text), top + g->labelAscent, g);
}

void DrawTitles(const GraphRecord* g, JPixMap* title) {
  const char* text = JStr(kStrAxisColours);
  const int w = TextWidth(text);
  JSetForeColour(&kBlack);
  JDrawText(static_cast<int16_t>(g->plotLeft + (g->plotWidth - w) / 2),
            static_cast<int16_t>(g->areaHeight - 5 - g->labelDescent), text);
  if (!title) return;
  const int top = g->plotTop + (g->plotHeight - title->height) / 2;
  JCopyBits(title, JRectMake(0, 0, title->width, title->height),
            JRectMake(kTitleLeft, static_cast<int16_t>(top), static_cast<int16_t>(kTitleLeft + title->width),
                      static_cast<int16_t>(top + title->height)),
            kJCopyPlain);
}

}  // namespace

void BeginGraphDrawing() {
  if (!gc) gc = JNewGC();
  JSetGC(gc);
  JSetBackColour(&kWhite);
}

void EndGraphDrawing() {
  JSetGC(JDefaultGC());
  JDisposeGC(gc);
  gc = nullptr;
}

JPixMap* MakeGraphTitle(GraphKind kind) {
  static constexpr JStringId kTitles[] = {kStrAxisQuality, kStrAxisMaxError, kStrAxisFileSize};
  const char* text = JStr(kTitles[kind - 1]);
  JTextSizeRecord size;
  BeginGraphDrawing();
  JTextSize(text, &size);
  const int16_t w = size.width > 0 ? size.width : 1;
  const int16_t h = static_cast<int16_t>(size.ascent + size.descent > 0 ? size.ascent + size.descent : 1);
  JPixMap* level = JPixMapNewDirect(w, h, 32);
  JPixMap* turned = JPixMapNewDirect(h, w, 32);
  if (!level || !turned) {
    JPixMapFree(level);
    EndGraphDrawing();
    return turned;
  }
  JSetDrawBitmap(level);
  JSetGC(gc);
  Fill(kWhite, 0, 0, w, h);
  JSetForeColour(&kBlack);
  JDrawText(0, size.ascent, text);
  JColour* pixels = static_cast<JColour*>(JAlloc(sizeof(JColour) * w * h));
  for (int16_t y = 0; y < h; ++y)
    for (int16_t x = 0; x < w; ++x)
      if (!JGetPixel(x, y, &pixels[y * w + x])) pixels[y * w + x] = kWhite;
  // Column x, row y goes to column y, row w - 1 - x: a quarter turn counter-clockwise.
  JSetDrawBitmap(turned);
  JSetGC(gc);
  for (int16_t y = 0; y < h; ++y)
    for (int16_t x = 0; x < w; ++x) {
      JSetForeColour(&pixels[y * w + x]);
      JSetPixel(y, static_cast<int16_t>(w - 1 - x));
    }
  JFree(pixels);
  JPixMapFree(level);
  JResetDrawArea(nullptr);
  EndGraphDrawing();
  return turned;
}

void MeasureGraphMargins(GraphRecord* g) {
  BeginGraphDrawing();
  JTextSizeRecord size;
  JTextSize(g->byteLabels ? JStr(kStrWidestByteLabel) : JFormatTemp(JStr(kStrPercent), 100.0), &size);
  EndGraphDrawing();
  g->widestLabel = size.width;
  g->labelAscent = size.ascent;
  g->labelDescent = size.descent;
  const int16_t textHeight = LabelHeight(g);
  g->marginTop = 5;
  g->marginRight = 5;
  g->marginLeft = static_cast<int16_t>(g->widestLabel + textHeight + 18);
  g->marginBottom = static_cast<int16_t>(textHeight + textHeight + 17);
}

void DrawGraphLabels(GraphRecord* g) {
  // The strips left of and under the plot, up to the titles.
  Fill(kWhite, kTitleLeft + LabelHeight(g) + 1, g->plotTop, g->plotLeft, Bottom(g) + 1);
  Fill(kWhite, g->plotLeft, Bottom(g) + 1, Right(g) + 1, Bottom(g) + 1 + kLabelGap + LabelHeight(g) + 1);
  g->labelRects[0] = g->labelRects[1] = JRectMake(0, 0, 0, 0);
  if (!g->valid) return;
  if (g->cursorX >= 0) {
    g->labelRects[0] = DrawKLabel(g, g->cursorK, g->cursorX);
    g->labelRects[1] = DrawValueLabel(g, g->cursorK, GraphValue(g, g->cursorK), g->cursorY);
    return;
  }
  DrawKLabel(g, g->xMin, GraphXForK(g, g->xMin));
  DrawKLabel(g, g->xMax, GraphXForK(g, g->xMax));
  // Quality is highest with all colours (the last k), lowest with one.
  DrawValueLabel(g, g->dataFirst, g->yMin, Bottom(g));
  DrawValueLabel(g, g->dataLast, g->yMax, g->plotTop);
}

void DrawGraphFrame(GraphRecord* g, JPixMap* title) {
  Fill(kWhite, 0, 0, g->areaWidth, g->areaHeight);
  Fill(kBlack, g->plotLeft, g->plotTop, Right(g) + 1, g->plotTop + 1);
  Fill(kBlack, g->plotLeft, Bottom(g), Right(g) + 1, Bottom(g) + 1);
  Fill(kBlack, g->plotLeft, g->plotTop, g->plotLeft + 1, Bottom(g) + 1);
  Fill(kBlack, Right(g), g->plotTop, Right(g) + 1, Bottom(g) + 1);
  DrawTitles(g, title);
  if (!g->valid) {
    const char* text = JStr(kStrIllDefined);
    JSetForeColour(&kBlack);
    JDrawText(static_cast<int16_t>(g->plotLeft + (g->plotWidth - TextWidth(text)) / 2),
              static_cast<int16_t>(g->plotTop + (g->plotHeight + g->labelAscent - g->labelDescent) / 2), text);
    return;
  }
  DrawGraphLabels(g);
}

void DrawGraphPoint(const GraphRecord* g, uint32_t k) {
  if (!g->valid || !GraphHasValue(g, k)) return;
  JSetForeColour(&kBlack);
  JSetPixel(GraphXForK(g, k), GraphYForValue(g, GraphValue(g, k)));
}

void InvertGraphCursor(const GraphRecord* g) {
  if (g->cursorX < 0) return;
  JSetPatternMode(true);
  JSetDrawMode(kJModeInvert);
  JFillRect(g->cursorX, static_cast<int16_t>(g->plotTop + 1), static_cast<int16_t>(g->cursorX + 1),
            static_cast<int16_t>(Bottom(g) - 1));
  JFillRect(static_cast<int16_t>(g->plotLeft + 1), g->cursorY, static_cast<int16_t>(Right(g) - 1),
            static_cast<int16_t>(g->cursorY + 1));
  JSetDrawMode(kJModeCopy);
  JSetPatternMode(false);
}

void BeginGraphPlot(GraphRecord* g) {
  const uint32_t span = g->dataLast - g->dataFirst;
  uint32_t log2 = 0;
  while (log2 < 31 && (span >> (log2 + 1)) != 0) ++log2;
  g->plotShift = 31 - log2;
  g->plotSteps = uint64_t{1} << (32 - g->plotShift);
  g->plotStep = 0;
}

bool ContinueGraphPlot(GraphRecord* g, uint32_t count) {
  for (uint32_t i = 0; i < count && g->plotStep < g->plotSteps; ++i) {
    const uint32_t offset = ReverseBits32(static_cast<uint32_t>(g->plotStep)) >> g->plotShift;
    ++g->plotStep;
    if (offset <= g->dataLast - g->dataFirst) DrawGraphPoint(g, g->dataFirst + offset);
  }
  return g->plotStep < g->plotSteps;
}
