// The tests' oracle for displays with a colour table: the entry with the smallest sum of
// channel differences, the first on ties.
#pragma once
#include <cstdlib>
#include <vector>

#include "platform/raster/Geometry.h"

inline platform::Colour NearestEntry(const std::vector<platform::Colour>& table, platform::Colour c) {
  auto distance = [c](platform::Colour e) {
    int d = 0;
    for (int s : {0, 8, 16}) d += std::abs(static_cast<int>((e >> s) & 0xFF) - static_cast<int>((c >> s) & 0xFF));
    return d;
  };
  platform::Colour best = table[0];
  for (platform::Colour e : table) best = distance(e) < distance(best) ? e : best;
  return best;
}
