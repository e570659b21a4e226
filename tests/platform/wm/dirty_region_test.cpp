#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/wm/DirtyRegion.h"

using platform::Rect;
using platform::wm::DirtyRegion;

namespace {

constexpr int kSide = 64;
// Every random rectangle lies in [kLo, kHi) on both axes.
constexpr int kLo = -16;
constexpr int kHi = kSide + 40;
constexpr int kGrid = kHi - kLo;
int Cell(int x, int y) { return (y - kLo) * kGrid + (x - kLo); }

Rect RandomRect(std::mt19937& rng) {
  std::uniform_int_distribution<int> pos(-8, kSide + 8);
  std::uniform_int_distribution<int> len(0, 24);
  const int x = pos(rng), y = pos(rng);
  return {x, y, x + len(rng), y + len(rng)};
}

}  // namespace

// Random adds never lose a pixel and keep the list short; a random cut then removes
// exactly its own pixels from whatever the region covered.
TEST(DirtyRegion, AddsLoseNothingAndACutRemovesExactlyItsArea) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    DirtyRegion region;
    std::vector<bool> added(kGrid * kGrid, false), before(kGrid * kGrid);
    const int count = 1 + static_cast<int>(rng() % 60);
    for (int i = 0; i < count; ++i) {
      const Rect r = RandomRect(rng);
      region.add(r);
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) added[Cell(x, y)] = true;
    }
    ASSERT_LE(region.rects().size(), DirtyRegion::kMaxRects);
    for (int y = kLo; y < kHi; ++y)
      for (int x = kLo; x < kHi; ++x) {
        before[Cell(x, y)] = region.contains(x, y);
        if (added[Cell(x, y)]) {
          ASSERT_TRUE(before[Cell(x, y)]) << x << "," << y;
        }
      }
    const Rect cut = RandomRect(rng);
    region.subtract(cut);
    for (int y = kLo; y < kHi; ++y)
      for (int x = kLo; x < kHi; ++x)
        ASSERT_EQ(region.contains(x, y), before[Cell(x, y)] && !cut.contains(x, y)) << x << "," << y << " #" << round;
  }
}
