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

TEST(DirtyRegion, TouchingAndContainedRectanglesMergeExactly) {
  DirtyRegion r;
  r.add({0, 0, 10, 10});
  r.add({10, 0, 20, 10});  // side by side, same rows
  r.add({0, 10, 20, 15});  // stacked under both, same columns
  r.add({5, 5, 8, 8});     // inside
  ASSERT_EQ(r.rects().size(), 1u);
  EXPECT_EQ(r.rects()[0], (Rect{0, 0, 20, 15}));
  r.add({100, 100, 100, 120});  // empty: nothing
  EXPECT_EQ(r.rects().size(), 1u);
  // Far apart rectangles stay apart rather than covering everything between them.
  r.add({200, 200, 210, 210});
  EXPECT_EQ(r.rects().size(), 2u);
}

TEST(DirtyRegion, NeverLosesAnAddedPixelAndStaysShort) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    DirtyRegion region;
    std::vector<bool> added(kGrid * kGrid, false);
    const int count = 1 + static_cast<int>(rng() % 60);
    for (int i = 0; i < count; ++i) {
      const Rect r = RandomRect(rng);
      region.add(r);
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) added[Cell(x, y)] = true;
    }
    ASSERT_LE(region.rects().size(), DirtyRegion::kMaxRects);
    for (int y = kLo; y < kHi; ++y)
      for (int x = kLo; x < kHi; ++x)
        if (added[Cell(x, y)]) ASSERT_TRUE(region.contains(x, y)) << x << "," << y;
  }
}

TEST(DirtyRegion, SubtractRemovesExactlyTheCutArea) {
  std::mt19937 rng(11);
  for (int round = 0; round < 100; ++round) {
    DirtyRegion region;
    for (int i = 0; i < 6; ++i) region.add(RandomRect(rng));
    // What the region covers before the cut, pixel by pixel.
    std::vector<bool> before(kGrid * kGrid);
    for (int y = kLo; y < kHi; ++y)
      for (int x = kLo; x < kHi; ++x) before[Cell(x, y)] = region.contains(x, y);
    const Rect cut = RandomRect(rng);
    region.subtract(cut);
    for (int y = kLo; y < kHi; ++y)
      for (int x = kLo; x < kHi; ++x) {
        const bool expected = before[Cell(x, y)] && !cut.contains(x, y);
        ASSERT_EQ(region.contains(x, y), expected) << x << "," << y << " round " << round;
      }
  }
}
