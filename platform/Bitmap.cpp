#include "platform/Bitmap.h"

#include <new>

namespace platform {

namespace {
int gFailNext = 0;
}  // namespace

void Bitmap::FailNextCreations(int count) { gFailNext = count; }

std::unique_ptr<Bitmap> Bitmap::Create(int width, int height, int depth) {
  if (width <= 0 || height <= 0 || (depth != 1 && depth != 8 && depth != 32)) return nullptr;
  if (gFailNext > 0) return --gFailNext, nullptr;
  // Row bytes are computed in 64 bits and the whole must stay addressable by int strides.
  const int64_t stride = ((static_cast<int64_t>(width) * depth + 31) / 32) * 4;
  if (stride > INT32_MAX) return nullptr;
  const uint64_t total = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (total > (uint64_t{1} << 36)) return nullptr;
  std::unique_ptr<Bitmap> bitmap(new (std::nothrow) Bitmap());
  if (!bitmap) return nullptr;
  bitmap->width_ = width;
  bitmap->height_ = height;
  bitmap->depth_ = depth;
  bitmap->stride_ = static_cast<int>(stride);
  try {
    // A new bitmap starts white: pixels nobody paints must never be stray colours.
    bitmap->pixels_.assign(total, depth == 8 ? 0 : 0xFF);
    if (depth == 32) {
      for (int y = 0; y < height; ++y) {
        uint32_t* r = bitmap->row32(y);
        for (int x = 0; x < width; ++x) r[x] = 0x00FFFFFF;
      }
    }
    if (depth == 1) bitmap->palette_ = {0x000000, 0xFFFFFF};
    if (depth == 8) {
      bitmap->palette_.assign(256, 0);
      bitmap->palette_[0] = 0xFFFFFF;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return bitmap;
}

}  // namespace platform
