// Raster operations and bit transfers: truth tables on 1-bit and 32-bit targets,
// stretching, mirroring, masks and the monochrome conversion rules.
#include <gtest/gtest.h>

#include <random>

#include "RasterTestUtil.h"

using namespace platform;
using namespace rastertest;

namespace {

// The binary operations written out one by one, independently of the truth-table encoding.
uint32_t Rop2Expected(int code, uint32_t p, uint32_t d) {
  switch (code) {
    case 1: return 0;
    case 2: return ~(d | p);
    case 3: return d & ~p;
    case 4: return ~p;
    case 5: return p & ~d;
    case 6: return ~d;
    case 7: return d ^ p;
    case 8: return ~(d & p);
    case 9: return d & p;
    case 10: return ~(d ^ p);
    case 11: return d;
    case 12: return d | ~p;
    case 13: return p;
    case 14: return p | ~d;
    case 15: return d | p;
    default: return ~0u;
  }
}

const struct {
  uint32_t rop;
  uint32_t (*f)(uint32_t p, uint32_t s, uint32_t d);
} kRop3s[] = {
    {rop3::SrcCopy, [](uint32_t, uint32_t s, uint32_t) { return s; }},
    {rop3::SrcAnd, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }},
    {rop3::SrcPaint, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }},
    {rop3::MergePaint, [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }},
    {rop3::SrcInvert, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }},
    {rop3::SrcErase, [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }},
    {rop3::NotSrcCopy, [](uint32_t, uint32_t s, uint32_t) { return ~s; }},
    {rop3::NotSrcErase, [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }},
    {rop3::MergeCopy, [](uint32_t p, uint32_t s, uint32_t) { return p & s; }},
    {rop3::PatOrSrc, [](uint32_t p, uint32_t s, uint32_t) { return p | s; }},
    {rop3::PatPaint, [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }},
    {rop3::PatCopy, [](uint32_t p, uint32_t, uint32_t) { return p; }},
    {rop3::PatInvert, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }},
    {rop3::DstInvert, [](uint32_t, uint32_t, uint32_t d) { return ~d; }},
    {rop3::Blackness, [](uint32_t, uint32_t, uint32_t) { return 0u; }},
    {rop3::Whiteness, [](uint32_t, uint32_t, uint32_t) { return ~0u; }},
    {0xB8074A, [](uint32_t p, uint32_t s, uint32_t d) { return (p & ~s) | (d & s); }},  // PSDPxax
};

TEST(RasterOperations, BinaryOperationsOfPensAndBrushesMatchTheirTruthTables) {
  std::mt19937 rng(11);
  for (int depth : {32, 1}) {
    for (int code = 1; code <= 16; ++code) {
      for (int white : {0, 1}) {
        // On 1-bit targets black and white pens; on colour targets any colour.
        const Colour colour = depth == 32 ? rng() & 0xFFFFFF : white ? 0xFFFFFF : 0;
        const uint32_t p = depth == 32 ? colour : white, mask = depth == 32 ? 0xFFFFFF : 1;
        auto b = Make(16, 16, depth);
        Randomize(*b, rng);
        auto before = Copy(*b);
        DeviceContext dc(b.get());
        dc.setRop2(code);
        // The top half filled by the brush, the bottom half drawn in lines by the pen.
        dc.setPen({PenStyle::Null, 1, 0});
        dc.setBrush(Brush::Solid(colour));
        dc.rectangle({0, 0, 16, 8});
        dc.setPen({PenStyle::Solid, 1, colour});
        for (int y = 8; y < 16; ++y) dc.line(0, y, 16, y);
        for (int y = 0; y < 16; ++y)
          for (int x = 0; x < 16; ++x)
            ASSERT_EQ(Value(*b, x, y), Rop2Expected(code, p, Value(*before, x, y)) & mask)
                << "depth " << depth << " code " << code << " at " << x << "," << y;
      }
    }
  }
}

