#include "jwin/J_font.h"

#include <new>

#include "jindep/Ji_font.h"
#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/draw_state.h"

namespace {

constexpr const char* kSource = "jwin/J_font";

// The platform side of a font reference.
struct PlatformFont {
  std::shared_ptr<platform::Font> font;
  int16_t ascent;
  int16_t descent;
  int16_t leadingAbove;
  int16_t leadingBelow;
};

JFontRef* gApplicationFont = nullptr;
JFontRef* gSystemFont = nullptr;

platform::FontSpec SpecFor(const char* face, uint16_t size, uint16_t style) {
  platform::FontSpec fontSpec;
  fontSpec.face = face ? face : kJDefaultFaceName;
  fontSpec.height = size > 0 ? size : kJDefaultFontSize;
  fontSpec.weight = (style & kJStyleBold) ? 700 : 400;
  fontSpec.italic = (style & kJStyleItalic) != 0;
  fontSpec.underline = (style & kJStyleUnderline) != 0;
  return fontSpec;
}

void* CreateFont(void*, const char* face, uint16_t size, uint16_t style, double scale) {
  platform::FontSpec fontSpec = SpecFor(face, size, style);
  std::shared_ptr<platform::Font> font = platform::Font::Create(fontSpec);
  if (!font) {
    JDebugReport(kSource, __LINE__, "Problem switching fonts");
    return nullptr;
  }
  if (scale != 1.0) {
    // A scaled font is made again with the natural average width times the scale.
    int width = static_cast<int>(font->averageCharWidth() * scale);
    if (width < 1) width = 1;
    fontSpec.width = width;
    font = platform::Font::Create(fontSpec);
    if (!font) {
      JDebugReport(kSource, __LINE__, "Problem switching fonts");
      return nullptr;
    }
  }
  if (font->height() <= 0) {
    JDebugReport(kSource, __LINE__, "Problem getting font metrics");
    return nullptr;
  }
  PlatformFont* p = new (JAlloc(sizeof(PlatformFont))) PlatformFont();
  p->font = std::move(font);
  p->ascent = static_cast<int16_t>(p->font->ascent());
  p->descent = static_cast<int16_t>(p->font->descent());
  const int leading = p->font->externalLeading();
  p->leadingAbove = static_cast<int16_t>(leading / 2);
  p->leadingBelow = static_cast<int16_t>(leading - leading / 2);
  return p;
}

void DestroyFont(void*, void* platformFont) {
  if (!platformFont) return;
  PlatformFont* p = static_cast<PlatformFont*>(platformFont);
  p->~PlatformFont();
  JFree(p);
}

}  // namespace

void JFontInitPlatform() {
  JFontSetPlatformProcs(CreateFont, DestroyFont, nullptr);
  JFontSetDefaultFace(kJDefaultFaceName);
  if (!gApplicationFont) gApplicationFont = JFontGet(nullptr, kJDefaultFontSize, 0, 1.0);
  if (!gSystemFont) gSystemFont = JFontGet(nullptr, kJDefaultFontSize, 0, 1.0);
}

void JFontShutdownPlatform() {
  JFontRelease(gApplicationFont);
  JFontRelease(gSystemFont);
  gApplicationFont = nullptr;
  gSystemFont = nullptr;
}

JFontRef* JApplicationFont() { return gApplicationFont; }
JFontRef* JSystemFont() { return gSystemFont; }

std::shared_ptr<platform::Font> JFontPlatformFont(JFontRef* font) {
  if (!font || !font->platformFont) return nullptr;
  return static_cast<PlatformFont*>(font->platformFont)->font;
}

bool JFontMetrics(JFontRef* font, int16_t* ascent, int16_t* descent, int16_t* leadingAbove,
                  int16_t* leadingBelow) {
  if (!font || !font->platformFont) {
    JDebugReport(kSource, __LINE__, "Problem getting font metrics");
    return false;
  }
  const PlatformFont* p = static_cast<const PlatformFont*>(font->platformFont);
  if (ascent) *ascent = p->ascent;
  if (descent) *descent = p->descent;
  if (leadingAbove) *leadingAbove = p->leadingAbove;
  if (leadingBelow) *leadingBelow = p->leadingBelow;
  return true;
}
