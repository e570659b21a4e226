// The picture as colour indices: one 32-bit ColourTable index per pixel, rows
// top first, each left to right. Everything after the colour pipeline works from
// this and the colour table; the true-colour pixels are not needed again.
#pragma once
#include <cstdint>

struct IndexImage {
  uint16_t width;
  uint16_t height;
  uint32_t* indices;  // width * height entries
};

inline uint32_t IndexAt(const IndexImage* image, uint32_t x, uint32_t y) {
  return image->indices[static_cast<uint64_t>(y) * image->width + x];
}

void IndexImageFree(IndexImage* image);

// Colour indices can also be held in a pixel buffer, each pixel's three bytes holding
// its index (a colour index is below 2^24), low byte first.
inline uint32_t PackedIndexAt(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
}

inline void PutPackedIndex(uint8_t* p, uint32_t index) {
  p[0] = static_cast<uint8_t>(index);
  p[1] = static_cast<uint8_t>(index >> 8);
  p[2] = static_cast<uint8_t>(index >> 16);
}
