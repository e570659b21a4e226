// Primitives checked by their pixels: coverage rules, fill rules, outlines and clipping.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "RasterTestUtil.h"

using namespace platform;
using namespace rastertest;

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0xFF0000;

TEST(Rectangles, FillCoversHalfOpenRectangle) {
  auto b = Make(40, 40);
  DeviceContext dc(b.get());
  dc.fillRect({10, 10, 20, 20}, Brush::Solid(kRed));
  EXPECT_EQ(CountNot(*b, kWhite), 100);
  EXPECT_EQ(Value(*b, 10, 10), kRed);
  EXPECT_EQ(Value(*b, 19, 19), kRed);
  EXPECT_EQ(Value(*b, 20, 19), kWhite);
  EXPECT_EQ(Value(*b, 19, 20), kWhite);
  EXPECT_EQ(Value(*b, 9, 10), kWhite);
}

TEST(Rectangles, OutlineOnEdgePixelsAndBrushInside) {
  auto b = Make(40, 40);
  DeviceContext dc(b.get());
  dc.setPen({PenStyle::Solid, 1, 0x0000FF});
  dc.setBrush(Brush::Solid(kRed));
  dc.rectangle({10, 10, 20, 20});
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
      const bool edge = inside && (x == 10 || x == 19 || y == 10 || y == 19);
      const Colour want = !inside ? kWhite : edge ? 0x0000FF : kRed;
      ASSERT_EQ(Value(*b, x, y), want) << x << "," << y;
    }
  }
  // A wide pen stays inside the bounding rectangle too.
  auto c = Make(40, 40);
  DeviceContext wide(c.get());
  wide.setPen({PenStyle::Solid, 3, 0});
  wide.setBrush(Brush::Hollow());
  wide.rectangle({5, 5, 25, 15});
  EXPECT_EQ(CountNot(*c, kWhite), 20 * 10 - 14 * 4);
}

TEST(Rectangles, CornersInAnyOrderAndEmptyRectangles) {
  auto a = Make(30, 30), b = Make(30, 30);
  DeviceContext da(a.get()), db(b.get());
  da.setBrush(Brush::Solid(kRed));
  db.setBrush(Brush::Solid(kRed));
  da.rectangle({3, 4, 17, 21});
  db.rectangle({17, 21, 3, 4});
  EXPECT_TRUE(SamePixels(*a, *b));
  auto e = Make(30, 30);
  DeviceContext de(e.get());
  de.fillRect({5, 5, 5, 20}, Brush::Solid(kRed));
  de.ellipse({5, 5, 5, 5});
  EXPECT_EQ(CountNot(*e, kWhite), 0);
}

// Five points of a star drawn in one stroke: the centre is enclosed twice.
const Point kPentagram[5] = {{50, 5}, {76, 85}, {8, 35}, {92, 35}, {24, 85}};

TEST(Polygons, PentagramCentreDependsOnFillRule) {
  for (FillRule rule : {FillRule::Alternate, FillRule::Winding}) {
    auto b = Make(100, 100);
    DeviceContext dc(b.get());
    dc.setPen({PenStyle::Null, 1, 0});
    dc.setBrush(Brush::Solid(kRed));
    dc.setFillRule(rule);
    dc.polygon(kPentagram, 5);
    EXPECT_EQ(Value(*b, 50, 50), rule == FillRule::Winding ? kRed : kWhite);
    // The star's points are covered once and are filled under both rules.
    EXPECT_EQ(Value(*b, 50, 15), kRed);
    EXPECT_EQ(Value(*b, 20, 38), kRed);
    EXPECT_EQ(Value(*b, 5, 5), kWhite);
  }
}

