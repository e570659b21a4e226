#include "platform/raster/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

FT_Library Library() {
  // One library for the process; FreeType is used from the single UI thread only.
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

// A face file chosen for a name, weight and slant; `italic` says whether the file is an
// italic face itself (otherwise italics are slanted here).
struct FaceChoice {
  std::string file;
  int index = 0;
  bool italic = false;
};

// Fonts by face name through fontconfig: metric-compatible faces stand in for the usual
// names (Arial, Times New Roman, Courier New), and any other name gets the configured
// default, DejaVu Sans here. Choices are kept, since metafiles make many alike fonts.
// fontconfig's configuration, loaded once and released when the program ends.
struct FontConfig {
  FcConfig* config = FcInitLoadConfigAndFonts();
  ~FontConfig() {
    if (config) FcConfigDestroy(config);
    FcFini();
  }
};

const FaceChoice& ChooseFace(const FontSpec& fontSpec) {
  static FontConfig fc;
  static std::map<std::tuple<std::string, bool, bool>, FaceChoice> chosen;
  const bool bold = fontSpec.weight >= 600;
  const auto key = std::make_tuple(fontSpec.face, bold, fontSpec.italic);
  if (auto it = chosen.find(key); it != chosen.end()) return it->second;
  FaceChoice& choice = chosen[key];
  choice.file = kFallbackFile;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(fontSpec.face.empty() ? "sans-serif" : fontSpec.face.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, fontSpec.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(fc.config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = fc.config ? FcFontMatch(fc.config, pattern, &result) : nullptr) {
    FcChar8* file = nullptr;
    int slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      choice.file = reinterpret_cast<const char*>(file);
      FcPatternGetInteger(match, FC_INDEX, 0, &choice.index);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      choice.italic = slant != FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return choice;
}

}  // namespace

struct Font::Impl {
  FT_Face face = nullptr;
  struct Entry {
    Glyph glyph;
    std::vector<uint8_t> pixels;
  };
  std::unordered_map<uint64_t, Entry> glyphs;  // node-based: entries never move
  std::unordered_map<uint32_t, int> advances;
  ~Impl() {
    if (face) FT_Done_Face(face);
  }
};

std::shared_ptr<Font> Font::Create(const FontSpec& fontSpec) {
  FT_Library lib = Library();
  if (!lib) return nullptr;
  std::shared_ptr<Font> font(new Font());
  font->spec_ = fontSpec;
  font->impl_ = std::make_unique<Impl>();
  FT_Face face = nullptr;
  const FaceChoice& choice = ChooseFace(fontSpec);
  bool italicFace = choice.italic;
  if (FT_New_Face(lib, choice.file.c_str(), choice.index, &face) != 0) {
    italicFace = false;
    if (FT_New_Face(lib, kFallbackFile, 0, &face) != 0) return nullptr;
  }
  font->impl_->face = face;
  const double units = face->units_per_EM;
  const double asc = face->ascender / units;
  const double desc = -face->descender / units;
  int em;
  if (fontSpec.height > 0) {
    em = std::max(1, static_cast<int>(std::lround(fontSpec.height / (asc + desc))));
    font->ascent_ = static_cast<int>(std::lround(fontSpec.height * asc / (asc + desc)));
    font->descent_ = fontSpec.height - font->ascent_;
  } else {
    em = fontSpec.height < 0 ? -fontSpec.height : 12;
    em = std::min(em, 2000);
    font->ascent_ = static_cast<int>(std::ceil(asc * em));
    font->descent_ = static_cast<int>(std::ceil(desc * em));
  }
  em = std::min(em, 2000);
  const int lineGap = static_cast<int>(std::lround((face->height / units) * em)) - font->ascent_ - font->descent_;
  font->externalLeading_ = std::max(0, lineGap);
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) return nullptr;
  // The average character width is the face's own figure (what writers measure a
  // requested width against), or the advance of 'x' where the face has none.
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const double averageEm = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth / units : 0.0;
  auto averageWidth = [&](double xEm) {
    return std::max(1, averageEm > 0 ? static_cast<int>(std::lround(averageEm * xEm)) : font->advance('x'));
  };
  font->averageWidth_ = averageWidth(em);
  if (fontSpec.width > 0 && fontSpec.width != font->averageWidth_) {
    // A requested character width scales the glyphs horizontally.
    const double xEm = std::clamp(double(em) * fontSpec.width / font->averageWidth_, 1.0, 4000.0);
    if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(std::lround(xEm)), static_cast<FT_UInt>(em)) != 0)
      return nullptr;
    font->impl_->advances.clear();
    font->averageWidth_ = averageWidth(xEm);
  }
  if (fontSpec.italic && !italicFace) {
    FT_Matrix slant;
    slant.xx = 0x10000;
    slant.xy = static_cast<FT_Fixed>(0.2126 * 0x10000);  // tan 12 degrees
    slant.yx = 0;
    slant.yy = 0x10000;
    FT_Set_Transform(face, &slant, nullptr);
  }
  return font;
}

