// Bit transfers between contexts and bitmaps of any depth, with ternary raster
// operations, nearest-pixel stretching and masks.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/raster/DeviceContext.h"
#include "platform/raster/PaintInternal.h"

namespace platform {

// Where a transfer lands and what it reads, in bitmap coordinates, after clipping.
struct DeviceContext::TransferArea {
  Rect dst;
  Rect srcRect;  // in `src`
  bool mirrorX = false, mirrorY = false;
  Region area;  // destination pixels that may change
  const Bitmap* src = nullptr;
  std::unique_ptr<Bitmap> snapshot;  // the source as it was, when it is the target itself
  uint8_t foreTable = 0, backTable = 0;
  bool needSource = false;
};

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

// Plain copies between 32-bit bitmaps of the same size move whole rows.
void CopyRows(Bitmap& target, const Bitmap& src, const Region& area, const Rect& dst, const Rect& srcRect) {
  const Rect srcBounds{0, 0, src.width(), src.height()};
  for (const Rect& piece : area.rects()) {
    // Destination pixels whose source lies inside the source bitmap.
    Rect s = piece.translated(srcRect.left - dst.left, srcRect.top - dst.top).intersected(srcBounds);
    if (s.empty()) continue;
    const Rect d = s.translated(dst.left - srcRect.left, dst.top - srcRect.top);
    const size_t bytes = static_cast<size_t>(d.width()) * 4;
    for (int row = 0; row < d.height(); ++row) {
      std::memcpy(target.row32(d.top + row) + d.left, src.row32(s.top + row) + s.left, bytes);
    }
  }
}

// Nearest-pixel stretch of a 32-bit copy onto a 32-bit target: one source row lookup per
// destination row, and rows that sample the same source row as the row above are copied.
void StretchRows(Bitmap& target, const Bitmap& src, const Rect& piece, const Rect& touched,
                 const std::vector<int>& columns, bool allColumnsInside, const std::vector<int>& rows) {
  int previousSourceRow = -1;
  for (int Y = piece.top; Y < piece.bottom; ++Y) {
    const int srcY = rows[static_cast<size_t>(Y - piece.top)];
    if (srcY < 0 || srcY >= src.height()) continue;
    uint32_t* out = target.row32(Y);
    if (Y > piece.top && srcY == previousSourceRow && allColumnsInside) {
      std::memcpy(out + piece.left, target.row32(Y - 1) + piece.left, static_cast<size_t>(piece.width()) * 4);
      continue;
    }
    previousSourceRow = srcY;
    const uint32_t* in = src.row32(srcY);
    const int* col = columns.data() + (piece.left - touched.left);
    for (int X = piece.left; X < piece.right; ++X, ++col) {
      const int c = *col;
      if (static_cast<unsigned>(c) < static_cast<unsigned>(src.width())) out[X] = in[c];
    }
  }
}

}  // namespace

void DeviceContext::transfer(const TransferRequest& q) {
  if (!target_ || !q.source || q.w == 0 || q.h == 0 || q.sw == 0 || q.sh == 0) return;
  TransferArea a;
  a.dst = toDevice({q.x, q.y, Limit(int64_t{q.x} + q.w), Limit(int64_t{q.y} + q.h)});
  a.srcRect = Rect::Normalized(Limit(q.sx), Limit(q.sy), Limit(int64_t{q.sx} + q.sw), Limit(int64_t{q.sy} + q.sh))
                  .translated(q.sourceOrigin.x, q.sourceOrigin.y);
  if (a.dst.empty() || a.srcRect.empty()) return;
  a.mirrorX = (q.w < 0) != (q.sw < 0);
  a.mirrorY = (q.h < 0) != (q.sh < 0);
  a.foreTable = Rop3Table(q.rop);
  a.backTable = Rop3Table(q.backRop);
  a.needSource = Rop3UsesSource(a.foreTable) || (q.mask && Rop3UsesSource(a.backTable));

  a.area = Region(a.dst);
  a.area.intersect(effectiveClip());
  if (a.area.empty()) return;

  a.src = q.source;
  if (a.needSource && a.src == target_) {
    Point at;
    a.snapshot = Snapshot(*a.src, a.srcRect, &at);
    if (!a.snapshot) return;
    a.srcRect = a.srcRect.translated(-at.x, -at.y);
    a.src = a.snapshot.get();
  }
  const bool sameSize =
      a.dst.width() == a.srcRect.width() && a.dst.height() == a.srcRect.height() && !a.mirrorX && !a.mirrorY;
  const bool plainCopy = a.needSource && !q.mask && a.foreTable == 0xCC && a.src->depth() == 32 &&
                         target_->depth() == 32;
  if (plainCopy && sameSize) {
    CopyRows(*target_, *a.src, a.area, a.dst, a.srcRect);
    return;
  }
  if (plainCopy && q.smooth && !a.mirrorX && !a.mirrorY) {
    SmoothStretch(*target_, *a.src, a.dst, a.srcRect, a.area);
    return;
  }
  transferPixels(q, a);
}

std::vector<uint32_t> DeviceContext::sourceValueTable(const TransferRequest& q, const Bitmap& src) const {
  const int srcDepth = src.depth(), dstDepth = target_->depth();
  std::vector<uint32_t> lookup(srcDepth == 1 ? 2 : 256);
  const auto& pal = src.palette();
  for (size_t v = 0; v < lookup.size(); ++v) {
    const Colour colour = v < pal.size() ? pal[v] : 0;
    if (srcDepth == 1 && !q.deviceIndependent) {
      lookup[v] = dstDepth == 1 ? static_cast<uint32_t>(v) : valueOfColour(v ? backgroundColour_ : textColour_);
    } else if (dstDepth == 1 && !q.deviceIndependent) {
      lookup[v] = colour == q.sourceBackground ? 1 : 0;
    } else if (srcDepth == dstDepth && pal == target_->palette()) {
      lookup[v] = static_cast<uint32_t>(v);
    } else {
      lookup[v] = valueOfColour(colour);
    }
  }
  return lookup;
}

