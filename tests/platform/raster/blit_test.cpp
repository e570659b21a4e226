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

struct NamedRop3 {
  uint32_t rop;
  uint32_t (*f)(uint32_t p, uint32_t s, uint32_t d);
};

const NamedRop3 kRop3s[] = {
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

TEST(RasterOperations, BinaryTruthTablesOnOneBitTargets) {
  for (int code = 1; code <= 16; ++code) {
    auto b = Make(4, 1, 1);
    // Pixels 0 and 1 start black, 2 and 3 white; pens black on 0 and 2, white on 1 and 3.
    SetValue(*b, 0, 0, 0); SetValue(*b, 1, 0, 0); SetValue(*b, 2, 0, 1); SetValue(*b, 3, 0, 1);
    DeviceContext dc(b.get());
    dc.setRop2(code);
    for (int x = 0; x < 4; ++x) {
      dc.setPen({PenStyle::Solid, 1, (x & 1) ? 0xFFFFFFu : 0u});
      dc.line(x, 0, x + 1, 0);
    }
    for (int x = 0; x < 4; ++x) {
      const uint32_t p = x & 1, d = x >> 1;
      EXPECT_EQ(Value(*b, x, 0), Rop2Expected(code, p, d) & 1) << "code " << code << " p " << p << " d " << d;
    }
  }
}

TEST(RasterOperations, BinaryTruthTablesOnColourTargets) {
  std::mt19937 rng(11);
  for (int code = 1; code <= 16; ++code) {
    auto b = Make(16, 16);
    Randomize(*b, rng);
    auto before = Make(16, 16);
    for (int y = 0; y < 16; ++y) std::copy(b->row32(y), b->row32(y) + 16, before->row32(y));
    const Colour pen = rng() & 0xFFFFFF;
    DeviceContext dc(b.get());
    dc.setRop2(code);
    dc.setPen({PenStyle::Null, 1, 0});
    dc.setBrush(Brush::Solid(pen));
    dc.rectangle({0, 0, 16, 16});
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(Value(*b, x, y), Rop2Expected(code, pen, Value(*before, x, y)) & 0xFFFFFF) << "code " << code;
  }
}

TEST(RasterOperations, TernaryTruthTablesOnOneBitTargets) {
  for (const NamedRop3& op : kRop3s) {
    // Eight pixels: x = P * 4 + S * 2 + D.
    auto src = Make(8, 1, 1), dst = Make(8, 1, 1);
    for (int x = 0; x < 8; ++x) {
      SetValue(*src, x, 0, (x >> 1) & 1);
      SetValue(*dst, x, 0, x & 1);
    }
    DeviceContext s(src.get()), d(dst.get());
    // A pattern brush whose column x is P: 0 bits take the text colour (black).
    d.setTextColour(0);
    d.setBackgroundColour(0xFFFFFF);
    const uint8_t cols = 0x0F;  // x = 4..7 have P = 1
    const uint8_t rows[8] = {cols, cols, cols, cols, cols, cols, cols, cols};
    d.setBrush(Brush::Pattern(rows));
    d.bitBlt(0, 0, 8, 1, s, 0, 0, op.rop);
    for (int x = 0; x < 8; ++x) {
      const uint32_t p = x >> 2, sv = (x >> 1) & 1, dv = x & 1;
      EXPECT_EQ(Value(*dst, x, 0), op.f(p, sv, dv) & 1) << std::hex << op.rop << " at " << x;
    }
  }
}

TEST(RasterOperations, TernaryTruthTablesOnColourTargets) {
  std::mt19937 rng(5);
  for (const NamedRop3& op : kRop3s) {
    auto src = Make(12, 9), dst = Make(12, 9), before = Make(12, 9);
    Randomize(*src, rng);
    Randomize(*dst, rng);
    for (int y = 0; y < 9; ++y) std::copy(dst->row32(y), dst->row32(y) + 12, before->row32(y));
    DeviceContext s(src.get()), d(dst.get());
    const Colour brush = rng() & 0xFFFFFF;
    d.setBrush(Brush::Solid(brush));
    d.bitBlt(0, 0, 12, 9, s, 0, 0, op.rop);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 12; ++x)
        ASSERT_EQ(Value(*dst, x, y), op.f(brush, Value(*src, x, y), Value(*before, x, y)) & 0xFFFFFF)
            << std::hex << op.rop;
  }
}

