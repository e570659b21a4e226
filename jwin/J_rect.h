// Rectangles and points of the toolkit: 16-bit, vertical before horizontal, half-open
// (right and bottom excluded).
#pragma once
#include <cstdint>

struct JPoint {
  int16_t v;
  int16_t h;
};

struct JRect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

inline JRect JRectMake(int16_t left, int16_t top, int16_t right, int16_t bottom) {
  JRect r;
  r.top = top;
  r.left = left;
  r.bottom = bottom;
  r.right = right;
  return r;
}