TEST(Polygons, AxisAlignedPolygonMatchesHalfOpenRectangle) {
  auto a = Make(30, 30), b = Make(30, 30);
  DeviceContext da(a.get()), db(b.get());
  da.setPen({PenStyle::Null, 1, 0});
  da.setBrush(Brush::Solid(kRed));
  const Point square[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  da.polygon(square, 4);
  db.fillRect({10, 10, 20, 20}, Brush::Solid(kRed));
  EXPECT_TRUE(SamePixels(*a, *b));
}

TEST(Polygons, XorFillAndOutlineTouchEachPixelOnce) {
  // Drawing twice with XOR must give back the original picture only if no pixel was
  // painted twice by the fill and the outline of one call.
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    auto b = Make(64, 64);
    Randomize(*b, rng);
    auto before = Make(64, 64);
    for (int y = 0; y < 64; ++y) std::copy(b->row32(y), b->row32(y) + 64, before->row32(y));
    DeviceContext dc(b.get());
    dc.setRop2(rop2::XorPen);
    dc.setPen({PenStyle::Solid, 1 + static_cast<int>(rng() % 4), static_cast<Colour>(rng() & 0xFFFFFF)});
    dc.setBrush(Brush::Solid(rng() & 0xFFFFFF));
    dc.setFillRule(rng() % 2 ? FillRule::Winding : FillRule::Alternate);
    Point pts[6];
    for (Point& p : pts) p = {static_cast<int>(rng() % 80) - 8, static_cast<int>(rng() % 80) - 8};
    const Rect r = Rect::Normalized(pts[0].x, pts[0].y, pts[1].x, pts[1].y);
    for (int pass = 0; pass < 2; ++pass) {
      switch (round % 6) {
        case 0: dc.polygon(pts, 6); break;
        case 1: dc.ellipse(r); break;
        case 2: dc.roundRect(r, 9, 7); break;
        case 3: dc.pie(r, pts[2], pts[3]); break;
        case 4: dc.chord(r, pts[2], pts[3]); break;
        case 5: dc.polyline(pts, 6); break;
      }
    }
    EXPECT_TRUE(SamePixels(*b, *before)) << "round " << round;
  }
}

TEST(Lines, LastPixelLeftOutAndSegmentsJoinWithoutGaps) {
  auto b = Make(20, 20);
  DeviceContext dc(b.get());
  dc.line(2, 3, 12, 3);
  EXPECT_EQ(CountNot(*b, kWhite), 10);
  EXPECT_EQ(Value(*b, 2, 3), 0u);
  EXPECT_EQ(Value(*b, 12, 3), kWhite);
  EXPECT_EQ(dc.currentPosition(), (Point{12, 3}));
  // A steep line has one pixel per row, each next to the one before.
  auto c = Make(40, 40);
  DeviceContext dcc(c.get());
  dcc.line(5, 1, 14, 38);
  int previous = -1;
  for (int y = 1; y < 38; ++y) {
    int count = 0, at = -1;
    for (int x = 0; x < 40; ++x)
      if (Value(*c, x, y) != kWhite) ++count, at = x;
    ASSERT_EQ(count, 1) << "row " << y;
    if (previous >= 0) {
      EXPECT_LE(std::abs(at - previous), 1);
    }
    previous = at;
  }
}

TEST(Lines, DashedPenLeavesGapsAndOpaqueModeFillsThem) {
  auto b = Make(60, 4);
  DeviceContext dc(b.get());
  dc.setPen({PenStyle::Dash, 1, 0});
  dc.setBackgroundMode(BackgroundMode::Transparent);
  dc.line(0, 1, 54, 1);
  const int ink = CountNot(*b, kWhite);
  EXPECT_GT(ink, 20);
  EXPECT_LT(ink, 54);
  dc.setBackgroundMode(BackgroundMode::Opaque);
  dc.setBackgroundColour(kRed);
  dc.line(0, 2, 54, 2);
  int red = 0, black = 0;
  for (int x = 0; x < 54; ++x) {
    red += Value(*b, x, 2) == kRed;
    black += Value(*b, x, 2) == 0;
  }
  EXPECT_EQ(black, ink);
  EXPECT_EQ(red + black, 54);
}

TEST(Ellipses, SymmetricAndInsideBoundingRectangle) {
  for (int w = 1; w < 30; w += 3) {
    for (int h = 1; h < 30; h += 4) {
      for (int pen = 0; pen < 3; ++pen) {
        auto b = Make(40, 40);
        DeviceContext dc(b.get());
        dc.setPen({pen == 0 ? PenStyle::Null : PenStyle::Solid, pen, 0});
        dc.setBrush(Brush::Solid(kRed));
        const Rect r{5, 6, 5 + w, 6 + h};
        dc.ellipse(r);
        for (int y = 0; y < 40; ++y) {
          for (int x = 0; x < 40; ++x) {
            const uint32_t v = Value(*b, x, y);
            if (!r.contains(x, y)) {
              ASSERT_EQ(v, kWhite);
              continue;
            }
            const int mx = r.left + r.right - 1 - x, my = r.top + r.bottom - 1 - y;
            ASSERT_EQ(v, Value(*b, mx, y)) << w << "x" << h;
            ASSERT_EQ(v, Value(*b, x, my)) << w << "x" << h;
          }
        }
        // The widest row and column reach the bounding rectangle.
        EXPECT_NE(Value(*b, 5, 6 + h / 2), kWhite);
        EXPECT_NE(Value(*b, 5 + w / 2, 6), kWhite);
      }
    }
  }
}

