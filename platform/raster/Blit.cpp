// Bit transfers between contexts and bitmaps of any depth, with ternary raster
// operations, nearest-pixel stretching and masks.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/raster/DeviceContext.h"
#include "platform/raster/PaintInternal.h"

namespace platform {

namespace {

// Copies the part of `r` inside the bitmap into a new bitmap of the same depth and palette,
// so that a transfer within one bitmap reads the pixels as they were before it began.
std::unique_ptr<Bitmap> Snapshot(const Bitmap& src, const Rect& r, Point* at) {
  const Rect c = r.intersected({0, 0, src.width(), src.height()});
  if (c.empty()) return nullptr;
  auto copy = Bitmap::Create(c.width(), c.height(), src.depth());
  if (!copy) return nullptr;
  copy->palette() = src.palette();
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) WriteValue(*copy, x, y, ReadValue(src, c.left + x, c.top + y));
  }
  *at = {c.left, c.top};
  return copy;
}

// Source column or row for destination offset u of `count`, sampling at pixel centres.
int64_t Sample(int64_t u, int64_t count, int64_t sourceCount) {
  return ((2 * u + 1) * sourceCount) / (2 * count);
}

}  // namespace

void DeviceContext::transfer(int x, int y, int w, int h, const Bitmap& srcIn, Point srcOrigin, int sx,
                             int sy, int sw, int sh, uint32_t rop, Colour srcBackground, bool dibSource,
                             const Bitmap* mask, int mx, int my, uint32_t backRop) {
  if (!target_ || w == 0 || h == 0 || sw == 0 || sh == 0) return;
  const Rect dst = toDevice({x, y, Limit(int64_t{x} + w), Limit(int64_t{y} + h)});
  Rect srcRect = Rect::Normalized(Limit(sx), Limit(sy), Limit(int64_t{sx} + sw), Limit(int64_t{sy} + sh))
                     .translated(srcOrigin.x, srcOrigin.y);
  if (dst.empty() || srcRect.empty()) return;
  const bool mirrorX = (w < 0) != (sw < 0);
  const bool mirrorY = (h < 0) != (sh < 0);
  const uint8_t foreTable = Rop3Table(rop);
  const uint8_t backTable = Rop3Table(backRop);
  const bool needSource = Rop3UsesSource(foreTable) || (mask && Rop3UsesSource(backTable));

  const Region& clip = effectiveClip();
  Region area(dst);
  area.intersect(clip);
  if (area.empty()) return;

  const Bitmap* src = &srcIn;
  std::unique_ptr<Bitmap> snapshot;
  if (needSource && src == target_) {
    Point at;
    snapshot = Snapshot(*src, srcRect, &at);
    if (!snapshot) return;
    srcRect = srcRect.translated(-at.x, -at.y);
    src = snapshot.get();
  }

  const int dw = dst.width(), dh = dst.height();
  const int srcW = srcRect.width(), srcH = srcRect.height();
  const bool sameSize = dw == srcW && dh == srcH && !mirrorX && !mirrorY;

  // Plain copies between 32-bit bitmaps move whole rows.
  if (needSource && sameSize && !mask && foreTable == 0xCC && src->depth() == 32 &&
      target_->depth() == 32) {
    const Rect srcBounds{0, 0, src->width(), src->height()};
    for (const Rect& piece : area.rects()) {
      // Destination pixels whose source lies inside the source bitmap.
      Rect s = piece.translated(srcRect.left - dst.left, srcRect.top - dst.top).intersected(srcBounds);
      if (s.empty()) continue;
      const Rect d = s.translated(dst.left - srcRect.left, dst.top - srcRect.top);
      const size_t bytes = static_cast<size_t>(d.width()) * 4;
      for (int row = 0; row < d.height(); ++row) {
        std::memcpy(target_->row32(d.top + row) + d.left, src->row32(s.top + row) + s.left, bytes);
      }
    }
    return;
  }

  // Stored source value -> stored destination value.
  const int srcDepth = src->depth();
  const int dstDepth = target_->depth();
  std::vector<uint32_t> lookup;
  if (srcDepth != 32) {
    const size_t entries = srcDepth == 1 ? 2 : 256;
    lookup.resize(entries);
    const auto& pal = src->palette();
    for (size_t v = 0; v < entries; ++v) {
      const Colour colour = v < pal.size() ? pal[v] : 0;
      if (srcDepth == 1 && !dibSource) {
        lookup[v] = dstDepth == 1 ? static_cast<uint32_t>(v)
                                  : valueOfColour(v ? backgroundColour_ : textColour_);
      } else if (dstDepth == 1 && !dibSource) {
        lookup[v] = colour == srcBackground ? 1 : 0;
      } else if (srcDepth == dstDepth && pal == target_->palette()) {
        lookup[v] = static_cast<uint32_t>(v);
      } else {
        lookup[v] = valueOfColour(colour);
      }
    }
  }
  auto convert = [&](uint32_t v) -> uint32_t {
    if (srcDepth != 32) return lookup[v];
    if (dstDepth == 32) return v;
    if (dstDepth == 1 && !dibSource) return v == srcBackground ? 1 : 0;
    return valueOfColour(v);
  };

  // Source columns of the destination columns that can be touched.
  const Rect touched = area.bounds();
  std::vector<int> columns(static_cast<size_t>(touched.width()));
  for (int X = touched.left; X < touched.right; ++X) {
    const int64_t s = Sample(X - dst.left, dw, srcW);
    columns[static_cast<size_t>(X - touched.left)] = static_cast<int>(mirrorX ? srcRect.right - 1 - s : srcRect.left + s);
  }
  bool allColumnsInside = true;
  for (int c : columns) allColumnsInside = allColumnsInside && c >= 0 && c < src->width();
  const Paint pattern = brushPaint(brush_, rop2::CopyPen);
  const uint32_t valueMask = ValueMask(dstDepth);

  // Nearest-pixel stretch of 32-bit copies: one source row lookup per destination row.
  const bool fastStretch = needSource && !mask && foreTable == 0xCC && srcDepth == 32 && dstDepth == 32;

  for (const Rect& piece : area.rects()) {
    int previousSourceRow = -1;
    for (int Y = piece.top; Y < piece.bottom; ++Y) {
      const int64_t t = Sample(Y - dst.top, dh, srcH);
      const int srcY = static_cast<int>(mirrorY ? srcRect.bottom - 1 - t : srcRect.top + t);
      const bool rowInside = srcY >= 0 && srcY < src->height();
      if (fastStretch) {
        if (!rowInside) continue;
        uint32_t* out = target_->row32(Y);
        // Rows that sample the same source row as the row above are copied from it.
        if (Y > piece.top && srcY == previousSourceRow && allColumnsInside) {
          std::memcpy(out + piece.left, target_->row32(Y - 1) + piece.left,
                      static_cast<size_t>(piece.width()) * 4);
          continue;
        }
        previousSourceRow = srcY;
        const uint32_t* in = src->row32(srcY);
        const int* col = columns.data() + (piece.left - touched.left);
        for (int X = piece.left; X < piece.right; ++X, ++col) {
          const int c = *col;
          if (static_cast<unsigned>(c) < static_cast<unsigned>(src->width())) out[X] = in[c];
        }
        continue;
      }
      for (int X = piece.left; X < piece.right; ++X) {
        uint8_t table = foreTable;
        if (mask) {
          const int64_t mxp = static_cast<int64_t>(mx) + (X - dst.left);
          const int64_t myp = static_cast<int64_t>(my) + (Y - dst.top);
          const bool inMask = mxp >= 0 && myp >= 0 && mxp < mask->width() && myp < mask->height();
          table = inMask && ReadValue(*mask, static_cast<int>(mxp), static_cast<int>(myp)) ? foreTable : backTable;
        }
        uint32_t s = 0;
        if (Rop3UsesSource(table)) {
          const int c = columns[static_cast<size_t>(X - touched.left)];
          // Pixels whose source lies outside the source bitmap are left alone.
          if (!rowInside || c < 0 || c >= src->width()) continue;
          s = convert(ReadValue(*src, c, srcY));
        }
        const uint32_t p = pattern.none ? 0 : pattern.at(X, Y);
        const uint32_t d = ReadValue(*target_, X, Y);
        WriteValue(*target_, X, Y, ApplyRop3(table, p, s, d) & valueMask);
      }
    }
  }
}