TEST(RasterOperations, TernaryOperationsMatchTheirTruthTables) {
  std::mt19937 rng(5);
  for (const auto& op : kRop3s) {
    for (int depth : {32, 1}) {
      auto src = Make(16, 9, depth), dst = Make(16, 9, depth);
      Randomize(*src, rng);
      Randomize(*dst, rng);
      auto before = Copy(*dst);
      DeviceContext s(src.get()), d(dst.get());
      // On 1-bit targets a pattern tiled from the origin: its 0 bits take the text colour
      // (black), its 1 bits the background colour (white). On colour targets a solid brush.
      uint8_t rows[8];
      for (uint8_t& r : rows) r = static_cast<uint8_t>(rng());
      const Colour solid = rng() & 0xFFFFFF;
      d.setTextColour(0);
      d.setBackgroundColour(0xFFFFFF);
      d.setBrush(depth == 1 ? Brush::Pattern(rows) : Brush::Solid(solid));
      d.bitBlt(0, 0, 16, 9, s, 0, 0, op.rop);
      const uint32_t mask = depth == 32 ? 0xFFFFFF : 1;
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 16; ++x) {
          const uint32_t p = depth == 32 ? solid : rows[y % 8] >> (7 - x % 8) & 1;
          ASSERT_EQ(Value(*dst, x, y), op.f(p, Value(*src, x, y), Value(*before, x, y)) & mask)
              << std::hex << op.rop << " depth " << std::dec << depth << " at " << x << "," << y;
        }
    }
  }
}

TEST(Transfers, SourcePixelsOutsideTheSourceLeaveTheDestinationAlone) {
  std::mt19937 rng(6);
  auto src = Make(8, 8);
  Randomize(*src, rng);
  for (int scale : {1, 2}) {
    auto dst = Make(24, 24);
    DeviceContext s(src.get()), d(dst.get());
    // Source columns 4..11 and rows -2..5: the source's right half and top rows are missing.
    if (scale == 1) d.bitBlt(0, 0, 8, 8, s, 4, -2, rop3::SrcCopy);
    else d.stretchBlt(0, 0, 16, 16, s, 4, -2, 8, 8, rop3::SrcCopy);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        const int sx = 4 + x / scale, sy = -2 + y / scale;
        const bool copied = x < 8 * scale && y < 8 * scale && sx < 8 && sy >= 0;
        ASSERT_EQ(Value(*dst, x, y), copied ? Value(*src, sx, sy) : 0xFFFFFFu) << scale << " at " << x << "," << y;
      }
  }
}

TEST(Transfers, OverlappingCopyWithinOneBitmapReadsTheOriginal) {
  std::mt19937 rng(1);
  for (int depth : {32, 8, 1}) {
    for (int dx : {-3, 0, 4}) {
      for (int dy : {-2, 0, 5}) {
        auto b = Make(24, 24, depth);
        Randomize(*b, rng);
        auto original = Copy(*b);
        DeviceContext dc(b.get());
        dc.bitBlt(6 + dx, 6 + dy, 12, 12, dc, 6, 6, rop3::SrcCopy);
        for (int y = 0; y < 12; ++y)
          for (int x = 0; x < 12; ++x)
            ASSERT_EQ(Value(*b, 6 + dx + x, 6 + dy + y), Value(*original, 6 + x, 6 + y)) << depth;
      }
    }
  }
}

// Enlarging is held by the copy from outside the source, which doubles.
TEST(Transfers, StretchPicksNearestPixelsAndANegativeWidthMirrors) {
  std::mt19937 rng(2);
  for (int depth : {32, 1}) {
    auto src = Make(10, 7, depth);
    Randomize(*src, rng);
    DeviceContext s(src.get());
    // Down by 2: sampling at pixel centres takes the second pixel of each pair.
    auto big = Make(20, 14, depth);
    Randomize(*big, rng);
    DeviceContext bg(big.get());
    auto down = Make(10, 7, depth);
    DeviceContext dn(down.get());
    dn.stretchBlt(0, 0, 10, 7, bg, 0, 0, 20, 14, rop3::SrcCopy);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(Value(*down, x, y), Value(*big, 2 * x + 1, 2 * y + 1));
    auto mirror = Make(10, 7, depth);
    DeviceContext m(mirror.get());
    m.stretchBlt(10, 0, -10, 7, s, 0, 0, 10, 7, rop3::SrcCopy);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(Value(*mirror, x, y), Value(*src, 9 - x, y));
  }
}

