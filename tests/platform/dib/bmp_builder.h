// Builds bitmap files of any depth and compression from a grid of pixel values, so
// that the reader's output can be compared with the pixels the file was made from.
#pragma once
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

struct BmpSpec {
  int width = 1;
  int height = 1;
  int bitCount = 24;
  uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  bool topDown = false;
  std::vector<uint32_t> palette;  // written as the colour table (colours-used = its size)
  uint32_t masks[3] = {0, 0, 0};  // written after the header for bit fields
  bool colourUsedZero = false;    // write 0 as colours-used (full-size table implied)
  // Pixel values, top row first: palette indices for depths up to 8, the raw 16-bit
  // word for 16, 0x00RRGGBB for 24 and 32.
  std::vector<uint32_t> pixels;
};

inline void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// Encodes one row (palette indices) as runs of equal values, then an end-of-line mark.
inline void RleRow(std::vector<uint8_t>& out, const uint32_t* row, int width, bool four) {
  for (int x = 0, n = 1; x < width; x += n, n = 1) {
    while (x + n < width && n < 255 && row[x + n] == row[x]) ++n;
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(four ? (row[x] << 4) | row[x] : row[x]));
  }
  out.push_back(0);
  out.push_back(0);
}

inline std::vector<uint8_t> BuildBmp(const BmpSpec& s) {
  const uint32_t tableBytes = static_cast<uint32_t>(s.palette.size()) * 4;
  const uint32_t maskBytes = s.compression == 3 ? 12 : 0;
  const uint32_t offset = 14 + 40 + maskBytes + tableBytes;
  const size_t stride = ((static_cast<size_t>(s.width) * s.bitCount + 31) / 32) * 4;
  std::vector<uint8_t> bits;
  if (s.compression == 1 || s.compression == 2) {
    for (int r = 0; r < s.height; ++r) {
      const int y = s.height - 1 - r;  // bottom-up
      RleRow(bits, &s.pixels[static_cast<size_t>(y) * s.width], s.width, s.compression == 2);
    }
    bits.push_back(0);
    bits.push_back(1);
  } else {
    bits.assign(stride * s.height, 0);
    for (int r = 0; r < s.height; ++r) {
      const int y = s.topDown ? r : s.height - 1 - r;
      uint8_t* row = bits.data() + stride * r;
      for (int x = 0; x < s.width; ++x) {
        const uint32_t v = s.pixels[static_cast<size_t>(y) * s.width + x];
        const size_t bit = static_cast<size_t>(x) * s.bitCount;
        if (s.bitCount < 8)
          row[bit / 8] |= static_cast<uint8_t>(v << (8 - s.bitCount - bit % 8));
        else  // little-endian bytes: the 16-bit word, or blue, green, red (and a fourth byte)
          for (int i = 0; i < s.bitCount / 8; ++i) row[bit / 8 + i] = static_cast<uint8_t>(v >> (8 * i));
      }
    }
  }
  std::vector<uint8_t> f(offset + bits.size(), 0);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  Put32(f, 10, offset);
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<uint32_t>(s.width));
  Put32(f, 22, static_cast<uint32_t>(s.topDown ? -s.height : s.height));
  Put16(f, 26, 1);
  Put16(f, 28, static_cast<uint32_t>(s.bitCount));
  Put32(f, 30, s.compression);
  Put32(f, 34, static_cast<uint32_t>(bits.size()));
  Put32(f, 46, s.colourUsedZero ? 0 : static_cast<uint32_t>(s.palette.size()));
  for (int i = 0; i < 3 && maskBytes; ++i) Put32(f, 54 + 4 * i, s.masks[i]);
  for (size_t i = 0; i < s.palette.size(); ++i) {
    const uint32_t c = s.palette[i];
    const size_t at = 54 + maskBytes + 4 * i;
    f[at] = static_cast<uint8_t>(c);
    f[at + 1] = static_cast<uint8_t>(c >> 8);
    f[at + 2] = static_cast<uint8_t>(c >> 16);
  }
  std::copy(bits.begin(), bits.end(), f.begin() + offset);
  return f;
}

// A bitmap `width` wide (random when 0) of random height and pixels, in runs of random
// lengths so that compressed rows hold both single pixels and runs longer than a record
// holds. Depths up to 8 get a colour table of random length (or a full one stated as 0
// colours), which indices may run past; bit fields take `masks`.
inline BmpSpec RandomBmp(std::mt19937& rng, int bitCount, uint32_t compression = 0, bool topDown = false,
                         const uint32_t* masks = nullptr, int width = 0) {
  BmpSpec s;
  s.width = width ? width : 1 + static_cast<int>(rng() % 37);
  s.height = 1 + static_cast<int>(rng() % 23);
  s.bitCount = bitCount;
  s.compression = compression;
  s.topDown = topDown;
  if (masks) std::copy(masks, masks + 3, s.masks);
  const uint32_t full = bitCount <= 8 ? 1u << bitCount : 0;
  s.colourUsedZero = full && rng() % 2;
  const uint32_t colours = s.colourUsedZero ? full : full ? 1 + rng() % full : 0;
  for (uint32_t i = 0; i < colours; ++i) s.palette.push_back(rng() & 0xFFFFFF);
  const uint32_t valueMask = full ? full - 1 : bitCount == 16 ? 0xFFFF : bitCount == 24 ? 0xFFFFFF : 0xFFFFFFFF;
  while (s.pixels.size() < static_cast<size_t>(s.width) * s.height) {
    const uint32_t value = rng() & valueMask;
    for (uint32_t n = 1 + rng() % (rng() % 2 ? 3 : 300); n && s.pixels.size() < static_cast<size_t>(s.width) * s.height; --n)
      s.pixels.push_back(value);
  }
  return s;
}