TEST(Arcs, PieCoversItsQuarterOnly) {
  auto b = Make(50, 50);
  DeviceContext dc(b.get());
  dc.setPen({PenStyle::Null, 1, 0});
  dc.setBrush(Brush::Solid(kRed));
  // From the ray pointing right to the ray pointing up: the top-right quarter.
  dc.pie({5, 5, 45, 45}, {45, 25}, {25, 0});
  EXPECT_EQ(Value(*b, 35, 15), kRed);
  EXPECT_EQ(Value(*b, 15, 15), kWhite);
  EXPECT_EQ(Value(*b, 15, 35), kWhite);
  EXPECT_EQ(Value(*b, 35, 35), kWhite);
  // Swapping the rays draws the other three quarters.
  auto c = Make(50, 50);
  DeviceContext dcc(c.get());
  dcc.setPen({PenStyle::Null, 1, 0});
  dcc.setBrush(Brush::Solid(kRed));
  dcc.pie({5, 5, 45, 45}, {25, 0}, {45, 25});
  EXPECT_EQ(Value(*c, 35, 15), kWhite);
  EXPECT_EQ(Value(*c, 15, 15), kRed);
  EXPECT_EQ(Value(*c, 35, 35), kRed);
  // Together they make the whole disc, without overlap.
  auto e = Make(50, 50);
  DeviceContext de(e.get());
  de.setPen({PenStyle::Null, 1, 0});
  de.setBrush(Brush::Solid(kRed));
  de.ellipse({5, 5, 45, 45});
  EXPECT_EQ(CountNot(*b, kWhite) + CountNot(*c, kWhite), CountNot(*e, kWhite));
}

TEST(Arcs, ChordCutsAlongTheLineBetweenTheEnds) {
  auto b = Make(50, 50);
  DeviceContext dc(b.get());
  dc.setPen({PenStyle::Null, 1, 0});
  dc.setBrush(Brush::Solid(kRed));
  dc.chord({5, 5, 45, 45}, {45, 25}, {25, 0});
  EXPECT_EQ(Value(*b, 38, 12), kRed);   // beyond the chord
  EXPECT_EQ(Value(*b, 28, 22), kWhite); // on the centre's side
}

TEST(Patterns, PatternBrushTilesFromBitmapOriginWithMonochromeColours) {
  auto b = Make(32, 32);
  DeviceContext dc(b.get());
  const uint8_t checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  dc.setTextColour(kRed);
  dc.setBackgroundColour(0x00FF00);
  dc.fillRect({3, 5, 29, 30}, Brush::Pattern(checker));
  for (int y = 5; y < 30; ++y)
    for (int x = 3; x < 29; ++x)
      ASSERT_EQ(Value(*b, x, y), ((x + y) % 2 == 0) ? 0x00FF00u : kRed) << x << "," << y;
  // Transparent hatches leave the background alone.
  auto c = Make(16, 16);
  DeviceContext dcc(c.get());
  dcc.setBackgroundMode(BackgroundMode::Transparent);
  dcc.fillRect({0, 0, 16, 16}, Brush::Hatched(Hatch::Horizontal, 0));
  EXPECT_EQ(CountNot(*c, kWhite), 2 * 16);
}

// Draws one random primitive with the context's current settings.
void DrawRandom(DeviceContext& dc, std::mt19937& rng, int kind) {
  auto coord = [&] { return static_cast<int>(rng() % 140) - 20; };
  const Rect r = Rect::Normalized(coord(), coord(), coord(), coord());
  Point pts[5];
  for (Point& p : pts) p = {coord(), coord()};
  switch (kind) {
    case 0: dc.rectangle(r); break;
    case 1: dc.ellipse(r); break;
    case 2: dc.roundRect(r, 12, 9); break;
    case 3: dc.polygon(pts, 5); break;
    case 4: dc.polyline(pts, 5); break;
    case 5: dc.pie(r, pts[0], pts[1]); break;
    case 6: dc.chord(r, pts[0], pts[1]); break;
    case 7: dc.arc(r, pts[0], pts[1]); break;
    case 8: dc.fillRect(r, Brush::Solid(0x123456)); break;
    case 9: dc.line(pts[0].x, pts[0].y, pts[1].x, pts[1].y); break;
    case 10: dc.invertRect(r); break;
    case 11: dc.setPixel(pts[0].x, pts[0].y, 0x00FF00); break;
  }
}

