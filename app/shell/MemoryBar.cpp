#include "app/shell/MemoryBar.h"

#include <algorithm>

#include "jindep/memory.h"

MemoryFigures ShownMemoryFigures(const JMemStats& stats, uint64_t reserve) {
  const uint64_t kept = std::min(stats.free, reserve);
  MemoryFigures f;
  f.total = stats.total - std::min(stats.total, kept);
  f.free = stats.free - kept;
  f.largest = std::min(stats.largest, f.free);
  f.used = stats.used + stats.temporary;
  f.temporary = 0;
  return f;
}

bool MemoryBarSegments(const MemoryFigures& figures, int16_t barLeft, int16_t width,
                       MemorySegment segments[kMemorySegments]) {
  const uint64_t free = std::min(figures.free, figures.total);
  const uint64_t largest = std::min(figures.largest, free);
  const uint64_t temporaryEnd = std::min(free + figures.temporary, figures.total);
  const uint64_t bounds[kMemorySegments + 1] = {0, largest, free, temporaryEnd, figures.total};
  // Figures are scaled down before they are multiplied by the width, so that the products
  // stay far inside 64 bits whatever the memory size.
  uint64_t scaled[kMemorySegments + 1];
  std::copy(bounds, bounds + kMemorySegments + 1, scaled);
  while (scaled[kMemorySegments] >= (uint64_t{1} << 19))
    for (uint64_t& s : scaled) s >>= 6;
  while (scaled[kMemorySegments] >= 32768)
    for (uint64_t& s : scaled) s >>= 2;
  const uint64_t total = scaled[kMemorySegments];
  if (total == 0 || width < 1) return false;
  const uint64_t span = static_cast<uint64_t>(width - 1);
  for (int i = 0; i < kMemorySegments; ++i) {
    segments[i].left = static_cast<int16_t>(barLeft + scaled[i] * span / total + 1);
    segments[i].right = static_cast<int16_t>(barLeft + scaled[i + 1] * span / total);
    segments[i].bytes = bounds[i + 1] - bounds[i];
  }
  return true;
}
