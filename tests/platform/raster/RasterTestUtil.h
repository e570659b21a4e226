// Helpers for raster tests: bitmaps made and compared pixel by pixel.
#pragma once
#include <cstdint>
#include <memory>
#include <random>

#include "platform/Bitmap.h"
#include "platform/raster/DeviceContext.h"

namespace rastertest {

using platform::Bitmap;
using platform::Colour;

inline std::unique_ptr<Bitmap> Make(int w, int h, int depth = 32) {
  auto b = Bitmap::Create(w, h, depth);
  if (depth == 8) {
    // A palette where index i is grey i, so stored values and colours are easy to relate.
    for (int i = 0; i < 256; ++i) b->palette()[i] = platform::RGB(i, i, i);
    for (int y = 0; y < h; ++y) std::fill(b->row(y), b->row(y) + w, uint8_t{255});
  }
  return b;
}

inline uint32_t Value(const Bitmap& b, int x, int y) {
  switch (b.depth()) {
    case 32: return b.row32(y)[x] & 0xFFFFFF;
    case 8: return b.row(y)[x];
    default: return (b.row(y)[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

inline void SetValue(Bitmap& b, int x, int y, uint32_t v) {
  switch (b.depth()) {
    case 32: b.row32(y)[x] = v; break;
    case 8: b.row(y)[x] = static_cast<uint8_t>(v); break;
    default: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      if (v) b.row(y)[x >> 3] |= bit; else b.row(y)[x >> 3] &= static_cast<uint8_t>(~bit);
    }
  }
}

// Pixels whose stored value differs from `blank`.
inline int CountNot(const Bitmap& b, uint32_t blank) {
  int n = 0;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) n += Value(b, x, y) != blank;
  return n;
}

inline bool SamePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (Value(a, x, y) != Value(b, x, y)) return false;
  return true;
}

inline std::unique_ptr<Bitmap> Copy(const Bitmap& b) {
  auto c = Make(b.width(), b.height(), b.depth());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) SetValue(*c, x, y, Value(b, x, y));
  return c;
}

inline void Randomize(Bitmap& b, std::mt19937& rng) {
  const uint32_t mask = b.depth() == 32 ? 0xFFFFFF : b.depth() == 8 ? 0xFF : 1;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) SetValue(b, x, y, rng() & mask);
}

}  // namespace rastertest