TEST(Clipping, ClippedDrawingEqualsUnclippedDrawingInsideTheClip) {
  std::mt19937 rng(42);
  for (int depth : {32, 8, 1}) {
    const uint32_t blank = Value(*Make(1, 1, depth), 0, 0);
    for (int round = 0; round < 120; ++round) {
      auto full = Make(100, 100, depth), clipped = Make(100, 100, depth);
      DeviceContext a(full.get()), b(clipped.get());
      const int kind = round % 12;
      const uint32_t seed = rng();
      const Rect clip = Rect::Normalized(rng() % 110, rng() % 110, rng() % 110, rng() % 110);
      Region region(clip);
      if (round % 3 == 0) region.unite(Rect{0, 0, 30, 8});
      b.setClipRegion(region);
      for (DeviceContext* dc : {&a, &b}) {
        std::mt19937 local(seed);
        dc->setPen({PenStyle::Solid, 1 + static_cast<int>(local() % 3), 0x000080});
        dc->setBrush(Brush::Solid(0x808000));
        DrawRandom(*dc, local, kind);
      }
      for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
          ASSERT_EQ(Value(*clipped, x, y), region.contains(x, y) ? Value(*full, x, y) : blank)
              << "depth " << depth << " kind " << kind << " at " << x << "," << y;
    }
  }
}

TEST(Clipping, OriginAndVisibleRegionPlaceAWindowInsideALargerBitmap) {
  // A 30 x 20 "client area" at (40, 25) of a screen-sized bitmap.
  auto screen = Make(100, 80);
  DeviceContext dc(screen.get(), {40, 25}, Region(Rect{40, 25, 70, 45}));
  dc.fillRect({-100, -100, 500, 500}, Brush::Solid(kRed));
  EXPECT_EQ(CountNot(*screen, kWhite), 30 * 20);
  EXPECT_EQ(Value(*screen, 40, 25), kRed);
  EXPECT_EQ(Value(*screen, 69, 44), kRed);
  dc.setPixel(0, 0, 0);
  EXPECT_EQ(Value(*screen, 40, 25), 0u);
  Colour c = 1;
  EXPECT_TRUE(dc.getPixel(29, 19, &c));
  EXPECT_EQ(c, kRed);
  EXPECT_FALSE(dc.getPixel(30, 19, &c));
  // The caller's clip is in client coordinates and narrows the visible region further.
  dc.setClipRect({-5, -5, 3, 2});
  dc.fillRect({-100, -100, 500, 500}, Brush::Solid(0x0000FF));
  int blue = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) blue += Value(*screen, x, y) == 0x0000FF;
  EXPECT_EQ(blue, 3 * 2);
}

TEST(Clipping, SaveAndRestoreBringBackClipAndAttributes) {
  auto b = Make(20, 20);
  DeviceContext dc(b.get());
  dc.setClipRect({0, 0, 5, 5});
  dc.setTextColour(kRed);
  dc.save();
  dc.removeClip();
  dc.excludeClipRect({0, 0, 10, 10});
  dc.setTextColour(0);
  EXPECT_FALSE(dc.effectiveClip().contains(3, 3));
  EXPECT_TRUE(dc.restore());
  EXPECT_EQ(dc.textColour(), kRed);
  EXPECT_TRUE(dc.effectiveClip().contains(3, 3));
  EXPECT_FALSE(dc.effectiveClip().contains(6, 3));
  EXPECT_FALSE(dc.restore());
}