void DeviceContext::bitBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                           uint32_t rop) {
  if (!Rop3UsesSource(Rop3Table(rop))) {
    patBlt({x, y, Limit(int64_t{x} + w), Limit(int64_t{y} + h)}, rop);
    return;
  }
  if (!src.target_) return;
  transfer(x, y, w, h, *src.target_, src.origin_, sx, sy, w, h, rop, src.backgroundColour_, false,
           nullptr, 0, 0, rop);
}

void DeviceContext::stretchBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                               int sw, int sh, uint32_t rop) {
  if (!Rop3UsesSource(Rop3Table(rop))) {
    patBlt({x, y, Limit(int64_t{x} + w), Limit(int64_t{y} + h)}, rop);
    return;
  }
  if (!src.target_) return;
  transfer(x, y, w, h, *src.target_, src.origin_, sx, sy, sw, sh, rop, src.backgroundColour_, false,
           nullptr, 0, 0, rop);
}

void DeviceContext::stretchBitmap(int x, int y, int w, int h, const Bitmap& src, int sx, int sy,
                                  int sw, int sh, uint32_t rop) {
  transfer(x, y, w, h, src, {0, 0}, sx, sy, sw, sh, rop, 0xFFFFFF, true, nullptr, 0, 0, rop);
}

void DeviceContext::maskBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                            const Bitmap& mask, int mx, int my, uint32_t foreRop, uint32_t backRop) {
  if (!src.target_ || mask.depth() != 1) return;
  transfer(x, y, w, h, *src.target_, src.origin_, sx, sy, w, h, foreRop, src.backgroundColour_, false,
           &mask, mx, my, backRop);
}

}  // namespace platform
