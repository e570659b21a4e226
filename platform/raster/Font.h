// Fonts of the raster: faces chosen by name, weight and slant through fontconfig and
// rasterised by FreeType, with a glyph cache per font. Names the system lacks get its
// default face (DejaVu Sans); weight 600 or more asks for bold; italic takes the italic
// face, or a slant of 12 degrees where there is none.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct FontSpec {
  std::string face;
  // Positive: cell height (ascent + descent) in pixels; negative: em height; 0: 12-pixel em.
  int height = 0;
  // Average character width in pixels; 0 keeps the natural width.
  int width = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// A rendered glyph: coverage 0..255 per pixel, rows top-down, placed relative to the
// pen position on the baseline (left bearing, and top as rows above the baseline).
struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int advance = 0;
  const uint8_t* coverage = nullptr;
};

class Font {
 public:
  // Null when no face file can be loaded.
  static std::shared_ptr<Font> Create(const FontSpec& fontSpec);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const FontSpec& fontSpec() const { return spec_; }
  int ascent() const { return ascent_; }
  int descent() const { return descent_; }
  int height() const { return ascent_ + descent_; }
  int externalLeading() const { return externalLeading_; }
  int averageCharWidth() const { return averageWidth_; }

  // Whole-pixel advance of one character (code point).
  int advance(uint32_t codePoint);
  // Anti-aliased coverage, or hard 0/255 edges when `antialiased` is false. The pointer
  // stays valid while the font lives.
  const Glyph& glyph(uint32_t codePoint, bool antialiased);

 private:
  struct Impl;
  Font() = default;
  FontSpec spec_;
  int ascent_ = 0;
  int descent_ = 0;
  int externalLeading_ = 0;
  int averageWidth_ = 0;
  std::unique_ptr<Impl> impl_;
};

// Decodes the next character of a byte string: UTF-8 where valid, otherwise the byte itself
// (Latin-1), so no input ever stalls or reads past `end`.
uint32_t NextCodePoint(const char*& p, const char* end);

}  // namespace platform