Font::~Font() = default;

int Font::advance(uint32_t codePoint) {
  auto it = impl_->advances.find(codePoint);
  if (it != impl_->advances.end()) return it->second;
  int value = 0;
  if (FT_Load_Char(impl_->face, codePoint, FT_LOAD_DEFAULT) == 0) {
    value = static_cast<int>((impl_->face->glyph->advance.x + 32) >> 6);
  }
  impl_->advances.emplace(codePoint, value);
  return value;
}

const Glyph& Font::glyph(uint32_t codePoint, bool antialiased) {
  const uint64_t key = (static_cast<uint64_t>(codePoint) << 1) | (antialiased ? 1 : 0);
  auto it = impl_->glyphs.find(key);
  if (it != impl_->glyphs.end()) return it->second.glyph;
  Impl::Entry& entry = impl_->glyphs[key];
  entry.glyph.advance = advance(codePoint);
  const FT_Int32 flags = FT_LOAD_RENDER | (antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  if (FT_Load_Char(impl_->face, codePoint, flags) == 0) {
    const FT_GlyphSlot slot = impl_->face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    const int w = static_cast<int>(bm.width);
    const int h = static_cast<int>(bm.rows);
    if (w > 0 && h > 0 && (bm.pixel_mode == FT_PIXEL_MODE_GRAY || bm.pixel_mode == FT_PIXEL_MODE_MONO)) {
      entry.pixels.resize(static_cast<size_t>(w) * h);
      for (int y = 0; y < h; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < w; ++x) {
          uint8_t v;
          if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            v = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
          } else {
            v = row[x];
          }
          entry.pixels[static_cast<size_t>(y) * w + x] = v;
        }
      }
      entry.glyph.left = slot->bitmap_left;
      entry.glyph.top = slot->bitmap_top;
      entry.glyph.width = w;
      entry.glyph.height = h;
      entry.glyph.coverage = entry.pixels.data();
    }
  }
  return entry.glyph;
}

uint32_t NextCodePoint(const char*& p, const char* end) {
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  const auto* e = reinterpret_cast<const unsigned char*>(end);
  const unsigned char c = *s;
  int extra = 0;
  uint32_t cp = c;
  if (c >= 0xC2 && c <= 0xDF) {
    extra = 1;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    extra = 2;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    extra = 3;
    cp = c & 0x07;
  }
  if (extra > 0 && e - s > extra) {
    bool valid = true;
    for (int i = 1; i <= extra; ++i) {
      if ((s[i] & 0xC0) != 0x80) valid = false;
    }
    if (valid) {
      for (int i = 1; i <= extra; ++i) cp = (cp << 6) | (s[i] & 0x3F);
      const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
      if (!overlong && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
        p += extra + 1;
        return cp;
      }
    }
  }
  ++p;
  return c;
}

}  // namespace platform
