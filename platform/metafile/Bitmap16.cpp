#include "platform/metafile/Bitmap16.h"

namespace platform::wmf {

namespace {

uint32_t Pixel(const uint8_t* row, int x, int bitsPixel, uint32_t zero, uint32_t one,
               const std::vector<uint32_t>& palette) {
  switch (bitsPixel) {
    case 1:
      return ((row[x / 8] >> (7 - x % 8)) & 1) ? one : zero;
    case 8: {
      const uint8_t i = row[x];
      return i < palette.size() ? palette[i] & 0xFFFFFF : (uint32_t{i} << 16) | (i << 8) | i;
    }
    case 16: {
      const uint32_t v = row[2 * x] | (row[2 * x + 1] << 8);
      auto widen = [](uint32_t c) { return (c << 3) | (c >> 2); };
      return (widen((v >> 10) & 31) << 16) | (widen((v >> 5) & 31) << 8) | widen(v & 31);
    }
    default: {
      const uint8_t* p = row + x * (bitsPixel / 8);
      return (uint32_t{p[2]} << 16) | (p[1] << 8) | p[0];
    }
  }
}

}  // namespace

std::unique_ptr<Bitmap> DecodeBitmap16(const Record& r, size_t at, size_t bitsAt, uint32_t zero, uint32_t one,
                                       const std::vector<uint32_t>& palette, uint64_t maxPixels) {
  if (!r.has(at + 5) || bitsAt < at + 5) return nullptr;
  const int width = r.p(at + 1), height = r.p(at + 2), widthBytes = r.p(at + 3);
  const int bitsPixel = r.bytes(at + 4)[1];
  if (bitsPixel != 1 && bitsPixel != 8 && bitsPixel != 16 && bitsPixel != 24 && bitsPixel != 32) return nullptr;
  if (width <= 0 || height <= 0 || widthBytes <= 0) return nullptr;
  if (static_cast<uint64_t>(width) * height > maxPixels) return nullptr;
  if (static_cast<uint64_t>(widthBytes) * height > r.bytesFrom(bitsAt)) return nullptr;
  if (static_cast<int64_t>(widthBytes) * 8 < static_cast<int64_t>(width) * bitsPixel) return nullptr;
  std::unique_ptr<Bitmap> b = Bitmap::Create(width, height, 32);
  if (!b) return nullptr;
  const uint8_t* bits = r.bytes(bitsAt);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = bits + static_cast<size_t>(y) * widthBytes;
    for (int x = 0; x < width; ++x) b->row32(y)[x] = Pixel(row, x, bitsPixel, zero, one, palette);
  }
  return b;
}

}  // namespace platform::wmf
