// Plain value types of the raster: colours, points and half-open rectangles.
#pragma once
#include <algorithm>
#include <cstdint>

namespace platform {

// 0x00RRGGBB, as stored in 32-bit bitmaps.
using Colour = uint32_t;

constexpr Colour RGB(int r, int g, int b) {
  return (static_cast<Colour>(r & 0xFF) << 16) | (static_cast<Colour>(g & 0xFF) << 8) |
         static_cast<Colour>(b & 0xFF);
}
constexpr int RedOf(Colour c) { return (c >> 16) & 0xFF; }
constexpr int GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Colour c) { return c & 0xFF; }

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Right and bottom are excluded: a rectangle covers (right - left) x (bottom - top) pixels.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool operator==(const Rect&) const = default;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect intersected(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
  // Corners given in any order become a rectangle with left <= right and top <= bottom.
  static Rect Normalized(int x0, int y0, int x1, int y1) {
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
  }
};

}  // namespace platform
