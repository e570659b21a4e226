// The memory bar's segments: where each lies for figures of any size, and nothing at all
// for a total of 0.
#include <gtest/gtest.h>

#include <vector>

#include "app/shell/MemoryBar.h"

namespace {

TEST(MemoryBar, SegmentsSplitTheBarForFiguresOfAnySize) {
  constexpr uint64_t G = uint64_t{1} << 30;
  const struct {
    MemoryFigures figures;
    std::vector<int> edges;  // left, right of each segment; empty: nothing painted
  } cases[] = {
      {{0, 0, 0, 0, 0}, {}},
      {{100, 40, 0, 60, 40}, {11, 50, 51, 70, 71, 70, 71, 110}},
      {{16 * G, 8 * G, 0, 8 * G, 4 * G}, {11, 35, 36, 60, 61, 60, 61, 110}},  // past 32 bits
      {{30000, 0, 0, 30000, 70000}, {11, 110, 111, 110, 111, 110, 111, 110}},  // largest beyond free
  };
  for (const auto& c : cases) {
    MemorySegment s[kMemorySegments];
    std::vector<int> edges;
    if (MemoryBarSegments(c.figures, 10, 101, s))
      for (const MemorySegment& one : s) edges.insert(edges.end(), {one.left, one.right});
    EXPECT_EQ(edges, c.edges) << c.figures.total;
  }
}

}  // namespace
