#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/document/BitReverse.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/GraphMapping.h"

namespace {

TEST(SampleOrder, CoarseToFineAndOneColourAlternates) {
  BuildBitReverseTable();
  const struct {
    uint32_t colours;
    uint32_t shift;
    std::vector<uint32_t> first;
  } cases[] = {
      {256, 24, {129, 65, 193, 33, 161}},
      {1, 31, {2, 1, 2, 1}},  // 2 lies past one colour and is skipped by the sampler
      {257, 23, {257, 129, 385, 65, 321}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SampleShift(c.colours), c.shift) << c.colours;
    for (uint32_t k = 1; k <= c.first.size(); ++k)
      EXPECT_EQ(SampleColours(k, c.shift), c.first[k - 1]) << c.colours << " k " << k;
  }
  // One period visits every number of colours exactly once.
  std::vector<int> seen(301, 0);
  const uint32_t shift = SampleShift(300);
  for (uint32_t k = 0; k < (1u << (32 - shift)); ++k) {
    const uint32_t x = SampleColours(k, shift);
    if (x <= 300) ++seen[x];
  }
  for (uint32_t x = 1; x <= 300; ++x) EXPECT_EQ(seen[x], 1) << x;
}

GraphRecord Plot(GraphKind kind, bool xLinear, bool yLinear) {
  GraphRecord g{};
  g.kind = kind;
  g.xLinear = xLinear;
  g.yLinear = yLinear;
  g.plotLeft = 100;
  g.plotTop = 5;
  g.plotWidth = 300;
  g.plotHeight = 200;
  g.xMin = 1;
  g.xMax = 5000;
  g.yMin = 1000;
  g.yMax = 900000;
  g.qualityBudget = 900000;
  g.qualityCeiling = 300;
  ComputeGraphMapping(&g);
  return g;
}

TEST(GraphMapping, EndsOfTheRangesAndTheWayBack) {
  for (GraphKind kind : {kGraphQuality, kGraphMaximumError, kGraphFileSize})
    for (bool xLinear : {true, false})
      for (bool yLinear : {true, false}) {
        const GraphRecord g = Plot(kind, xLinear, yLinear);
        SCOPED_TRACE(std::to_string(kind) + (xLinear ? " x linear" : " x log") + (yLinear ? " y linear" : " y log"));
        // Both ends inside the frame, two pixels in; a k's pixel leads back to a k at most a pixel away.
        EXPECT_EQ(GraphXForK(&g, 1), 102);
        EXPECT_EQ(GraphXForK(&g, 5000), 396);
        int16_t last = -1;
        for (uint32_t k = 1; k <= 5000; k += 37) {
          const int16_t x = GraphXForK(&g, k);
          EXPECT_GE(x, last);
          last = x;
          EXPECT_NEAR(GraphXForK(&g, GraphKForX(&g, x)), x, 1) << k;  // k is rounded, pixels truncated
        }
        // Higher values are never drawn lower on the screen; all stay inside the plot.
        int16_t previous = 32767;
        for (uint64_t v = 1000; v <= 900000; v += 997) {
          const int16_t y = GraphYForValue(&g, v);
          EXPECT_LE(y, previous) << v;
          EXPECT_GE(y, 5 + 2);
          EXPECT_LE(y, 5 + 199 - 2);
          previous = y;
        }
      }
  // A picture of fewer than 1024 pixels: every quality below the best at the bottom.
  GraphRecord small = Plot(kGraphQuality, true, false);
  small.qualityCeiling = 0;
  ComputeGraphMapping(&small);
  EXPECT_EQ(GraphYForValue(&small, 899999), GraphYForValue(&small, 1000));
  EXPECT_EQ(GraphYForValue(&small, 900000), 5 + 2);
}

TEST(GraphMapping, SnappingAndLabels) {
  GraphRecord g = Plot(kGraphQuality, true, true);
  uint64_t values[10];
  for (uint64_t& v : values) v = kNoGraphValue;
  g.values = values;
  g.dataFirst = 1;
  g.dataLast = 10;
  EXPECT_EQ(SnapGraphK(&g, 5), 1u);  // nothing measured: the first k
  values[7 - 1] = 5;
  values[2 - 1] = 5;
  const uint32_t snapped[][2] = {{0, 2}, {1, 2}, {4, 2}, {5, 7}, {9, 7}, {400, 7}};
  for (const auto& s : snapped) EXPECT_EQ(SnapGraphK(&g, s[0]), s[1]) << s[0];

  g.qualityBudget = 768 * 100;
  const struct {
    GraphKind kind;
    uint32_t k;
    uint64_t value;
    const char* text;
  } labels[] = {
      {kGraphQuality, 10, 768 * 100, "100.00%"},  // only the last k is perfect
      {kGraphQuality, 9, 768 * 100, "99.99%"},
      {kGraphMaximumError, 3, 384, "50.00%"},
      {kGraphFileSize, 3, 1536, "1.5K"},
  };
  for (const auto& l : labels) {
    g.kind = l.kind;
    g.byteLabels = l.kind == kGraphFileSize;
    char text[kGraphLabelSize];
    GraphValueLabel(&g, l.k, l.value, text);
    EXPECT_STREQ(text, l.text) << l.kind << " " << l.k;
  }
}

}  // namespace
