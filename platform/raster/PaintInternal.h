// Pixel access shared by the raster's source files: reading and writing stored values
// of any depth, and painting spans with a binary raster operation.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/raster/DeviceContext.h"
#include "platform/raster/Rop.h"

namespace platform {

struct SpanPaint {
  bool none = false;       // null pen or hollow brush: nothing is painted
  bool patterned = false;  // values[] tiles from the bitmap's pixel (0, 0)
  uint32_t value = 0;
  uint32_t values[64] = {};
  uint64_t skip = 0;  // pattern cells left alone (transparent hatch background)
  int rop = rop2::CopyPen;

  uint32_t at(int x, int y) const { return patterned ? values[((y & 7) << 3) | (x & 7)] : value; }
  bool skips(int x, int y) const { return (skip >> (((y & 7) << 3) | (x & 7))) & 1; }
};

// Dash patterns, one character a pixel along the line.
inline const char* DashPattern(PenStyle style) {
  switch (style) {
    case PenStyle::Dash: return "111111000";
    case PenStyle::Dot: return "10";
    case PenStyle::DashDot: return "111111000100";
    case PenStyle::DashDotDot: return "1111110001010";
    default: return nullptr;
  }
}

inline uint32_t ValueMask(int depth) {
  return depth == 32 ? 0xFFFFFFu : depth == 8 ? 0xFFu : 1u;
}

inline uint32_t ReadValue(const Bitmap& b, int x, int y) {
  switch (b.depth()) {
    case 32: return b.row32(y)[x] & 0xFFFFFF;
    case 8: return b.row(y)[x];
    default: return (b.row(y)[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

inline void WriteValue(Bitmap& b, int x, int y, uint32_t v) {
  switch (b.depth()) {
    case 32: b.row32(y)[x] = v & 0xFFFFFF; break;
    case 8: b.row(y)[x] = static_cast<uint8_t>(v); break;
    default: {
      uint8_t& byte = b.row(y)[x >> 3];
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      byte = (v & 1) ? (byte | bit) : (byte & ~bit);
    }
  }
}

// Paints [x0, x1) of row y; the caller has clipped the span to the bitmap.
inline void WriteSpan(Bitmap& b, int y, int x0, int x1, const SpanPaint& paint) {
  if (paint.none) return;
  const uint32_t mask = ValueMask(b.depth());
  if (!paint.patterned && paint.rop == rop2::CopyPen) {
    if (b.depth() == 32) {
      std::fill(b.row32(y) + x0, b.row32(y) + x1, paint.value & mask);
      return;
    }
    if (b.depth() == 8) {
      std::memset(b.row(y) + x0, static_cast<int>(paint.value & mask), static_cast<size_t>(x1 - x0));
      return;
    }
  }
  for (int x = x0; x < x1; ++x) {
    if (paint.skip && paint.skips(x, y)) continue;
    const uint32_t d = ReadValue(b, x, y);
    WriteValue(b, x, y, ApplyRop2(paint.rop, paint.at(x, y), d) & mask);
  }
}

// Stretches the 32-bit source rectangle onto the 32-bit destination rectangle (both in
// bitmap coordinates, neither mirrored), interpolating where it grows and averaging where
// it shrinks; only pixels in `area` are written, and only those with a source inside `src`.
void SmoothStretch(Bitmap& target, const Bitmap& src, const Rect& dst, const Rect& srcRect, const Region& area);

}  // namespace platform