TEST(Transfers, CopyMovesExactlyTheRectangleAndSkipsOutsideSource) {
  std::mt19937 rng(9);
  auto src = Make(30, 20);
  Randomize(*src, rng);
  auto dst = Make(40, 40);
  DeviceContext s(src.get()), d(dst.get());
  // The source rectangle hangs 5 pixels off the source's right edge.
  d.bitBlt(3, 4, 15, 10, s, 20, 2, rop3::SrcCopy);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool copied = x >= 3 && x < 13 && y >= 4 && y < 14;
      ASSERT_EQ(Value(*dst, x, y), copied ? Value(*src, x - 3 + 20, y - 4 + 2) : 0xFFFFFFu) << x << "," << y;
    }
}

TEST(Transfers, OverlappingCopyWithinOneBitmapReadsTheOriginal) {
  std::mt19937 rng(1);
  for (int depth : {32, 8, 1}) {
    for (int dx : {-3, 0, 4}) {
      for (int dy : {-2, 0, 5}) {
        auto b = Make(24, 24, depth);
        Randomize(*b, rng);
        auto original = Make(24, 24, depth);
        for (int y = 0; y < 24; ++y)
          for (int x = 0; x < 24; ++x) SetValue(*original, x, y, Value(*b, x, y));
        DeviceContext dc(b.get());
        dc.bitBlt(6 + dx, 6 + dy, 12, 12, dc, 6, 6, rop3::SrcCopy);
        for (int y = 0; y < 12; ++y)
          for (int x = 0; x < 12; ++x)
            ASSERT_EQ(Value(*b, 6 + dx + x, 6 + dy + y), Value(*original, 6 + x, 6 + y)) << depth;
      }
    }
  }
}

TEST(Transfers, StretchUpAndDownPicksNearestPixels) {
  std::mt19937 rng(2);
  for (int depth : {32, 1}) {
    auto src = Make(10, 7, depth);
    Randomize(*src, rng);
    DeviceContext s(src.get());
    // Up by 3: every 3 x 3 block repeats one source pixel.
    auto up = Make(30, 21, depth);
    DeviceContext u(up.get());
    u.stretchBlt(0, 0, 30, 21, s, 0, 0, 10, 7, rop3::SrcCopy);
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 30; ++x) ASSERT_EQ(Value(*up, x, y), Value(*src, x / 3, y / 3));
    // Down by 2: each destination pixel is one of the pixels of its 2 x 2 block, and
    // the same choice is made in every block.
    auto big = Make(20, 14, depth);
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 20; ++x) SetValue(*big, x, y, Value(*src, x / 2, y / 2) ^ ((x & 1) | (y & 1) ? 1 : 0));
    DeviceContext bg(big.get());
    auto down = Make(10, 7, depth);
    DeviceContext dn(down.get());
    dn.stretchBlt(0, 0, 10, 7, bg, 0, 0, 20, 14, rop3::SrcCopy);
    const int ox = 1, oy = 1;  // sampling at pixel centres takes the second of each pair
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(Value(*down, x, y), Value(*big, 2 * x + ox, 2 * y + oy));
  }
}

TEST(Transfers, NegativeWidthMirrors) {
  std::mt19937 rng(4);
  auto src = Make(9, 5);
  Randomize(*src, rng);
  auto dst = Make(9, 5);
  DeviceContext s(src.get()), d(dst.get());
  d.stretchBlt(9, 0, -9, 5, s, 0, 0, 9, 5, rop3::SrcCopy);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(Value(*dst, x, y), Value(*src, 8 - x, y));
}

