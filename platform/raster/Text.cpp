// Text output. Glyphs are blended by coverage on 32-bit targets and drawn with hard edges
// on 1-bit and 8-bit targets. Everything drawn stays inside the measured box (advance
// widths by ascent plus descent), so callers can erase exactly what they measured.
#include <algorithm>

#include "platform/raster/DeviceContext.h"
#include "platform/raster/PaintInternal.h"

namespace platform {

TextExtent DeviceContext::textExtent(const char* text, int length) const {
  TextExtent extent;
  if (!font_) return extent;
  extent.ascent = font_->ascent();
  extent.descent = font_->descent();
  if (!text || length <= 0) return extent;
  const char* p = text;
  const char* end = text + length;
  while (p < end) extent.width += font_->advance(NextCodePoint(p, end)) + charExtra_;
  return extent;
}

void DeviceContext::textOut(int x, int y, const char* text, int length) {
  if (!target_ || !font_ || !text || length <= 0) return;
  const TextExtent extent = textExtent(text, length);
  const Point at = toDevice(x, y);
  int left = at.x;
  if (hAlign_ == TextHAlign::Centre) left -= extent.width / 2;
  if (hAlign_ == TextHAlign::Right) left -= extent.width;
  int baseline = at.y;
  if (vAlign_ == TextVAlign::Top) baseline += extent.ascent;
  if (vAlign_ == TextVAlign::Bottom) baseline -= extent.descent;
  const Rect box{left, baseline - extent.ascent, left + extent.width, baseline + extent.descent};

  Region area(box);
  area.intersect(effectiveClip());
  if (area.empty()) return;

  if (backgroundMode_ == BackgroundMode::Opaque) {
    SpanPaint back;
    back.value = valueOfColour(backgroundColour_);
    for (const Rect& r : area.rects()) {
      for (int row = r.top; row < r.bottom; ++row) WriteSpan(*target_, row, r.left, r.right, back);
    }
  }
  const bool blend = target_->depth() == 32;
  const uint32_t ink = valueOfColour(textColour_);
  const Colour inkColour = textColour_;
  int penX = left;
  const char* p = text;
  const char* end = text + length;
  while (p < end) {
    const Glyph& g = font_->glyph(NextCodePoint(p, end), blend);
    for (const Rect& r : area.rects()) {
      if (!g.coverage) break;
      const int gx0 = penX + g.left;
      const int gy0 = baseline - g.top;
      const Rect gr = Rect{gx0, gy0, gx0 + g.width, gy0 + g.height}.intersected(r);
      for (int row = gr.top; row < gr.bottom; ++row) {
        const uint8_t* cov = g.coverage + static_cast<size_t>(row - gy0) * g.width;
        for (int col = gr.left; col < gr.right; ++col) {
          const unsigned a = cov[col - gx0];
          if (a == 0) continue;
          if (!blend) {
            if (a >= 128) WriteValue(*target_, col, row, ink);
            continue;
          }
          uint32_t& px = target_->row32(row)[col];
          if (a == 255) {
            px = inkColour;
            continue;
          }
          const uint32_t d = px;
          auto mix = [&](int shift) {
            const unsigned c = (inkColour >> shift) & 0xFF, b = (d >> shift) & 0xFF;
            return ((c * a + b * (255 - a) + 127) / 255) << shift;
          };
          px = mix(16) | mix(8) | mix(0);
        }
      }
    }
    penX += g.advance + charExtra_;
  }
  const FontSpec& fontSpec = font_->fontSpec();
  if (fontSpec.underline || fontSpec.strikeOut) {
    SpanPaint line;
    line.value = ink;
    const int thickness = std::max(1, font_->height() / 14);
    auto rule = [&](int top) {
      Region band(Rect{box.left, top, box.right, top + thickness});
      band.intersect(area);
      for (const Rect& r : band.rects()) {
        for (int row = r.top; row < r.bottom; ++row) WriteSpan(*target_, row, r.left, r.right, line);
      }
    };
    if (fontSpec.underline) rule(baseline + std::max(1, extent.descent / 2));
    if (fontSpec.strikeOut) rule(baseline - extent.ascent / 3);
  }
}

}  // namespace platform
