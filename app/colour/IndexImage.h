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
