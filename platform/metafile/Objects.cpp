#include "platform/metafile/Objects.h"


#include <algorithm>
#include <cstring>

#include "platform/dib/DibReader.h"
#include "platform/metafile/Bitmap16.h"

namespace platform::wmf {

Colour ResolveColour(uint32_t ref, const std::vector<Colour>* palette) {
  if ((ref >> 24) == 1) {
    const uint32_t index = ref & 0xFFFF;
    return palette && index < palette->size() ? (*palette)[index] : 0;
  }
  return RGB(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

bool ReadPen(const Record& r, Object* o) {
  if (!r.has(5)) return false;
  o->kind = ObjectKind::Pen;
  static const PenStyle kStyles[] = {PenStyle::Solid,      PenStyle::Dash, PenStyle::Dot,
                                     PenStyle::DashDot,    PenStyle::DashDotDot,
                                     PenStyle::Null,       PenStyle::InsideFrame};
  const unsigned style = r.u(0) & 0x0F;
  o->pen.style = style < 7 ? kStyles[style] : PenStyle::Solid;
  o->pen.width = r.p(1);
  o->pen.colourRef = r.u32(3);
  return true;
}

namespace {

const uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

}  // namespace

bool ReadBrush(const Record& r, const std::vector<Colour>* palette, Object* o) {
  if (!r.has(4)) return false;
  o->kind = ObjectKind::Brush;
  const uint16_t style = r.u(0);
  const uint32_t ref = r.u32(1);
  const Colour colour = ResolveColour(ref, palette);
  o->brush.colourRef = ref;
  switch (style) {
    case 1:  // hollow
      o->brush.brush = Brush::Hollow();
      break;
    case 2: {
      const uint16_t hatch = r.u(3);
      o->brush.brush = Brush::Hatched(static_cast<Hatch>(hatch < 6 ? hatch : 0), colour);
      break;
    }
    default:  // solid; pattern styles without a pattern also paint solid
      o->brush.brush = Brush::Solid(colour);
      break;
  }
  return true;
}

bool ReadDibPatternBrush(const Record& r, const std::vector<Colour>* palette, Object* o) {
  if (!r.has(2)) return false;
  const uint16_t usage = r.u(1);
  dib::DibInfo info;
  std::string reason;
  dib::DecodeLimits limits;
  limits.maxPixels = 1 << 20;
  const bool paletteIndices = usage == 1;
  if (!dib::ParsePacked(r.bytes(2), r.bytesFrom(2), &info, &reason, limits, paletteIndices,
                        palette ? palette->data() : nullptr, palette ? palette->size() : 0))
    return false;
  std::unique_ptr<Bitmap> tile = Bitmap::Create(info.width, info.height, 32);
  if (!tile || !dib::DecodeBits(info, r.bytes(2) + info.bitsOffset, info.bitsSize, tile.get(), &reason))
    return false;
  Colour colours[64];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) colours[y * 8 + x] = tile->row32(y % info.height)[x % info.width];
  o->kind = ObjectKind::Brush;
  o->brush.brush = Brush::ColourPattern(colours);
  return true;
}

// The old device-dependent form: a bitmap's rows after its 10-byte header and 18 reserved
// bytes. A monochrome one is a pattern in the context's colours; others are colour tiles.
bool ReadPatternBrush(const Record& r, const std::vector<Colour>* palette, Object* o) {
  if (!r.has(5)) return false;
  o->kind = ObjectKind::Brush;
  const size_t first = 5 + 9;  // header words, then 18 reserved bytes
  const std::unique_ptr<Bitmap> tile =
      DecodeBitmap16(r, 0, first, 0, 1, palette ? *palette : std::vector<Colour>(), 1 << 20);
  if (!tile) {
    o->brush.brush = Brush::Solid(0);
    return true;
  }
  Colour colours[64];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) colours[y * 8 + x] = tile->row32(y % tile->height())[x % tile->width()];
  if (r.bytes(4)[1] != 1) {
    o->brush.brush = Brush::ColourPattern(colours);
    return true;
  }
  uint8_t rows[8] = {};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) rows[y] |= static_cast<uint8_t>(colours[y * 8 + x] << (7 - x));
  o->brush.brush = Brush::Pattern(rows);
  return true;
}

bool ReadFont(const Record& r, Object* o) {
  if (!r.has(9)) return false;
  o->kind = ObjectKind::Font;
  FontSpec& s = o->font.fontSpec;
  s.height = r.p(0);
  s.width = r.p(1);
  o->font.escapement = r.p(2);
  s.weight = r.p(4);
  const uint8_t* flags = r.bytes(5);
  s.italic = flags[0] != 0;
  s.underline = flags[1] != 0;
  s.strikeOut = flags[2] != 0;
  const uint8_t* face = r.bytes(9);
  const size_t room = std::min<size_t>(r.bytesFrom(9), 32);
  size_t n = 0;
  while (n < room && face[n] != 0) ++n;
  s.face.assign(reinterpret_cast<const char*>(face), n);
  return true;
}

bool ReadPalette(const Record& r, Object* o) {
  if (!r.has(2)) return false;
  const size_t count = std::min<size_t>(r.u(1), (r.paramWords - 2) / 2);
  o->kind = ObjectKind::Palette;
  o->palette.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = r.bytes(2 + 2 * i);
    o->palette[i] = RGB(e[0], e[1], e[2]);
  }
  return true;
}

// Scans after an 11-word header: each is a count, top and bottom, count / 2 pairs of
// left and right, and the count again.
bool ReadRegion(const Record& r, Object* o) {
  if (!r.has(11)) return false;
  o->kind = ObjectKind::Region;
  o->region.clear();
  const size_t scans = r.u(5);
  size_t at = 11;
  for (size_t s = 0; s < scans; ++s) {
    if (!r.has(at + 3)) break;
    const size_t count = r.u(at);
    const int top = r.p(at + 1), bottom = r.p(at + 2);
    if (!r.has(at + 3 + count + 1)) break;
    for (size_t i = 0; i + 1 < count; i += 2) {
      const Rect rect{r.p(at + 3 + i), top, r.p(at + 4 + i), bottom};
      if (!rect.empty()) o->region.push_back(rect);
    }
    at += 3 + count + 1;
  }
  if (scans == 0) {  // an empty scan list: the bounding box stands for the region
    const Rect box{r.p(7), r.p(8), r.p(9), r.p(10)};
    if (!box.empty()) o->region.push_back(box);
  }
  return true;
}

}  // namespace platform::wmf
