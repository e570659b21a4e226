// A display of 4 or 8 bits a pixel shows every composed colour as its table's nearest entry.
#include <gtest/gtest.h>

#include <random>

#include "platform/wm/Screen.h"
#include "tests/platform/wm/nearest_entry.h"

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
    paint({10, 20, 40, 30});
    screen.showComposed({10, 20, 40, 30});
    ASSERT_EQ(screen.framebuffer().palette().size(), 1u << depth);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(screen.pixel(x, y), NearestEntry(screen.framebuffer().palette(), screen.composition().row32(y)[x]));
  }
}
