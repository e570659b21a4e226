#include "jindep/Ji_tidge_paint.h"

#include "jindep/memory.h"
#include "jwin/J_draw.h"
#include "jwin/J_gc.h"
#include "jwin/J_text.h"

namespace tidge {

namespace {
void SetColour(uint32_t rgb) {
  const JColour c = {static_cast<uint16_t>(((rgb >> 16) & 0xFF) * 257), static_cast<uint16_t>(((rgb >> 8) & 0xFF) * 257),
                     static_cast<uint16_t>((rgb & 0xFF) * 257)};
  JSetForeColour(&c);
}
}  // namespace

void Begin(JWidget* w) { JSetGC(w->gc ? w->gc : JDefaultGC()); }

void End() { SetColour(0); }

void Fill(int left, int top, int right, int bottom, uint32_t colour) {
  if (right <= left || bottom <= top) return;
  SetColour(colour);
  JFillRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
            static_cast<int16_t>(bottom));
}

void Line(int x0, int y0, int x1, int y1, uint32_t colour) {
  SetColour(colour);
  JDrawLine(static_cast<int16_t>(x0), static_cast<int16_t>(y0), static_cast<int16_t>(x1), static_cast<int16_t>(y1));
  JSetPixel(static_cast<int16_t>(x1), static_cast<int16_t>(y1));
}

void Frame(int left, int top, int right, int bottom, uint32_t colour) {
  Fill(left, top, right, top + 1, colour);
  Fill(left, bottom - 1, right, bottom, colour);
  Fill(left, top, left + 1, bottom, colour);
  Fill(right - 1, top, right, bottom, colour);
}

void ShadowFrame(int left, int top, int right, int bottom, bool shadow) {
  Frame(left, top, right, bottom, kInk);
  if (!shadow) return;
  Fill(right, top + 3, right + 1, bottom + 1, kInk);
  Fill(left + 3, bottom, right + 1, bottom + 1, kInk);
}

void Bevel(int left, int top, int right, int bottom, bool raised) {
  const uint32_t lit = raised ? kLight : kShadow;
  const uint32_t shade = raised ? kDark : kLight;
  Fill(left, top, right, top + 1, lit);
  Fill(left, top, left + 1, bottom, lit);
  Fill(left, bottom - 1, right, bottom, shade);
  Fill(right - 1, top, right, bottom, shade);
}

int Text(int x, int top, const char* text, uint32_t colour) {
  if (!text || !*text) return 0;
  JTextSizeRecord size;
  JTextSize(text, &size);
  SetColour(colour);
  JDrawText(static_cast<int16_t>(x), static_cast<int16_t>(top + size.ascent), text);
  return size.width;
}

void TextCentred(int left, int top, int right, int bottom, const char* text, uint32_t colour) {
  if (!text || !*text) return;
  JTextSizeRecord size;
  JTextSize(text, &size);
  const int x = left + (right - left - size.width) / 2;
  const int y = top + (bottom - top - (size.ascent + size.descent)) / 2;
  Text(x, y, text, colour);
}

void TextSize(JWidget* w, const char* text, int16_t* width, int16_t* height) {
  Begin(w);
  JTextSizeRecord size;
  JTextSize(text ? text : "", &size);
  *width = size.width;
  *height = static_cast<int16_t>(size.ascent + size.descent);
}

char* Replace(char* old, const char* text) {
  JFree(old);
  return JStrDup(text ? text : "");
}

}  // namespace tidge