void DeviceContext::transferPixels(const TransferRequest& q, const TransferArea& a) {
  const Bitmap& src = *a.src;
  const int srcDepth = src.depth(), dstDepth = target_->depth();
  const std::vector<uint32_t> lookup = srcDepth != 32 ? sourceValueTable(q, src) : std::vector<uint32_t>();
  auto convert = [&](uint32_t v) -> uint32_t {
    if (srcDepth != 32) return lookup[v];
    if (dstDepth == 32) return v;
    if (dstDepth == 1 && !q.deviceIndependent) return v == q.sourceBackground ? 1 : 0;
    return valueOfColour(v);
  };
  const int dw = a.dst.width(), dh = a.dst.height();
  const int srcW = a.srcRect.width(), srcH = a.srcRect.height();

  // Source columns of the destination columns that can be touched.
  const Rect touched = a.area.bounds();
  std::vector<int> columns(static_cast<size_t>(touched.width()));
  for (int X = touched.left; X < touched.right; ++X) {
    const int64_t s = Sample(X - a.dst.left, dw, srcW);
    columns[static_cast<size_t>(X - touched.left)] =
        static_cast<int>(a.mirrorX ? a.srcRect.right - 1 - s : a.srcRect.left + s);
  }
  bool allColumnsInside = true;
  for (int c : columns) allColumnsInside = allColumnsInside && c >= 0 && c < src.width();
  const Paint pattern = brushPaint(brush_, rop2::CopyPen);
  const uint32_t valueMask = ValueMask(dstDepth);
  const bool fastStretch = a.needSource && !q.mask && a.foreTable == 0xCC && srcDepth == 32 && dstDepth == 32;

  for (const Rect& piece : a.area.rects()) {
    std::vector<int> rows(static_cast<size_t>(piece.height()));
    for (int Y = piece.top; Y < piece.bottom; ++Y) {
      const int64_t t = Sample(Y - a.dst.top, dh, srcH);
      rows[static_cast<size_t>(Y - piece.top)] =
          static_cast<int>(a.mirrorY ? a.srcRect.bottom - 1 - t : a.srcRect.top + t);
    }
    if (fastStretch) {
      StretchRows(*target_, src, piece, touched, columns, allColumnsInside, rows);
      continue;
    }
    for (int Y = piece.top; Y < piece.bottom; ++Y) {
      const int srcY = rows[static_cast<size_t>(Y - piece.top)];
      const bool rowInside = srcY >= 0 && srcY < src.height();
      for (int X = piece.left; X < piece.right; ++X) {
        uint8_t table = a.foreTable;
        if (q.mask) {
          const int64_t mxp = static_cast<int64_t>(q.maskAt.x) + (X - a.dst.left);
          const int64_t myp = static_cast<int64_t>(q.maskAt.y) + (Y - a.dst.top);
          const bool inMask = mxp >= 0 && myp >= 0 && mxp < q.mask->width() && myp < q.mask->height();
          table = inMask && ReadValue(*q.mask, static_cast<int>(mxp), static_cast<int>(myp)) ? a.foreTable
                                                                                               : a.backTable;
        }
        uint32_t s = 0;
        if (Rop3UsesSource(table)) {
          const int c = columns[static_cast<size_t>(X - touched.left)];
          // Pixels whose source lies outside the source bitmap are left alone.
          if (!rowInside || c < 0 || c >= src.width()) continue;
          s = convert(ReadValue(src, c, srcY));
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
  stretchBlt(x, y, w, h, src, sx, sy, w, h, rop);
}

void DeviceContext::stretchBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                               int sw, int sh, uint32_t rop) {
  if (!Rop3UsesSource(Rop3Table(rop))) {
    patBlt({x, y, Limit(int64_t{x} + w), Limit(int64_t{y} + h)}, rop);
    return;
  }
  if (!src.target_) return;
  transfer({.x = x, .y = y, .w = w, .h = h, .source = src.target_, .sourceOrigin = src.origin_, .sx = sx,
            .sy = sy, .sw = sw, .sh = sh, .rop = rop, .backRop = rop, .sourceBackground = src.backgroundColour_});
}

void DeviceContext::stretchBitmap(int x, int y, int w, int h, const Bitmap& src, int sx, int sy,
                                  int sw, int sh, uint32_t rop, bool smooth) {
  transfer({.x = x, .y = y, .w = w, .h = h, .source = &src, .sx = sx, .sy = sy, .sw = sw, .sh = sh,
            .rop = rop, .backRop = rop, .deviceIndependent = true, .smooth = smooth});
}

void DeviceContext::maskBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                            const Bitmap& mask, int mx, int my, uint32_t foreRop, uint32_t backRop) {
  if (!src.target_ || mask.depth() != 1) return;
  transfer({.x = x, .y = y, .w = w, .h = h, .source = src.target_, .sourceOrigin = src.origin_, .sx = sx,
            .sy = sy, .sw = w, .sh = h, .rop = foreRop, .backRop = backRop,
            .sourceBackground = src.backgroundColour_, .mask = &mask, .maskAt = {mx, my}});
}

}  // namespace platform