TEST(Transfers, MonochromeConversionRules) {
  // Colour to 1-bit: the source context's background colour becomes 1, all else 0.
  auto colour = Make(4, 1);
  colour->row32(0)[0] = 0x336699;
  colour->row32(0)[1] = 0xFFFFFF;
  colour->row32(0)[2] = 0x336698;
  colour->row32(0)[3] = 0x000000;
  DeviceContext c(colour.get());
  c.setBackgroundColour(0x336699);
  auto mono = Make(4, 1, 1);
  DeviceContext m(mono.get());
  m.bitBlt(0, 0, 4, 1, c, 0, 0, rop3::SrcCopy);
  EXPECT_EQ(Value(*mono, 0, 0), 1u);
  EXPECT_EQ(Value(*mono, 1, 0), 0u);
  EXPECT_EQ(Value(*mono, 2, 0), 0u);
  EXPECT_EQ(Value(*mono, 3, 0), 0u);
  // 1-bit to colour: 0 takes the destination's text colour, 1 its background colour.
  for (int depth : {32, 8}) {
    auto back = Make(4, 1, depth);
    DeviceContext b(back.get());
    b.setTextColour(RGB(10, 10, 10));
    b.setBackgroundColour(RGB(200, 200, 200));
    b.bitBlt(0, 0, 4, 1, m, 0, 0, rop3::SrcCopy);
    const uint32_t text = depth == 32 ? 0x0A0A0A : 10, bg = depth == 32 ? 0xC8C8C8 : 200;
    EXPECT_EQ(Value(*back, 0, 0), bg);
    EXPECT_EQ(Value(*back, 1, 0), text);
    EXPECT_EQ(Value(*back, 3, 0), text);
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
}

TEST(Transfers, MaskChoosesForegroundOrBackgroundOperation) {
  std::mt19937 rng(8);
  auto src = Make(16, 8), dst = Make(16, 8), before = Make(16, 8);
  Randomize(*src, rng);
  Randomize(*dst, rng);
  for (int y = 0; y < 8; ++y) std::copy(dst->row32(y), dst->row32(y) + 16, before->row32(y));
  auto mask = Make(16, 8, 1);
  Randomize(*mask, rng);
  DeviceContext s(src.get()), d(dst.get());
  // Where the mask is 1 the source is copied; where it is 0 the destination stays.
  d.maskBlt(0, 0, 16, 8, s, 0, 0, *mask, 0, 0, rop3::SrcCopy, 0xAA0029);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(Value(*dst, x, y), Value(*mask, x, y) ? Value(*src, x, y) : Value(*before, x, y));
}

TEST(Transfers, ColourToPaletteTakesNearestEntry) {
  auto src = Make(3, 1);
  src->row32(0)[0] = RGB(0, 0, 0);
  src->row32(0)[1] = RGB(100, 101, 99);
  src->row32(0)[2] = RGB(255, 250, 255);
  auto grey = Make(3, 1, 8);
  DeviceContext s(src.get()), g(grey.get());
  g.bitBlt(0, 0, 3, 1, s, 0, 0, rop3::SrcCopy);
  EXPECT_EQ(Value(*grey, 0, 0), 0u);
  EXPECT_EQ(Value(*grey, 1, 0), 100u);
  EXPECT_EQ(Value(*grey, 2, 0), 255u);  // 5 away, where 253 is 7 away
}

}  // namespace

namespace {

TEST(Transfers, StretchFromPartlyOutsideSourceLeavesThoseDestinationPixels) {
  std::mt19937 rng(6);
  auto src = Make(8, 8);
  Randomize(*src, rng);
  auto dst = Make(24, 24);
  DeviceContext s(src.get()), d(dst.get());
  // Source columns 4..11 and rows -2..5, doubled: the source's right half and top rows are missing.
  d.stretchBlt(0, 0, 16, 16, s, 4, -2, 8, 8, rop3::SrcCopy);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const int sx = 4 + x / 2, sy = -2 + y / 2;
      const bool copied = x < 16 && y < 16 && sx < 8 && sy >= 0;
      ASSERT_EQ(Value(*dst, x, y), copied ? Value(*src, sx, sy) : 0xFFFFFFu) << x << "," << y;
    }
}

}  // namespace
