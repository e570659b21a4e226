// A display of 4 or 8 bits a pixel shows every composed colour as the nearest entry of
// its colour table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "platform/wm/Screen.h"

namespace {

using platform::Colour;

// The entry with the smallest sum of channel differences, the first on ties.
Colour Nearest(const std::vector<Colour>& table, Colour c) {
  auto distance = [](Colour a, Colour b) {
    int d = 0;
    for (int shift : {0, 8, 16}) d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return d;
  };
  Colour best = table[0];
  for (Colour e : table) best = distance(e, c) < distance(best, c) ? e : best;
  return best;
}

TEST(IndexedScreen, ShowsEachComposedColourAsItsNearestTableEntry) {
  for (int depth : {4, 8}) {
    platform::wm::Screen screen(64, 64);
    std::mt19937 random(depth);
    auto paint = [&](const platform::Rect& r) {
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) screen.composition().row32(y)[x] = random() & 0xFFFFFF;
    };
    paint(screen.bounds());
    screen.setDepth(depth);  // what was on screen is reduced at once
    const platform::Rect later{10, 20, 40, 30};
    paint(later);
    screen.showComposed(later);
    const std::vector<Colour>& table = screen.framebuffer().palette();
    ASSERT_EQ(table.size(), 1u << depth);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(screen.pixel(x, y), Nearest(table, screen.composition().row32(y)[x])) << depth << " " << x << "," << y;
    screen.setDepth(32);  // full colour again: what was composed shows unchanged
    EXPECT_EQ(screen.pixel(15, 25), screen.composition().row32(25)[15] & 0xFFFFFF);
  }
}

}  // namespace
