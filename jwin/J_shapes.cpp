// The drawing primitives of the current area, with the current pen and brush.
#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/J_draw.h"
#include "jwin/draw_state.h"

namespace {

constexpr const char* kSource = "jwin/J_draw";

// The current platform context; a missing context or graphics context is reported with
// the primitive's line, and the primitive goes on with what it has.
platform::DeviceContext* Begin(int line) {
  platform::DeviceContext* dc = JDrawContext(kSource, line);
  JDrawCheckGC(kSource, line);
  return dc;
}

platform::Rect RectOf(int16_t left, int16_t top, int16_t right, int16_t bottom) {
  return {left, top, right, bottom};
}

void RememberPen(int16_t h, int16_t v) {
  if (JGC* gc = JDrawCurrent().gc) {
    gc->penH = h;
    gc->penV = v;
  }
}

// Points of the toolkit as points of the raster; `scratch` holds up to 64 of them.
const platform::Point* Points(const JPoint* points, int16_t count, platform::Point* scratch,
                              platform::Point** heap) {
  platform::Point* out = scratch;
  if (count > 64) {
    *heap = static_cast<platform::Point*>(JAlloc(sizeof(platform::Point) * static_cast<size_t>(count)));
    out = *heap;
  }
  for (int16_t i = 0; i < count; ++i) out[i] = {points[i].h, points[i].v};
  return out;
}

}  // namespace

void JMoveTo(int16_t h, int16_t v) {
  RememberPen(h, v);
  if (platform::DeviceContext* dc = JDrawContextQuiet()) dc->moveTo(h, v);
}

void JLineTo(int16_t h, int16_t v) {
  platform::DeviceContext* dc = Begin(__LINE__);
  RememberPen(h, v);
  if (dc) dc->lineTo(h, v);
}

void JDrawLine(int16_t h0, int16_t v0, int16_t h1, int16_t v1) {
  platform::DeviceContext* dc = Begin(__LINE__);
  RememberPen(h1, v1);
  if (dc) dc->line(h0, v0, h1, v1);
}

void JDrawPolyline(const JPoint* points, int16_t count) {
  platform::DeviceContext* dc = Begin(__LINE__);
  if (!dc || !points || count < 2) return;
  platform::Point scratch[64];
  platform::Point* heap = nullptr;
  dc->polyline(Points(points, count, scratch, &heap), count);
  JFree(heap);
}

void JDrawPolygon(const JPoint* points, int16_t count) {
  platform::DeviceContext* dc = Begin(__LINE__);
  if (!dc || !points || count < 2) return;
  platform::Point scratch[64];
  platform::Point* heap = nullptr;
  dc->polygon(Points(points, count, scratch, &heap), count);
  JFree(heap);
}

void JDrawOval(int16_t left, int16_t top, int16_t right, int16_t bottom) {
  if (platform::DeviceContext* dc = Begin(__LINE__)) dc->ellipse(RectOf(left, top, right, bottom));
}

void JDrawArc(int16_t left, int16_t top, int16_t right, int16_t bottom, int16_t startH, int16_t startV,
              int16_t endH, int16_t endV) {
  if (platform::DeviceContext* dc = Begin(__LINE__)) {
    dc->arc(RectOf(left, top, right, bottom), {startH, startV}, {endH, endV});
  }
}

void JDrawPie(int16_t left, int16_t top, int16_t right, int16_t bottom, int16_t startH, int16_t startV,
              int16_t endH, int16_t endV) {
  if (platform::DeviceContext* dc = Begin(__LINE__)) {
    dc->pie(RectOf(left, top, right, bottom), {startH, startV}, {endH, endV});
  }
}

void JDrawRoundRect(int16_t left, int16_t top, int16_t right, int16_t bottom, int16_t cornerWidth,
                    int16_t cornerHeight) {
  if (platform::DeviceContext* dc = Begin(__LINE__)) {
    dc->roundRect(RectOf(left, top, right, bottom), cornerWidth, cornerHeight);
  }
}

void JDrawRect(int16_t left, int16_t top, int16_t right, int16_t bottom) {
  if (platform::DeviceContext* dc = Begin(__LINE__)) dc->rectangle(RectOf(left, top, right, bottom));
}

void JFillRect(int16_t left, int16_t top, int16_t right, int16_t bottom) {
  platform::DeviceContext* dc = Begin(__LINE__);
  if (!dc) return;
  const JGC* gc = JDrawCurrent().gc;
  if (gc && gc->patternMode) {
    // Through the rectangle primitive: the brush in the drawing mode, no outline.
    const platform::Pen pen = dc->pen();
    dc->setPen({platform::PenStyle::Null, 1, 0});
    dc->rectangle(RectOf(left, top, right, bottom));
    dc->setPen(pen);
    return;
  }
  dc->fillRect(RectOf(left, top, right, bottom), dc->brush());
}

void JSetPixel(int16_t h, int16_t v) {
  platform::DeviceContext* dc = Begin(__LINE__);
  if (!dc) return;
  const JGC* gc = JDrawCurrent().gc;
  dc->setPixel(h, v, gc ? gc->foreColour : dc->textColour());
}

bool JGetPixel(int16_t h, int16_t v, JColour* out) {
  platform::DeviceContext* dc = Begin(__LINE__);
  platform::Colour c = 0;
  if (!dc || !out || !dc->getPixel(h, v, &c)) return false;
  // 8-bit channels widened so that converting back gives the same 8 bits.
  out->red = static_cast<uint16_t>(platform::RedOf(c) * 257);
  out->green = static_cast<uint16_t>(platform::GreenOf(c) * 257);
  out->blue = static_cast<uint16_t>(platform::BlueOf(c) * 257);
  return true;
}
