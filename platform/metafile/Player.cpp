#include "platform/metafile/Player.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/dib/DibReader.h"
#include "platform/metafile/AnsiText.h"
#include "platform/metafile/Mapping.h"
#include "platform/metafile/Objects.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::wmf {

namespace {

constexpr size_t kMaxObjects = 65535;
constexpr int kMaxFontPixels = 2048;
// Pixels a decoded record bitmap may have; larger ones are skipped, not drawn.
constexpr uint64_t kMaxRecordBitmapPixels = uint64_t{1} << 26;

// What SAVEDC keeps besides the context's own attributes.
struct State {
  Mapping mapping;
  PenObject pen;
  FontObject font;
  bool hasFont = false;
  int textAlign = 0;
  std::vector<Colour> palette;
};

class Playback {
 public:
  Playback(const Metafile& mf, DeviceContext& dc, const PlayOptions& options)
      : dc_(dc), options_(options) {
    // The table grows as objects are made: the header's count is only a hint, and a
    // large one must not cost memory before any object exists.
    objects_.reserve(std::min<size_t>(mf.objectCount(), 64));
  }

  void begin(const Rect& frame, const Rect& destination) {
    dc_.save();
    st_.mapping.setMode(kAnisotropic);
    st_.mapping.setWindowOrg(frame.left, frame.top);
    st_.mapping.setWindowExt(frame.width() != 0 ? frame.width() : 1, frame.height() != 0 ? frame.height() : 1);
    st_.mapping.setViewportOrg(destination.left, destination.top);
    st_.mapping.setViewportExt(destination.width() != 0 ? destination.width() : 1,
                               destination.height() != 0 ? destination.height() : 1);
    dc_.setBrush(Brush::Solid(0xFFFFFF));
    dc_.setTextColour(0x000000);
    dc_.setBackgroundColour(0xFFFFFF);
    dc_.setBackgroundMode(BackgroundMode::Opaque);
    dc_.setRop2(rop2::CopyPen);
    dc_.setFillRule(FillRule::Alternate);
    dc_.setTextAlign(TextHAlign::Left, TextVAlign::Top);
    dc_.setCharacterExtra(0);
    dc_.moveTo(0, 0);
  }

  void end() {
    drawHeldOpacity();
    while (!saved_.empty()) {
      saved_.pop_back();
      dc_.restore();
    }
    dc_.restore();
  }

  static bool Visit(const Record& r, void* data) {
    static_cast<Playback*>(data)->record(r);
    return true;
  }

 private:
  const Mapping& map() const { return st_.mapping; }

  void applyPen() {
    Pen pen;
    pen.style = st_.pen.style;
    pen.colour = ResolveColour(st_.pen.colourRef, &st_.palette);
    pen.width = st_.pen.width <= 0 ? 1 : std::max(1, map().width(st_.pen.width));
    dc_.setPen(pen);
  }

  Object* object(int index) {
    return index >= 0 && static_cast<size_t>(index) < objects_.size() ? &objects_[index] : nullptr;
  }

  // An object of kind None (a left-out palette) still fills a slot.
  void create(const Object& o) {
    for (Object& slot : objects_) {
      if (slot.kind == ObjectKind::None && !slot.reserved) {
        slot = o;
        slot.reserved = true;
        return;
      }
    }
    if (objects_.size() < kMaxObjects) {
      objects_.push_back(o);
      objects_.back().reserved = true;
    }
  }

  Region deviceRegion(const Object& o) const {
    Region region;
    for (const Rect& r : o.region) region.unite(map().rect(r.left, r.top, r.right, r.bottom));
    return region;
  }

  std::vector<Point> points(const Record& r, size_t first, size_t count) const {
    count = std::min(count, (r.paramWords - std::min(first, r.paramWords)) / 2);
    std::vector<Point> pts(count);
    for (size_t i = 0; i < count; ++i) pts[i] = map().point(r.p(first + 2 * i), r.p(first + 2 * i + 1));
    return pts;
  }

  void selectObject(int index) {
    Object* o = object(index);
    if (!o) return;
    switch (o->kind) {
      case ObjectKind::Pen:
        st_.pen = o->pen;
        break;
      case ObjectKind::Brush: {
        Brush b = o->brush.brush;
        if ((o->brush.colourRef >> 24) == 1 && b.style != BrushStyle::ColourPattern &&
            b.style != BrushStyle::Pattern)
          b.colour = ResolveColour(o->brush.colourRef, &st_.palette);
        dc_.setBrush(b);
        break;
      }
      case ObjectKind::Font:
        st_.font = o->font;
        st_.hasFont = true;
        break;
      case ObjectKind::Palette:
        st_.palette = o->palette;
        break;
      case ObjectKind::Region:
        dc_.setClipRegion(deviceRegion(*o));
        break;
      case ObjectKind::None:
        break;
    }
  }

