#include "platform/wm/CaptionFont.h"

#include <memory>

#include "platform/raster/Font.h"

namespace platform::wm {

namespace {

Font* TheFont() {
  static std::shared_ptr<Font> font = [] {
    FontSpec fontSpec;
    fontSpec.face = "Sans";
    fontSpec.height = CaptionFont::kPixelHeight;
    return Font::Create(fontSpec);
  }();
  return font.get();
}

uint32_t Blend(uint32_t under, Colour c, int coverage) {
  auto mix = [coverage](uint32_t a, uint32_t b) { return (a * (255 - coverage) + b * coverage + 127) / 255; };
  const uint32_t r = mix((under >> 16) & 0xFF, (c >> 16) & 0xFF);
  const uint32_t g = mix((under >> 8) & 0xFF, (c >> 8) & 0xFF);
  const uint32_t b = mix(under & 0xFF, c & 0xFF);
  return (r << 16) | (g << 8) | b;
}

}  // namespace

void CaptionFont::Draw(Bitmap& target, const Rect& clip, int x, int top, int height,
                       const std::string& s, Colour c) {
  Font* font = TheFont();
  if (!font || s.empty()) return;
  const Rect area = clip.intersected({0, 0, target.width(), target.height()});
  if (area.empty()) return;
  const int baseline = top + (height - font->height()) / 2 + font->ascent();
  const char* p = s.data();
  const char* end = p + s.size();
  int penX = x;
  while (p < end && penX < area.right) {
    const uint32_t code = NextCodePoint(p, end);
    const Glyph& g = font->glyph(code, true);
    for (int gy = 0; gy < g.height; ++gy) {
      const int y = baseline - g.top + gy;
      if (y < area.top || y >= area.bottom) continue;
      uint32_t* row = target.row32(y);
      for (int gx = 0; gx < g.width; ++gx) {
        const int px = penX + g.left + gx;
        if (px < area.left || px >= area.right) continue;
        const int cov = g.coverage[gy * g.width + gx];
        if (cov) row[px] = Blend(row[px], c, cov);
      }
    }
    penX += g.advance;
  }
}

int CaptionFont::Width(const std::string& s) {
  Font* font = TheFont();
  if (!font) return static_cast<int>(s.size()) * 7;
  int w = 0;
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end) w += font->advance(NextCodePoint(p, end));
  return w;
}

}  // namespace platform::wm