TEST(Regions, OperationsAgreeWithPixelSets) {
  std::mt19937 rng(3);
  for (int round = 0; round < 300; ++round) {
    bool set[24][24] = {};
    Region region;
    for (int step = 0; step < 6; ++step) {
      const Rect r = Rect::Normalized(rng() % 25, rng() % 25, rng() % 25, rng() % 25);
      const int op = rng() % 3;
      if (op == 0) region.unite(r);
      if (op == 1) region.subtract(r);
      if (op == 2) region.intersect(r);
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
          const bool in = r.contains(x, y);
          set[y][x] = op == 0 ? set[y][x] || in : op == 1 ? set[y][x] && !in : set[y][x] && in;
        }
    }
    int64_t count = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        ASSERT_EQ(region.contains(x, y), set[y][x]);
        count += set[y][x];
      }
    EXPECT_EQ(region.area(), count);  // the rectangles never overlap
  }
}

}  // namespace

namespace {

TEST(RoundRectangles, CornersAreCutAndEdgesStraight) {
  auto b = Make(60, 40);
  DeviceContext dc(b.get());
  dc.setPen({PenStyle::Solid, 1, 0});
  dc.setBrush(Brush::Solid(kRed));
  dc.roundRect({5, 5, 55, 35}, 16, 12);
  EXPECT_EQ(Value(*b, 5, 5), kWhite);     // corner cut away
  EXPECT_EQ(Value(*b, 54, 34), kWhite);
  EXPECT_EQ(Value(*b, 30, 5), 0u);        // straight top edge in the pen
  EXPECT_EQ(Value(*b, 5, 20), 0u);        // straight left edge
  EXPECT_EQ(Value(*b, 54, 20), 0u);       // right edge is the last column inside
  EXPECT_EQ(Value(*b, 30, 20), kRed);
  // With no corners it is the plain rectangle.
  auto r1 = Make(30, 30), r2 = Make(30, 30);
  DeviceContext d1(r1.get()), d2(r2.get());
  for (DeviceContext* d : {&d1, &d2}) d->setBrush(Brush::Solid(kRed));
  d1.roundRect({3, 4, 25, 27}, 0, 0);
  d2.rectangle({3, 4, 25, 27});
  EXPECT_TRUE(SamePixels(*r1, *r2));
}

TEST(IndexedTargets, ColoursBecomeNearestEntriesAndOperationsActOnIndices) {
  auto b = Make(10, 1, 8);  // grey palette: index i is grey i
  DeviceContext dc(b.get());
  // The nearest grey by summed channel differences is the median channel.
  dc.setPixel(0, 0, RGB(200, 10, 80));
  EXPECT_EQ(Value(*b, 0, 0), 80u);
  Colour c = 0;
  ASSERT_TRUE(dc.getPixel(0, 0, &c));
  EXPECT_EQ(c, RGB(80, 80, 80));
  dc.setRop2(rop2::XorPen);
  dc.setPen({PenStyle::Solid, 1, RGB(15, 15, 15)});
  dc.line(0, 0, 2, 0);
  EXPECT_EQ(Value(*b, 0, 0), 80u ^ 15u);
  EXPECT_EQ(Value(*b, 1, 0), 255u ^ 15u);
}

}  // namespace

namespace {

TEST(Ellipses, DashedOutlineSplitsTheSolidRingIntoDashesAndGaps) {
  auto solid = Make(60, 50), dashed = Make(60, 50), opaque = Make(60, 50);
  const Rect r{4, 6, 56, 44};
  for (auto* b : {solid.get(), dashed.get(), opaque.get()}) {
    DeviceContext dc(b);
    dc.setBrush(Brush::Hollow());
    dc.setPen({b == solid.get() ? PenStyle::Solid : PenStyle::Dash, 1, 0});
    dc.setBackgroundMode(b == opaque.get() ? BackgroundMode::Opaque : BackgroundMode::Transparent);
    dc.setBackgroundColour(kRed);
    dc.ellipse(r);
  }
  const int ring = CountNot(*solid, kWhite);
  const int ink = CountNot(*dashed, kWhite);
  EXPECT_GT(ink, ring / 3);
  EXPECT_LT(ink, ring);
  // Every dashed pixel is a ring pixel; in opaque mode the gaps are the rest of the ring.
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (Value(*dashed, x, y) == 0u) {
        ASSERT_EQ(Value(*solid, x, y), 0u);
      }
      const uint32_t o = Value(*opaque, x, y);
      ASSERT_EQ(o != kWhite, Value(*solid, x, y) == 0u);
      ASSERT_EQ(o == 0u, Value(*dashed, x, y) == 0u);
    }
  }
}

}  // namespace
