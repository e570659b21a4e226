// The jitter filter of the toolkit's pop-ups (popup lists and swatch palettes): a pop-up
// opens with the current value under the pointer, and a hand that shakes while pressing
// must not choose a neighbour. Until armed, moves are ignored: a move over the starting
// cell arms at once; a move over another cell is remembered and ignored while the pointer
// stays on it, and arms only when the pointer reaches yet another cell.
#pragma once
#include <cstdint>

struct JArming {
  bool armed;
  int32_t start;       // the cell the pop-up opened on
  int32_t remembered;  // the first other cell, or kNone
  static constexpr int32_t kNone = INT32_MIN;
};

inline void JArmingReset(JArming* a, int32_t start) { *a = {false, start, JArming::kNone}; }

// Whether a move over `cell` (any number for outside) counts.
inline bool JArmingMove(JArming* a, int32_t cell) {
  if (!a->armed) {
    if (cell != a->start && (a->remembered == JArming::kNone || cell == a->remembered)) {
      a->remembered = cell;
      return false;
    }
    a->armed = true;
  }
  return true;
}