  void applyFont() {
    FontSpec fontSpec = st_.font.fontSpec;
    if (!st_.hasFont) fontSpec = FontSpec();
    const double sy = std::fabs(map().scaleY()), sx = std::fabs(map().scaleX());
    fontSpec.height = static_cast<int>(std::lround(std::clamp(fontSpec.height * sy, -1.0 * kMaxFontPixels,
                                                          1.0 * kMaxFontPixels)));
    fontSpec.width = static_cast<int>(std::lround(std::clamp(std::fabs(fontSpec.width * sx), 0.0, 1.0 * kMaxFontPixels)));
    if (st_.font.fontSpec.height != 0 && fontSpec.height == 0) fontSpec.height = st_.font.fontSpec.height < 0 ? -1 : 1;
    const FontSpec& cached = fontSpec_;
    if (!font_ || cached.face != fontSpec.face || cached.height != fontSpec.height || cached.width != fontSpec.width ||
        cached.weight != fontSpec.weight || cached.italic != fontSpec.italic ||
        cached.underline != fontSpec.underline || cached.strikeOut != fontSpec.strikeOut) {
      font_ = Font::Create(fontSpec);
      fontSpec_ = fontSpec;
    }
    dc_.setFont(font_);
    const int h = st_.textAlign & 6;
    const int v = st_.textAlign & 24;
    dc_.setTextAlign(h == 2 ? TextHAlign::Right : h == 6 ? TextHAlign::Centre : TextHAlign::Left,
                     v == 8 ? TextVAlign::Bottom : v == 24 ? TextVAlign::Baseline : TextVAlign::Top);
  }

  // Draws text at a logical point, or at the current position when the alignment asks.
  void text(int lx, int ly, const uint8_t* bytes, size_t length, const Record* r, size_t dxAt) {
    applyFont();
    const bool updateCp = st_.textAlign & 1;
    Point at = updateCp ? dc_.currentPosition() : map().point(lx, ly);
    const bool haveDx = r && r->has(dxAt + length);
    int width = 0;
    if (st_.hasFont && st_.font.escapement % 3600 != 0) {
      width = angledText(at, bytes, length, haveDx ? r : nullptr, dxAt);
    } else if (!haveDx) {
      const std::string utf8 = AnsiToUtf8(bytes, length);
      dc_.textOut(at.x, at.y, utf8.data(), static_cast<int>(utf8.size()));
      width = dc_.textExtent(utf8.data(), static_cast<int>(utf8.size())).width;
      if (dc_.textHAlign() == TextHAlign::Right) width = -width;
    } else {
      // Per-character advances: each character at its own place, laid out from the left.
      std::vector<int> advance(length);
      for (size_t i = 0; i < length; ++i) {
        width += map().width(r->p(dxAt + i));
        advance[i] = width;
      }
      int x = at.x;
      if (dc_.textHAlign() == TextHAlign::Right) x -= width;
      if (dc_.textHAlign() == TextHAlign::Centre) x -= width / 2;
      const TextVAlign v = dc_.textVAlign();
      dc_.setTextAlign(TextHAlign::Left, v);
      for (size_t i = 0; i < length; ++i) {
        const std::string ch = AnsiToUtf8(bytes + i, 1);
        dc_.textOut(x + (i ? advance[i - 1] : 0), at.y, ch.data(), static_cast<int>(ch.size()));
      }
      if (st_.textAlign & 2) width = -width;
    }
    if (updateCp) dc_.moveTo(at.x + width, at.y);
  }

