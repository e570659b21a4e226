#include "jwin/J_text.h"

#include <cstring>

#include "jindep/Ji_font.h"
#include "jindep/debug.h"
#include "jwin/J_font.h"
#include "jwin/draw_state.h"

namespace {

constexpr const char* kSource = "jwin/J_text";

int32_t LengthOf(const char* text, int32_t length) {
  if (!text) return 0;
  return length < 0 ? static_cast<int32_t>(std::strlen(text)) : length;
}

bool Outlined(const JGC* gc) { return gc && gc->font && (gc->font->style & kJStyleOutline); }

}  // namespace

void JDrawTextLength(int16_t h, int16_t v, const char* text, int32_t length) {
  platform::DeviceContext* dc = JDrawContext(kSource, __LINE__);
  JDrawCheckGC(kSource, __LINE__);
  length = LengthOf(text, length);
  if (!dc || length == 0) return;
  const JGC* gc = JDrawCurrent().gc;
  if (!Outlined(gc)) {
    dc->textOut(h, v, text, length);
    return;
  }
  // Outline: the string in the foreground colour around the position, then the
  // background colour on top.
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      if (dx != 0 || dy != 0) dc->textOut(h + dx, v + dy, text, length);
    }
  }
  const platform::Colour ink = dc->textColour();
  dc->setTextColour(dc->backgroundColour());
  dc->textOut(h, v, text, length);
  dc->setTextColour(ink);
}

void JDrawText(int16_t h, int16_t v, const char* text) { JDrawTextLength(h, v, text, -1); }

void JTextSizeLength(const char* text, int32_t length, JTextSizeRecord* size) {
  if (!size) return;
  size->width = 0;
  size->ascent = 0;
  size->descent = 0;
  const JGC* gc = JDrawCurrent().gc;
  if (!gc) {
    JAssertFail(kSource, __LINE__);
    return;
  }
  std::shared_ptr<platform::Font> font = JFontPlatformFont(gc->font);
  if (!font) return;
  // Measured like the raster draws: whole-pixel advances plus the outline's spacing.
  const int extra = Outlined(gc) ? 2 : 0;
  length = LengthOf(text, length);
  int32_t width = 0;
  const char* p = text;
  const char* end = text + length;
  while (p < end) width += font->advance(platform::NextCodePoint(p, end)) + extra;
  size->width = static_cast<int16_t>(width > INT16_MAX ? INT16_MAX : width);
  size->ascent = static_cast<int16_t>(font->ascent());
  size->descent = static_cast<int16_t>(font->descent());
}

void JTextSize(const char* text, JTextSizeRecord* size) { JTextSizeLength(text, -1, size); }
