// A device bitmap of the platform raster: depth 1, 8 (with a palette) or 32.
// Rows are stored top-down, each padded to a multiple of 4 bytes. A 32-bit pixel
// is 0x00RRGGBB (bytes blue, green, red, unused in memory); 1-bit rows hold the
// leftmost pixel in the top bit of each byte.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class Bitmap {
 public:
  // Returns null when the size is not positive, too large, or memory cannot be had.
  static std::unique_ptr<Bitmap> Create(int width, int height, int depth);
  // Test hook: the next `count` creations fail as if memory could not be had.
  static void FailNextCreations(int count);

  int width() const { return width_; }
  int height() const { return height_; }
  int depth() const { return depth_; }
  int stride() const { return stride_; }

  uint8_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  uint32_t* row32(int y) { return reinterpret_cast<uint32_t*>(row(y)); }
  const uint32_t* row32(int y) const { return reinterpret_cast<const uint32_t*>(row(y)); }
  uint8_t* bits() { return pixels_.data(); }
  const uint8_t* bits() const { return pixels_.data(); }
  size_t byteSize() const { return pixels_.size(); }

  // Colour table for depths 1 and 8, entries 0x00RRGGBB; empty for 32-bit bitmaps.
  std::vector<uint32_t>& palette() { return palette_; }
  const std::vector<uint32_t>& palette() const { return palette_; }

  static int StrideFor(int width, int depth) { return ((width * depth + 31) / 32) * 4; }

 private:
  Bitmap() = default;
  int width_ = 0;
  int height_ = 0;
  int depth_ = 32;
  int stride_ = 0;
  std::vector<uint8_t> pixels_;
  std::vector<uint32_t> palette_;
};

}  // namespace platform