TEST(Transfers, ConversionsBetweenColourPaletteAndOneBitTargets) {
  // Colour to 1-bit: the source context's background colour becomes 1, all else 0.
  auto colour = Make(4, 1);
  const Colour pixels[4] = {0x336699, 0xFFFFFF, 0x336698, 0x000000};
  std::copy(pixels, pixels + 4, colour->row32(0));
  DeviceContext c(colour.get());
  c.setBackgroundColour(0x336699);
  auto mono = Make(4, 1, 1);
  DeviceContext m(mono.get());
  m.bitBlt(0, 0, 4, 1, c, 0, 0, rop3::SrcCopy);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Value(*mono, x, 0), x == 0 ? 1u : 0u) << x;
  // 1-bit to colour: 0 takes the destination's text colour, 1 its background colour.
  for (int depth : {32, 8}) {
    auto back = Make(4, 1, depth);
    DeviceContext b(back.get());
    b.setTextColour(RGB(10, 10, 10));
    b.setBackgroundColour(RGB(200, 200, 200));
    b.bitBlt(0, 0, 4, 1, m, 0, 0, rop3::SrcCopy);
    const uint32_t text = depth == 32 ? 0x0A0A0A : 10, bg = depth == 32 ? 0xC8C8C8 : 200;
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Value(*back, x, 0), x == 0 ? bg : text) << depth;
  }
  // A device-independent 1-bit source is read through its own palette instead.
  auto dib = Make(2, 1, 1);
  dib->palette() = {0x0000FF, 0x00FF00};
  SetValue(*dib, 0, 0, 0);
  SetValue(*dib, 1, 0, 1);
  auto out = Make(2, 1);
  DeviceContext o(out.get());
  o.stretchBitmap(0, 0, 2, 1, *dib, 0, 0, 2, 1, rop3::SrcCopy);
  EXPECT_EQ(Value(*out, 0, 0), 0x0000FFu);
  EXPECT_EQ(Value(*out, 1, 0), 0x00FF00u);
  // Colour to a palette: the nearest entry (255 is 5 away from (255, 250, 255), 253 is 7).
  colour->row32(0)[1] = RGB(100, 101, 99);
  colour->row32(0)[2] = RGB(255, 250, 255);
  auto grey = Make(4, 1, 8);
  DeviceContext g(grey.get());
  g.bitBlt(0, 0, 4, 1, c, 0, 0, rop3::SrcCopy);
  EXPECT_EQ(Value(*grey, 1, 0), 100u);
  EXPECT_EQ(Value(*grey, 2, 0), 255u);
  EXPECT_EQ(Value(*grey, 3, 0), 0u);
}

TEST(Transfers, MaskChoosesForegroundOrBackgroundOperation) {
  std::mt19937 rng(8);
  auto src = Make(16, 8), dst = Make(16, 8), mask = Make(16, 8, 1);
  Randomize(*src, rng);
  Randomize(*dst, rng);
  Randomize(*mask, rng);
  auto before = Copy(*dst);
  DeviceContext s(src.get()), d(dst.get());
  // Where the mask is 1 the source is copied; where it is 0 the destination stays.
  d.maskBlt(0, 0, 16, 8, s, 0, 0, *mask, 0, 0, rop3::SrcCopy, 0xAA0029);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(Value(*dst, x, y), Value(*mask, x, y) ? Value(*src, x, y) : Value(*before, x, y));
}

}  // namespace
