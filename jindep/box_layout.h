// The arithmetic of boxes: a box places its children in one line, side by side (a
// row) or one under another (a column), with margins, a spacing and a share of the
// spare room. These procedures work on plain child rectangles so that the box widget
// and its tests share one rule.
#pragma once
#include <cstdint>

struct JBoxSettings {
  uint8_t horizontal;  // 1 row, 0 column
  uint8_t packed;      // 1: no spare room between children
  uint8_t outerGaps;   // 1: spare room before the first and after the last child too
  uint8_t framed;      // 1: a 2-pixel frame along every edge
  uint16_t alignment;  // across the line: 1 start, 2 centre, 3 end
  int16_t spacing;
  int16_t marginTop;
  int16_t marginLeft;
  int16_t marginBottom;
  int16_t marginRight;
};

// One child: its size (read) and place (written). Uncounted children take no room
// and are parked at (kJBoxParked, kJBoxParked).
struct JBoxChild {
  int16_t x;
  int16_t y;
  int16_t width;
  int16_t height;
  bool counted;
};

constexpr int16_t kJBoxParked = 5000;

// The defaults of a new box: a centred, framed row with spacing 2 and outer gaps.
JBoxSettings JBoxDefaultSettings();

// 16 x 16 with no counted child; otherwise the children's line plus spacing, frame and margins.
void JBoxNaturalSize(const JBoxSettings* s, const JBoxChild* children, uint32_t count, int16_t* width,
                     int16_t* height);

// Places the children of a box at (x, y) of size width x height whose natural size is given.
// The spare room is what the box has beyond its natural size, so children never reach
// into the margins.
void JBoxLayout(const JBoxSettings* s, int16_t naturalWidth, int16_t naturalHeight, int16_t x, int16_t y,
                int16_t width, int16_t height, JBoxChild* children, uint32_t count);