  // Text at the font's escapement (tenths of a degree, counter-clockwise on the device):
  // laid out level in a bitmap of its own, then turned about its reference point, which
  // the alignment places as for level text. Answers the level width.
  int angledText(Point at, const uint8_t* bytes, size_t length, const Record* dx, size_t dxAt) {
    const std::string utf8 = AnsiToUtf8(bytes, length);
    const TextExtent extent = dc_.textExtent(utf8.data(), static_cast<int>(utf8.size()));
    int width = extent.width;
    std::vector<int> lefts;
    if (dx) {
      width = 0;
      for (size_t i = 0; i < length; ++i) {
        lefts.push_back(width);
        width += map().width(dx->p(dxAt + i));
      }
    }
    const int height = extent.ascent + extent.descent;
    constexpr int kMaxSide = 8192;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return width;
    std::unique_ptr<Bitmap> level = Bitmap::Create(width, height, 32);
    if (!level) return width;
    for (int y = 0; y < height; ++y) std::fill_n(level->row32(y), width, Colour{0xFFFFFF});
    DeviceContext ldc(level.get());
    ldc.setFont(dc_.font());
    ldc.setTextColour(0);
    ldc.setBackgroundMode(BackgroundMode::Transparent);
    ldc.setTextAlign(TextHAlign::Left, TextVAlign::Top);
    ldc.setCharacterExtra(dc_.characterExtra());
    if (dx) {
      for (size_t i = 0; i < length; ++i) {
        const std::string ch = AnsiToUtf8(bytes + i, 1);
        ldc.textOut(lefts[i], 0, ch.data(), static_cast<int>(ch.size()));
      }
    } else {
      ldc.textOut(0, 0, utf8.data(), static_cast<int>(utf8.size()));
    }
    // The reference point in the level bitmap.
    const TextHAlign h = dc_.textHAlign();
    const TextVAlign v = dc_.textVAlign();
    const double ax = h == TextHAlign::Right ? width : h == TextHAlign::Centre ? width / 2 : 0;
    const double ay = v == TextVAlign::Baseline ? extent.ascent : v == TextVAlign::Bottom ? height : 0;
    const double angle = st_.font.escapement * 3.14159265358979323846 / 1800.0;
    const double c = std::cos(angle), s = std::sin(angle);
    // Level (u, v) from the reference point lands at (u c + v s, v c - u s) on the device.
    int x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (const auto& [u, w] : {std::pair{-ax, -ay}, std::pair{width - ax, -ay}, std::pair{-ax, height - ay},
                               std::pair{width - ax, height - ay}}) {
      const double x = at.x + u * c + w * s, y = at.y + w * c - u * s;
      x0 = std::min(x0, static_cast<int>(std::floor(x)));
      y0 = std::min(y0, static_cast<int>(std::floor(y)));
      x1 = std::max(x1, static_cast<int>(std::ceil(x)));
      y1 = std::max(y1, static_cast<int>(std::ceil(y)));
    }
    // Only the part on the target is visited.
    const Bitmap* target = dc_.target();
    if (!target) return width;
    const Point o = dc_.origin();
    x0 = std::max(x0, -o.x), y0 = std::max(y0, -o.y);
    x1 = std::min(x1, target->width() - o.x), y1 = std::min(y1, target->height() - o.y);
    const bool opaque = dc_.backgroundMode() == BackgroundMode::Opaque;
    const Colour ink = dc_.textColour(), paper = dc_.backgroundColour();
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const double px = x + 0.5 - at.x, py = y + 0.5 - at.y;
        const int lu = static_cast<int>(std::floor(px * c - py * s + ax));
        const int lv = static_cast<int>(std::floor(px * s + py * c + ay));
        if (lu < 0 || lv < 0 || lu >= width || lv >= height) continue;
        const uint32_t k = 255 - (level->row32(lv)[lu] & 0xFF);  // ink coverage
        if (k == 0 && !opaque) continue;
        Colour under;
        if (!dc_.getPixel(x, y, &under)) continue;
        if (opaque) under = paper;
        Colour out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint32_t i = (ink >> shift) & 0xFF, d = (under >> shift) & 0xFF;
          out |= ((i * k + d * (255 - k) + 127) / 255) << shift;
        }
        dc_.setPixel(x, y, out);
      }
    }
    return width;
  }

  void textOut(const Record& r) {
    if (!r.has(1)) return;
    const size_t count = std::max<int>(r.p(0), 0);
    const size_t words = (count + 1) / 2;
    if (!r.has(1 + words + 2)) return;
    text(r.p(2 + words), r.p(1 + words), r.bytes(1), count, nullptr, 0);
  }

  void extTextOut(const Record& r) {
    if (!r.has(4)) return;
    const int ly = r.p(0), lx = r.p(1);
    const size_t count = std::max<int>(r.p(2), 0);
    const uint16_t options = r.u(3);
    size_t at = 4;
    Rect clip;
    const bool hasRect = (options & 0x0006) != 0;
    if (hasRect) {
      if (!r.has(8)) return;
      clip = map().rect(r.p(4), r.p(5), r.p(6), r.p(7));
      at = 8;
    }
    const size_t words = (count + 1) / 2;
    if (!r.has(at + words)) return;
    if (options & 0x0002) dc_.fillRect(clip, Brush::Solid(dc_.backgroundColour()));
    if (options & 0x0004) {
      dc_.save();
      dc_.intersectClipRect(clip);
    }
    text(lx, ly, r.bytes(at), count, &r, at + words);
    if (options & 0x0004) dc_.restore();
  }

  // Decodes a packed bitmap carried by a record; null when it is damaged or too large.
  std::unique_ptr<Bitmap> recordBitmap(const Record& r, size_t at, bool paletteIndices,
                                       dib::DibInfo* info) {
    if (!r.has(at + 2)) return nullptr;
    std::string reason;
    dib::DecodeLimits limits;
    limits.maxPixels = std::min(kMaxRecordBitmapPixels, options_.maxBitmapPixels);
    if (!dib::ParsePacked(r.bytes(at), r.bytesFrom(at), info, &reason, limits, paletteIndices,
                          st_.palette.data(), st_.palette.size()))
      return nullptr;
    std::unique_ptr<Bitmap> b = Bitmap::Create(info->width, info->height, 32);
    if (!b || !dib::DecodeBits(*info, r.bytes(at) + info->bitsOffset, info->bitsSize, b.get(), &reason))
      return nullptr;
    return b;
  }

  // The old device-dependent bitmap form: monochrome only (its colours come from the
  // context, as for any 1-bit source); other depths are not drawn.
  std::unique_ptr<Bitmap> bitmap16(const Record& r, size_t at) {
    if (!r.has(at + 5)) return nullptr;
    const int width = r.p(at + 1), height = r.p(at + 2), widthBytes = r.p(at + 3);
    if (r.bytes(at + 4)[1] != 1 || width <= 0 || height <= 0 || widthBytes <= 0) return nullptr;
    if (static_cast<uint64_t>(width) * height > options_.maxBitmapPixels) return nullptr;
    if (static_cast<uint64_t>(widthBytes) * height > r.bytesFrom(at + 5)) return nullptr;
    if (widthBytes * 8 < width) return nullptr;
    std::unique_ptr<Bitmap> b = Bitmap::Create(width, height, 32);
    if (!b) return nullptr;
    const uint8_t* bits = r.bytes(at + 5);
    const Colour zero = dc_.textColour(), one = dc_.backgroundColour();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        b->row32(y)[x] = ((bits[y * widthBytes + x / 8] >> (7 - x % 8)) & 1) ? one : zero;
    return b;
  }

  // A transfer to a logical destination box from a source rectangle of a bitmap.
  void blit(int dx, int dy, int dw, int dh, const Bitmap* src, int sx, int sy, int sw, int sh,
            uint32_t rop) {
    const int x0 = map().x(dx), y0 = map().y(dy);
    const int x1 = map().x(dx + dw), y1 = map().y(dy + dh);
    if (!src) {
      dc_.patBlt(Rect::Normalized(x0, y0, x1, y1), rop);
      return;
    }
    dc_.stretchBitmap(x0, y0, x1 - x0, y1 - y0, *src, sx, sy, sw, sh, rop);
  }

  void bitBlt(const Record& r, bool dibForm) {
    const uint32_t rop = r.has(2) ? r.u32(0) : 0;
    if (!fn::BlitHasBitmap(r.function, r.sizeWords)) {
      if (r.has(9)) blit(r.p(8), r.p(7), r.p(6), r.p(5), nullptr, 0, 0, 0, 0, rop);
      return;
    }
    if (!r.has(8)) return;
    dib::DibInfo info;
    std::unique_ptr<Bitmap> b = dibForm ? recordBitmap(r, 8, false, &info) : bitmap16(r, 8);
    if (b) blit(r.p(7), r.p(6), r.p(5), r.p(4), b.get(), r.p(3), r.p(2), r.p(5), r.p(4), rop);
  }

  void stretchBlt(const Record& r, bool dibForm) {
    const uint32_t rop = r.has(2) ? r.u32(0) : 0;
    if (!fn::BlitHasBitmap(r.function, r.sizeWords)) {
      if (r.has(11)) blit(r.p(10), r.p(9), r.p(8), r.p(7), nullptr, 0, 0, 0, 0, rop);
      return;
    }
    if (!r.has(10)) return;
    dib::DibInfo info;
    std::unique_ptr<Bitmap> b = dibForm ? recordBitmap(r, 10, false, &info) : bitmap16(r, 10);
    if (b) blit(r.p(9), r.p(8), r.p(7), r.p(6), b.get(), r.p(5), r.p(4), r.p(3), r.p(2), rop);
  }

  // Source rows of a bottom-up bitmap are counted from its bottom line.
  static int SourceTop(const dib::DibInfo& info, int y, int h) {
    return info.topDown ? y : info.height - y - h;
  }

  void stretchDib(const Record& r) {
    if (!r.has(11)) return;
    dib::DibInfo info;
    std::unique_ptr<Bitmap> b = recordBitmap(r, 11, r.u(2) == 1, &info);
    if (!b) {
      drawHeldOpacity();
      return;
    }
    const int sh = r.p(3), sw = r.p(4), sy = r.p(5), sx = r.p(6);
    HeldBlit blit{r.p(10), r.p(9), r.p(8), r.p(7), sx, SourceTop(info, sy, sh), sw, sh, std::move(b)};
    const uint32_t rop = r.u32(0);
    if (rop == rop3::SrcAnd && heldOpacity_ && heldOpacity_->sameBox(blit)) {
      blendWithOpacity(*heldOpacity_, blit);
      heldOpacity_.reset();
      return;
    }
    drawHeldOpacity();
    if (rop == rop3::SrcPaint) {
      heldOpacity_ = std::move(blit);
      return;
    }
    this->blit(blit.dx, blit.dy, blit.dw, blit.dh, blit.bitmap.get(), blit.sx, blit.sy, blit.sw, blit.sh, rop);
  }

  // Pictures with partial transparency reach metafiles as two stretched bitmaps onto one
  // box: the opacity as grey levels merged in (SRCPAINT), then the colours masked in
  // (SRCAND), white where clear. Played literally, any partly clear colour but white comes
  // out black; played as a pair, the colours are blended by the opacity, which matches
  // the literal result wherever the opacity is all or nothing. So a merged-in bitmap is
  // held until the next record shows whether it starts such a pair.
  struct HeldBlit {
    int dx, dy, dw, dh, sx, sy, sw, sh;
    std::unique_ptr<Bitmap> bitmap;
    bool sameBox(const HeldBlit& o) const {
      return dx == o.dx && dy == o.dy && dw == o.dw && dh == o.dh && sx == o.sx && sy == o.sy && sw == o.sw &&
             sh == o.sh && bitmap->width() == o.bitmap->width() && bitmap->height() == o.bitmap->height();
    }
  };

  void drawHeldOpacity() {
    if (!heldOpacity_) return;
    const HeldBlit& h = *heldOpacity_;
    blit(h.dx, h.dy, h.dw, h.dh, h.bitmap.get(), h.sx, h.sy, h.sw, h.sh, rop3::SrcPaint);
    heldOpacity_.reset();
  }

  void blendWithOpacity(const HeldBlit& opacity, const HeldBlit& colours) {
    const int x0 = map().x(colours.dx), y0 = map().y(colours.dy);
    const int w = map().x(colours.dx + colours.dw) - x0, h = map().y(colours.dy + colours.dh) - y0;
    std::unique_ptr<Bitmap> alpha, paint;
    if (w > 0 && h > 0 && static_cast<uint64_t>(w) * h <= options_.maxBitmapPixels) {
      alpha = Bitmap::Create(w, h, 32);
      paint = Bitmap::Create(w, h, 32);
    }
    if (!alpha || !paint) {  // mirrored or too large: as the records say
      blit(opacity.dx, opacity.dy, opacity.dw, opacity.dh, opacity.bitmap.get(), opacity.sx, opacity.sy,
           opacity.sw, opacity.sh, rop3::SrcPaint);
      blit(colours.dx, colours.dy, colours.dw, colours.dh, colours.bitmap.get(), colours.sx, colours.sy,
           colours.sw, colours.sh, rop3::SrcAnd);
      return;
    }
    // Both stretched the same way onto the box; pixels with no source stay clear.
    for (int y = 0; y < h; ++y) {
      std::fill_n(alpha->row32(y), w, Colour{0});
      std::fill_n(paint->row32(y), w, Colour{0xFFFFFF});
    }
    DeviceContext(alpha.get()).stretchBitmap(0, 0, w, h, *opacity.bitmap, opacity.sx, opacity.sy, opacity.sw,
                                             opacity.sh, rop3::SrcCopy);
    DeviceContext(paint.get()).stretchBitmap(0, 0, w, h, *colours.bitmap, colours.sx, colours.sy, colours.sw,
                                             colours.sh, rop3::SrcCopy);
    for (int y = 0; y < h; ++y) {
      const Colour* a = alpha->row32(y);
      Colour* out = paint->row32(y);
      for (int x = 0; x < w; ++x) {
        Colour under;
        if (!dc_.getPixel(x0 + x, y0 + y, &under)) continue;  // clipped: not drawn below either
        Colour blended = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint32_t k = (a[x] >> shift) & 0xFF, c = (out[x] >> shift) & 0xFF, d = (under >> shift) & 0xFF;
          blended |= ((c * k + d * (255 - k) + 127) / 255) << shift;
        }
        out[x] = blended;
      }
    }
    dc_.stretchBitmap(x0, y0, w, h, *paint, 0, 0, w, h, rop3::SrcCopy);
  }

  void setDibToDev(const Record& r) {
    if (!r.has(9)) return;
    dib::DibInfo info;
    std::unique_ptr<Bitmap> b = recordBitmap(r, 9, r.u(0) == 1, &info);
    if (!b) return;
    const int h = r.p(5), w = r.p(6), ySrc = r.p(3), xSrc = r.p(4);
    // Device pixels one for one, whatever the mapping scales.
    const int x = map().x(r.p(8)), y = map().y(r.p(7));
    dc_.stretchBitmap(x, y, w, h, *b, xSrc, SourceTop(info, ySrc, h), w, h, rop3::SrcCopy);
  }

  // Fills the area around (x, y) that is not the border colour (border mode) or that is
  // the given colour (surface mode), with the brush, inside the target and clip.
  void floodFill(int lx, int ly, Colour colour, bool surface) {
    const Bitmap* target = dc_.target();
    if (!target) return;
    const Point o = dc_.origin();
    const int w = target->width(), h = target->height();
    const Point start = map().point(lx, ly);
    auto inside = [&](int x, int y) {
      Colour c;
      if (!dc_.getPixel(x, y, &c)) return false;
      return surface ? c == colour : c != colour;
    };
    if (!inside(start.x, start.y)) return;
    std::vector<bool> seen(static_cast<size_t>(w) * h, false);  // a bit a pixel of the target
    std::vector<Rect> spans;
    std::vector<Point> stack{start};
    while (!stack.empty()) {
      const Point p = stack.back();
      stack.pop_back();
      const int bx = p.x + o.x, by = p.y + o.y;
      if (bx < 0 || by < 0 || bx >= w || by >= h || seen[static_cast<size_t>(by) * w + bx]) continue;
      if (!inside(p.x, p.y)) continue;
      int left = p.x, right = p.x;
      while (left - 1 + o.x >= 0 && !seen[static_cast<size_t>(by) * w + left - 1 + o.x] && inside(left - 1, p.y)) --left;
      while (right + 1 + o.x < w && !seen[static_cast<size_t>(by) * w + right + 1 + o.x] && inside(right + 1, p.y)) ++right;
      for (int x = left; x <= right; ++x) {
        seen[static_cast<size_t>(by) * w + x + o.x] = true;
        if (by > 0) stack.push_back({x, p.y - 1});
        if (by + 1 < h) stack.push_back({x, p.y + 1});
      }
      spans.push_back({left, p.y, right + 1, p.y + 1});
    }
    const Brush brush = dc_.brush();
    for (const Rect& s : spans) dc_.fillRect(s, brush);
  }

  void region(const Record& r) {
    if (!r.has(1)) return;
    Object* o = object(r.p(0));
    if (!o || o->kind != ObjectKind::Region) return;
    const Region dev = deviceRegion(*o);
    switch (r.function) {
      case fn::FillRegion: {
        Object* b = r.has(2) ? object(r.p(1)) : nullptr;
        if (b && b->kind == ObjectKind::Brush) dc_.fillRegion(dev, b->brush.brush);
        break;
      }
      case fn::PaintRegion:
        dc_.fillRegion(dev, dc_.brush());
        break;
      case fn::InvertRegion:
        for (const Rect& rect : dev.rects()) dc_.invertRect(rect);
        break;
      case fn::FrameRegion: {
        Object* b = r.has(4) ? object(r.p(1)) : nullptr;
        if (!b || b->kind != ObjectKind::Brush) break;
        const int fw = std::max(1, map().width(r.p(3))), fh = std::max(1, map().height(r.p(2)));
        Region inner = dev;
        for (Point d : {Point{fw, 0}, Point{-fw, 0}, Point{0, fh}, Point{0, -fh}}) {
          Region shifted = dev;
          shifted.translate(d.x, d.y);
          inner.intersect(shifted);
        }
        Region frame = dev;
        frame.subtract(inner);
        dc_.fillRegion(frame, b->brush.brush);
        break;
      }
      default:
        break;
    }
  }

  void restoreTo(int level) {
    // Negative: that many levels back; positive: the state saved as that number.
    size_t keep;
    if (level < 0) {
      const size_t back = static_cast<size_t>(-static_cast<int64_t>(level));
      if (back > saved_.size()) return;
      keep = saved_.size() - back;
    } else {
      if (level == 0 || static_cast<size_t>(level) > saved_.size()) return;
      keep = static_cast<size_t>(level) - 1;
    }
    while (saved_.size() > keep) {
      st_ = saved_.back();
      saved_.pop_back();
      dc_.restore();
    }
  }

  void palette(const Record& r) {
    switch (r.function) {
      case fn::SelectPalette:
        if (r.has(1)) selectObject(r.p(0));
        break;
      case fn::SetPalEntries:
      case fn::AnimatePalette: {
        if (!r.has(2)) break;
        const size_t start = r.u(0);
        const size_t count = std::min<size_t>(r.u(1), (r.paramWords - 2) / 2);
        for (size_t i = 0; i < count && start + i < st_.palette.size(); ++i) {
          const uint8_t* e = r.bytes(2 + 2 * i);
          st_.palette[start + i] = RGB(e[0], e[1], e[2]);
        }
        break;
      }
      case fn::ResizePalette:
        if (r.has(1)) st_.palette.resize(r.u(0), 0);
        break;
      case fn::CreatePalette: {
        Object o;
        if (ReadPalette(r, &o)) create(o);
        break;
      }
      default:
        break;
    }
  }

  void record(const Record& r) {
    if (r.function != fn::StretchDib) drawHeldOpacity();
    // Skipped palette creations still take their slots, so later objects keep their indices.
    if (options_.skipPaletteRecords && IsPaletteRecord(r.function)) {
      if (r.function == fn::CreatePalette) create(Object());
      return;
    }
    Mapping& m = st_.mapping;
    switch (r.function) {
      // --- state ---------------------------------------------------------------------------
      case fn::SetMapMode:
        if (r.has(1)) m.setMode(r.p(0));
        break;
      case fn::SetWindowOrg:
        if (r.has(2)) m.setWindowOrg(r.p(1), r.p(0));
        break;
      case fn::SetWindowExt:
        if (r.has(2)) m.setWindowExt(r.p(1), r.p(0));
        break;
      case fn::SetViewportOrg:
        if (r.has(2)) m.setViewportOrg(r.p(1), r.p(0));
        break;
      case fn::SetViewportExt:
        if (r.has(2)) m.setViewportExt(r.p(1), r.p(0));
        break;
      case fn::OffsetWindowOrg:
        if (r.has(2)) m.offsetWindowOrg(r.p(1), r.p(0));
        break;
      case fn::OffsetViewportOrg:
        if (r.has(2)) m.offsetViewportOrg(r.p(1), r.p(0));
        break;
      case fn::ScaleWindowExt:
        if (r.has(4)) m.scaleWindowExt(r.p(3), r.p(2), r.p(1), r.p(0));
        break;
      case fn::ScaleViewportExt:
        if (r.has(4)) m.scaleViewportExt(r.p(3), r.p(2), r.p(1), r.p(0));
        break;
      case fn::SaveDC:
        saved_.push_back(st_);
        dc_.save();
        break;
      case fn::RestoreDC:
        if (r.has(1)) restoreTo(r.p(0));
        break;
      case fn::SetBkColor:
        if (r.has(2)) dc_.setBackgroundColour(ResolveColour(r.u32(0), &st_.palette));
        break;
      case fn::SetTextColor:
        if (r.has(2)) dc_.setTextColour(ResolveColour(r.u32(0), &st_.palette));
        break;
      case fn::SetBkMode:
        if (r.has(1) && (r.p(0) == 1 || r.p(0) == 2)) dc_.setBackgroundMode(static_cast<BackgroundMode>(r.p(0)));
        break;
      case fn::SetRop2:
        if (r.has(1)) dc_.setRop2(r.p(0));
        break;
      case fn::SetPolyFillMode:
        if (r.has(1)) dc_.setFillRule(r.p(0) == 2 ? FillRule::Winding : FillRule::Alternate);
        break;
      case fn::SetTextAlign:
        if (r.has(1)) st_.textAlign = r.u(0);
        break;
      case fn::SetTextCharExtra:
        if (r.has(1)) dc_.setCharacterExtra(static_cast<int>(std::lround(r.p(0) * std::fabs(m.scaleX()))));
        break;

      // --- objects -------------------------------------------------------------------------
      case fn::CreatePenIndirect:
      case fn::CreateBrushIndirect:
      case fn::DibCreatePatternBrush:
      case fn::CreatePatternBrush:
      case fn::CreateFontIndirect:
      case fn::CreateRegion: {
        Object o;
        bool ok = false;
        switch (r.function) {
          case fn::CreatePenIndirect: ok = ReadPen(r, &o); break;
          case fn::CreateBrushIndirect: ok = ReadBrush(r, &st_.palette, &o); break;
          case fn::DibCreatePatternBrush: ok = ReadDibPatternBrush(r, &st_.palette, &o); break;
          case fn::CreatePatternBrush: ok = ReadPatternBrush(r, &o); break;
          case fn::CreateFontIndirect: ok = ReadFont(r, &o); break;
          default: ok = ReadRegion(r, &o); break;
        }
        // A damaged object still takes its slot, so later indices stay right.
        if (!ok) o.kind = ObjectKind::Brush, o.brush.brush = Brush::Hollow();
        create(o);
        break;
      }
      case fn::SelectObject:
        if (r.has(1)) selectObject(r.p(0));
        break;
      case fn::DeleteObject:
        if (r.has(1))
          if (Object* o = object(r.p(0))) *o = Object();
        break;
      case fn::SelectPalette:
      case fn::SetPalEntries:
      case fn::AnimatePalette:
      case fn::ResizePalette:
      case fn::CreatePalette:
        palette(r);
        break;

      // --- clipping ------------------------------------------------------------------------
      case fn::IntersectClipRect:
        if (r.has(4)) dc_.intersectClipRect(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
        break;
      case fn::ExcludeClipRect:
        if (r.has(4)) dc_.excludeClipRect(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
        break;
      case fn::OffsetClipRgn:
        if (r.has(2) && dc_.hasClip()) {
          Region clip = dc_.clipRegion();
          clip.translate(static_cast<int>(std::lround(r.p(1) * m.scaleX())),
                         static_cast<int>(std::lround(r.p(0) * m.scaleY())));
          dc_.setClipRegion(clip);
        }
        break;
      case fn::SelectClipRegion: {
        Object* o = r.has(1) ? object(r.p(0)) : nullptr;
        if (o && o->kind == ObjectKind::Region)
          dc_.setClipRegion(deviceRegion(*o));
        else
          dc_.removeClip();
        break;
      }

      // --- drawing -------------------------------------------------------------------------
      case fn::MoveTo:
        if (r.has(2)) dc_.moveTo(m.x(r.p(1)), m.y(r.p(0)));
        break;
      case fn::LineTo:
        if (r.has(2)) {
          applyPen();
          dc_.lineTo(m.x(r.p(1)), m.y(r.p(0)));
        }
        break;
      case fn::Polyline:
      case fn::Polygon: {
        if (!r.has(1)) break;
        const std::vector<Point> pts = points(r, 1, r.u(0));
        applyPen();
        if (r.function == fn::Polyline)
          dc_.polyline(pts.data(), static_cast<int>(pts.size()));
        else
          dc_.polygon(pts.data(), static_cast<int>(pts.size()));
        break;
      }
      case fn::PolyPolygon: {
        if (!r.has(1)) break;
        const size_t polygons = r.u(0);
        if (!r.has(1 + polygons)) break;
        std::vector<int> counts(polygons);
        size_t total = 0;
        for (size_t i = 0; i < polygons; ++i) total += counts[i] = r.u(1 + i);
        const std::vector<Point> pts = points(r, 1 + polygons, total);
        if (pts.size() != total) break;
        applyPen();
        dc_.polyPolygon(pts.data(), counts.data(), static_cast<int>(polygons));
        break;
      }
      case fn::Rectangle:
      case fn::Ellipse:
        if (!r.has(4)) break;
        applyPen();
        if (r.function == fn::Rectangle)
          dc_.rectangle(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
        else
          dc_.ellipse(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
        break;
      case fn::RoundRect:
        if (!r.has(6)) break;
        applyPen();
        dc_.roundRect(m.rect(r.p(5), r.p(4), r.p(3), r.p(2)), m.width(r.p(1)), m.height(r.p(0)));
        break;
      case fn::Arc:
      case fn::Pie:
      case fn::Chord: {
        if (!r.has(8)) break;
        applyPen();
        const Rect box = m.rect(r.p(7), r.p(6), r.p(5), r.p(4));
        // Arcs run counter-clockwise on the device whatever the mapping, as in the
        // compatible graphics mode metafiles are played in.
        const Point start = m.point(r.p(3), r.p(2)), end = m.point(r.p(1), r.p(0));
        if (r.function == fn::Arc) dc_.arc(box, start, end);
        if (r.function == fn::Pie) dc_.pie(box, start, end);
        if (r.function == fn::Chord) dc_.chord(box, start, end);
        break;
      }
      case fn::SetPixel:
        if (r.has(4)) dc_.setPixel(m.x(r.p(3)), m.y(r.p(2)), ResolveColour(r.u32(0), &st_.palette));
        break;
      case fn::FloodFill:
        if (r.has(4)) floodFill(r.p(3), r.p(2), ResolveColour(r.u32(0), &st_.palette), false);
        break;
      case fn::ExtFloodFill:
        if (r.has(5)) floodFill(r.p(4), r.p(3), ResolveColour(r.u32(1), &st_.palette), r.p(0) == 1);
        break;
      case fn::PatBlt:
        if (r.has(6)) blit(r.p(5), r.p(4), r.p(3), r.p(2), nullptr, 0, 0, 0, 0, r.u32(0));
        break;
      case fn::TextOut:
        textOut(r);
        break;
      case fn::ExtTextOut:
        extTextOut(r);
        break;
      case fn::FillRegion:
      case fn::FrameRegion:
      case fn::InvertRegion:
      case fn::PaintRegion:
        region(r);
        break;

      // --- bitmaps -------------------------------------------------------------------------
      case fn::BitBlt:
        bitBlt(r, false);
        break;
      case fn::DibBitBlt:
        bitBlt(r, true);
        break;
      case fn::StretchBlt:
        stretchBlt(r, false);
        break;
      case fn::DibStretchBlt:
        stretchBlt(r, true);
        break;
      case fn::StretchDib:
        stretchDib(r);
        break;
      case fn::SetDibToDev:
        setDibToDev(r);
        break;
      default:
        break;  // records that change nothing here are skipped
    }
  }

  DeviceContext& dc_;
  PlayOptions options_;
  std::vector<Object> objects_;
  State st_;
  std::vector<State> saved_;
  std::shared_ptr<Font> font_;
  FontSpec fontSpec_;
  std::optional<HeldBlit> heldOpacity_;
};

}  // namespace

bool IsPaletteRecord(uint16_t function) {
  return function == fn::RealizePalette || function == fn::SetPalEntries ||
         function == fn::CreatePalette || function == fn::SelectPalette ||
         function == fn::AnimatePalette;
}

bool Play(const Metafile& metafile, DeviceContext& dc, const Rect& frame, const Rect& destination,
          std::string* reason, const PlayOptions& options) {
  Playback playback(metafile, dc, options);
  playback.begin(frame, destination);
  const bool whole = metafile.enumerate(Playback::Visit, &playback, reason);
  playback.end();
  return whole;
}

}  // namespace platform::wmf
