#include "jwin/J_gc.h"

#include <new>

#include "jindep/Ji_font.h"
#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/J_beep.h"
#include "jwin/J_font.h"
#include "jwin/J_patterns.h"
#include "jwin/draw_state.h"
#include "jwin/pixel_map.h"
#include "platform/wm/WindowManager.h"

namespace {

constexpr const char* kSource = "jwin/J_gc";

JGC* gDefaultGC = nullptr;

platform::Pen& PenOf(JGC* gc) { return *static_cast<platform::Pen*>(gc->platformPen); }
platform::Brush& BrushOf(JGC* gc) { return *static_cast<platform::Brush*>(gc->platformBrush); }

void RebuildPen(JGC* gc) {
  PenOf(gc) = platform::Pen{platform::PenStyle::Solid, gc->penWidth < 1 ? 1 : gc->penWidth, gc->foreColour};
}

void RebuildBrush(JGC* gc) {
  const uint16_t resource = JPatternResource(gc->fillPattern);
  uint8_t ink[8];
  if (resource == 0 || !JPatternArtwork(resource, ink)) {
    BrushOf(gc) = platform::Brush::Solid(gc->foreColour);
    return;
  }
  // Pattern bitmaps draw their ink in the foreground colour and the rest in the background.
  uint8_t bits[8];
  for (int i = 0; i < 8; ++i) bits[i] = static_cast<uint8_t>(~ink[i]);
  BrushOf(gc) = platform::Brush::Pattern(bits);
}

// Passes a change of the current context on to the area's platform context, if taken.
void Reselect() {
  JDrawState& state = JDrawCurrent();
  if (!state.gc || !state.contextTaken) return;
  if (platform::DeviceContext* dc = JDrawContextQuiet()) JDrawApplyGC(dc, state.gc);
}

JGC* CurrentOrReport(int line) {
  JGC* gc = JDrawCurrent().gc;
  if (!gc) JAssertFail(kSource, line);
  return gc;
}

void ReplaceFont(JGC* gc, JFontRef* font) {
  if (!font) return;
  JFontRef* old = gc->font;
  gc->font = font;
  if (old) JFontRelease(old);
}

}  // namespace

uint32_t JColourToPlatform(const JColour* c) {
  if (!c) return 0;
  // A display with a colour table draws with its nearest entry.
  return JDisplayColour((static_cast<uint32_t>(JColourChannel8(c->red)) << 16) |
                        (static_cast<uint32_t>(JColourChannel8(c->green)) << 8) | JColourChannel8(c->blue));
}

uint16_t JPatternResource(uint32_t pattern) {
  if (pattern <= 1) return 0;  // solid (0 is no pattern number: it is drawn solid too)
  if (pattern <= 45) return static_cast<uint16_t>(pattern + 256);
  if (pattern <= 50) return 302;
  if (pattern <= 90) return static_cast<uint16_t>(pattern + 78);
  return 257;
}

JGC* JNewGC() {
  JDrawEnsureInit();
  JGC* gc = static_cast<JGC*>(JAlloc(sizeof(JGC)));
  gc->font = JFontGet(nullptr, kJDefaultFontSize, 0, 1.0);
  gc->penH = 0;
  gc->penV = 0;
  gc->penSize = 1;
  gc->patternMode = 0;
  gc->penWidth = 1;
  gc->platformPen = new (JAlloc(sizeof(platform::Pen))) platform::Pen();
  gc->platformBrush = new (JAlloc(sizeof(platform::Brush))) platform::Brush();
  gc->fillPattern = 1;
  gc->foreColour = 0x000000;
  gc->backColour = 0xFFFFFF;
  gc->drawMode = kJModeCopy;
  RebuildPen(gc);
  RebuildBrush(gc);
  return gc;
}

