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

// The pen's edges of a rectangle are checked through the metafile player's rectangle record.
TEST(Rectangles, EveryFormCoversTheHalfOpenRectangle) {
  const Point square[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  const struct {
    const char* what;
    std::function<void(DeviceContext&)> draw;
    Rect covered;
  } forms[] = {
      {"fill", [](DeviceContext& d) { d.fillRect({10, 10, 20, 20}, Brush::Solid(kRed)); }, {10, 10, 20, 20}},
      {"corners swapped", [](DeviceContext& d) { d.rectangle({20, 20, 10, 10}); }, {10, 10, 20, 20}},
      {"round corners of no size", [](DeviceContext& d) { d.roundRect({10, 10, 20, 20}, 0, 0); }, {10, 10, 20, 20}},
      {"polygon", [&](DeviceContext& d) { d.polygon(square, 4); }, {10, 10, 20, 20}},
      {"fill of no width", [](DeviceContext& d) { d.fillRect({5, 5, 5, 20}, Brush::Solid(kRed)); }, {}},
      {"ellipse of no size", [](DeviceContext& d) { d.ellipse({5, 5, 5, 5}); }, {}},
  };
  for (const auto& f : forms) {
    auto c = Make(30, 30);
    DeviceContext d(c.get());
    d.setPen({PenStyle::Null, 1, 0});
    d.setBrush(Brush::Solid(kRed));
    f.draw(d);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) ASSERT_EQ(Value(*c, x, y), f.covered.contains(x, y) ? kRed : kWhite) << f.what;
  }
  // A wide pen stays inside the bounding rectangle too.
  auto c = Make(40, 40);
  DeviceContext wide(c.get());
  wide.setPen({PenStyle::Solid, 3, 0});
  wide.setBrush(Brush::Hollow());
  wide.rectangle({5, 5, 25, 15});
  EXPECT_EQ(CountNot(*c, kWhite), 20 * 10 - 14 * 4);
}

TEST(Rectangles, RoundCornersAreCutAndEdgesStraight) {
  auto b = Make(60, 40);
  DeviceContext dc(b.get());
  dc.setBrush(Brush::Solid(kRed));
  dc.roundRect({5, 5, 55, 35}, 16, 12);
  const struct {
    int x, y;
    Colour colour;
  } probes[] = {{5, 5, kWhite}, {54, 34, kWhite}, {30, 5, 0}, {5, 20, 0}, {54, 20, 0}, {30, 20, kRed}};
  for (const auto& p : probes) EXPECT_EQ(Value(*b, p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(Polygons, PentagramCentreDependsOnFillRule) {
  // Five points of a star drawn in one stroke: the centre is enclosed twice, the points once.
  const Point star[5] = {{50, 5}, {76, 85}, {8, 35}, {92, 35}, {24, 85}};
  for (FillRule rule : {FillRule::Alternate, FillRule::Winding}) {
    auto b = Make(100, 100);
    DeviceContext dc(b.get());
    dc.setPen({PenStyle::Null, 1, 0});
    dc.setBrush(Brush::Solid(kRed));
    dc.setFillRule(rule);
    dc.polygon(star, 5);
    EXPECT_EQ(Value(*b, 50, 50), rule == FillRule::Winding ? kRed : kWhite);
    EXPECT_EQ(Value(*b, 50, 15), kRed);
    EXPECT_EQ(Value(*b, 20, 38), kRed);
    EXPECT_EQ(Value(*b, 5, 5), kWhite);
  }
}

TEST(Polygons, EveryShapeHonoursTheDrawingModeInItsFillAndOutline) {
  // Drawn twice in XOR mode a shape leaves the picture as it was, unless some part of it
  // (a fill, an outline, a wide pen's ends) was copied instead of combined.
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    auto b = Make(64, 64);
    Randomize(*b, rng);
    auto before = Copy(*b);
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

// The last pixel left out of a line is held by the metafile player's line probes.
TEST(Lines, SteepLinesHaveOnePixelPerRowEachNextToTheOneBefore) {
  auto c = Make(40, 40);
  DeviceContext steep(c.get());
  steep.line(5, 1, 14, 38);
  EXPECT_EQ(steep.currentPosition(), (Point{14, 38}));  // where the next segment starts
  for (int y = 1, previous = -1; y < 38; ++y) {
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

TEST(Lines, DashedOutlinesSplitTheSolidOneAndOpaqueModeFillsTheGaps) {
  const std::function<void(DeviceContext&)> shapes[] = {
      [](DeviceContext& d) { d.line(0, 1, 54, 1); },
      [](DeviceContext& d) { d.ellipse({4, 6, 56, 44}); },
  };
  for (const auto& shape : shapes) {
    auto solid = Make(60, 50), dashed = Make(60, 50), opaque = Make(60, 50);
    for (auto* b : {solid.get(), dashed.get(), opaque.get()}) {
      DeviceContext dc(b);
      dc.setBrush(Brush::Hollow());
      dc.setPen({b == solid.get() ? PenStyle::Solid : PenStyle::Dash, 1, 0});
      dc.setBackgroundMode(b == opaque.get() ? BackgroundMode::Opaque : BackgroundMode::Transparent);
      dc.setBackgroundColour(kRed);
      shape(dc);
    }
    const int whole = CountNot(*solid, kWhite), ink = CountNot(*dashed, kWhite);
    EXPECT_GT(ink, whole / 3);
    EXPECT_LT(ink, whole);
    // Every dash is on the solid outline; in opaque mode the gaps are the rest of it.
    for (int y = 0; y < 50; ++y)
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
  EXPECT_EQ(100 * 80 - CountNot(*screen, 0x0000FF), 3 * 2);
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

// The nearest-entry rule itself is held by the conversions of the transfer tests.
TEST(IndexedTargets, ColoursReadBackFromThePaletteAndOperationsActOnIndices) {
  auto b = Make(10, 1, 8);  // grey palette: index i is grey i
  DeviceContext dc(b.get());
  dc.setPixel(0, 0, RGB(200, 10, 80));
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