void JDisposeGC(JGC* gc) {
  if (!gc || gc == gDefaultGC) return;
  JDrawState& state = JDrawCurrent();
  if (state.gc == gc) state.gc = nullptr;
  if (gc->font) JFontRelease(gc->font);
  JFree(gc->platformPen);
  JFree(gc->platformBrush);
  JFree(gc);
}

void JGCShutdown() {
  JGC* gc = gDefaultGC;
  gDefaultGC = nullptr;
  JDisposeGC(gc);
}

JGC* JDefaultGC() {
  if (!gDefaultGC) gDefaultGC = JNewGC();
  return gDefaultGC;
}

void JDrawApplyGC(platform::DeviceContext* dc, const JGC* gc) {
  JGC* g = const_cast<JGC*>(gc);
  if (g->font) {
    std::shared_ptr<platform::Font> font = JFontPlatformFont(g->font);
    if (font) {
      dc->setFont(std::move(font));
    } else {
      JDebugReport(kSource, __LINE__, "Cannot set to new font");
    }
    dc->setCharacterExtra((g->font->style & kJStyleOutline) ? 2 : 0);
  }
  dc->setTextAlign(platform::TextHAlign::Left, platform::TextVAlign::Baseline);
  dc->setBackgroundMode(platform::BackgroundMode::Transparent);
  platform::Pen none;
  none.style = platform::PenStyle::Null;
  dc->setPen(JDrawCurrent().kind == kJAreaHiddenWindow ? none : PenOf(g));
  dc->setBrush(BrushOf(g));
  dc->setTextColour(g->foreColour);
  dc->setBackgroundColour(g->backColour);
  dc->setRop2(g->drawMode);
  dc->moveTo(g->penH, g->penV);
}

void JSetGC(JGC* gc) {
  JDrawEnsureInit();
  if (!gc) {
    JDebugReport(kSource, __LINE__, "NULL graphics context");
    JBeep();
    return;
  }
  JDrawCurrent().gc = gc;
  Reselect();
}

JGC* JCurrentGC() { return JDrawCurrent().gc; }

void JSetForeColour(const JColour* colour) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc || !colour) return;
  gc->foreColour = JColourToPlatform(colour);
  RebuildPen(gc);
  RebuildBrush(gc);
  Reselect();
}

void JSetBackColour(const JColour* colour) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc || !colour) return;
  gc->backColour = JColourToPlatform(colour);
  Reselect();
}

void JSetPenWidth(int16_t width) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc) return;
  gc->penWidth = width;
  RebuildPen(gc);
  Reselect();
}

void JSetFillPattern(uint32_t pattern) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc) return;
  gc->fillPattern = pattern;
  RebuildBrush(gc);
  Reselect();
}

void JSetPatternMode(bool on) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (gc) gc->patternMode = on ? 1 : 0;
}

void JSetDrawMode(uint16_t mode) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc) return;
  gc->drawMode = (mode >= 1 && mode <= 16) ? mode : static_cast<uint16_t>(kJModeCopy);
  Reselect();
}

void JSetFont(JFontRef* font) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc || !font) return;
  JFontRef* taken = JFontGet(font->face ? font->face->name : nullptr, font->size, font->style, font->scale);
  if (!taken) return;
  ReplaceFont(gc, taken);
  Reselect();
}

void JSetFace(const char* face) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc || !gc->font) return;
  // The change takes the new font and releases the one it started from.
  JFontRef* font = JFontChangeFace(gc->font, face);
  if (!font) return;
  gc->font = font;
  Reselect();
}

void JSetSize(uint16_t size) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc || !gc->font) return;
  // The change takes the new font and releases the one it started from.
  JFontRef* font = JFontChangeSize(gc->font, size);
  if (!font) return;
  gc->font = font;
  Reselect();
}

void JSetStyle(uint16_t style) {
  JGC* gc = CurrentOrReport(__LINE__);
  if (!gc || !gc->font) return;
  // The change takes the new font and releases the one it started from.
  JFontRef* font = JFontChangeStyle(gc->font, style);
  if (!font) return;
  gc->font = font;
  Reselect();
}
