#include <gtest/gtest.h>

#include <functional>

#include "platform/metafile/Player.h"
#include "platform/metafile/wmf_builder.h"
#include "../dib/bmp_builder.h"

namespace wmf = platform::wmf;
using platform::Bitmap;
using platform::Colour;
using platform::DeviceContext;
using platform::Rect;

namespace {

constexpr Colour kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

// Plays `b` (a plain metafile) with the frame mapped onto the destination.
std::unique_ptr<Bitmap> Render(const WmfBuilder& b, Rect frame, int width, int height, bool* whole = nullptr,
                               wmf::PlayOptions options = {}) {
  const std::vector<uint8_t> bits = b.bits();
  std::string reason;
  auto m = wmf::Metafile::FromBits(bits.data(), bits.size(), &reason);
  EXPECT_TRUE(m) << reason;
  auto bitmap = Bitmap::Create(width, height, 32);
  DeviceContext dc(bitmap.get());
  const bool ok = wmf::Play(*m, dc, frame, Rect{0, 0, width, height}, &reason, options);
  if (whole) *whole = ok;
  return bitmap;
}

Colour At(const Bitmap& b, int x, int y) { return b.row32(y)[x]; }

// Red 1-pixel pen (object 0) and blue solid brush (object 1), both selected.
WmfBuilder RedOnBlue() {
  WmfBuilder b;
  b.pen(0, 1, kRed).brush(0, kBlue).select(0).select(1);
  return b;
}

// The packed bitmap (header, table, bits) of a 24-bit bitmap, as 16-bit words.
std::vector<uint16_t> PackedWords(int width, int height, const std::vector<uint32_t>& pixels) {
  BmpSpec s;
  s.width = width;
  s.height = height;
  s.pixels = pixels;
  const std::vector<uint8_t> file = BuildBmp(s);
  std::vector<uint16_t> words;
  for (size_t i = 14; i + 1 < file.size(); i += 2) words.push_back(file[i] | file[i + 1] << 8);
  return words;
}


// STRETCHDIB of a 24-bit bitmap (pixels top row first) onto (x, y, w, h) with `rop`.
void StretchDib(WmfBuilder& b, int width, int height, const std::vector<uint32_t>& pixels, int x, int y, int w,
                int h, uint32_t rop = 0xCC0020) {
  std::vector<uint16_t> words = {static_cast<uint16_t>(rop), static_cast<uint16_t>(rop >> 16), 0,
                                 static_cast<uint16_t>(height), static_cast<uint16_t>(width), 0, 0,
                                 static_cast<uint16_t>(h), static_cast<uint16_t>(w), static_cast<uint16_t>(y),
                                 static_cast<uint16_t>(x)};
  const std::vector<uint16_t> dib = PackedWords(width, height, pixels);
  words.insert(words.end(), dib.begin(), dib.end());
  b.addWords(0x0F43, words);
}

// The old device-dependent form of a 24-bit bitmap: five header words, then rows top-down.
std::vector<uint16_t> OldBitmapWords(int width, int height, const std::vector<uint32_t>& pixels, int reserved = 0) {
  const int widthBytes = (width * 3 + 1) & ~1;
  std::vector<uint16_t> words = {0, static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                                 static_cast<uint16_t>(widthBytes), 1 | 24 << 8};
  words.insert(words.end(), reserved, 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(widthBytes) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) bytes[y * widthBytes + 3 * x + c] = pixels[y * width + x] >> (8 * c) & 0xFF;
  for (size_t i = 0; i < bytes.size(); i += 2) words.push_back(bytes[i] | bytes[i + 1] << 8);
  return words;
}

// Red text on a clear background in a font `height` pixels high turned by `escapement`
// tenths of a degree, created and selected as object 0.
WmfBuilder RedText(int height, int escapement = 0) {
  WmfBuilder b;
  b.add(0x0209, {0x00FF, 0}).add(0x0102, {1});
  std::vector<uint16_t> font(9 + 16, 0);
  font[0] = static_cast<uint16_t>(-height);
  font[2] = font[3] = static_cast<uint16_t>(escapement);
  font[4] = 400;
  b.addWords(0x02FB, font).select(0);
  return b;
}

// Where the picture differs from white.
Rect InkBox(const Bitmap& b) {
  Rect r{b.width(), b.height(), -1, -1};
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      if (At(b, x, y) != kWhite)
        r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
  return r;
}

constexpr uint32_t kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6;

struct Probe {
  int x, y;
  Colour colour;
};

// Records played onto a picture of `width` x `height` with `frame` mapped onto it, and
// pixels that must have come out as stated. Red 1-pixel pen and blue brush selected first.
struct DrawingCase {
  const char* what;
  std::function<void(WmfBuilder&)> records;
  Rect frame;
  int width, height;
  std::vector<Probe> probes;
};

}  // namespace

TEST(MetafilePlayer, RecordsDrawWhereAndWhatTheySay) {
  const DrawingCase cases[] = {
      {"rectangle: pen edges, brush inside, nothing outside",
       [](WmfBuilder& b) { b.add(0x041B, {30, 40, 10, 10}); },  // (10, 10)-(40, 30)
       {0, 0, 50, 50}, 50, 50,
       {{10, 10, kRed}, {39, 29, kRed}, {25, 10, kRed}, {25, 20, kBlue}, {40, 20, kWhite}, {9, 20, kWhite},
        {25, 30, kWhite}}},
      {"anisotropic: window 100 x 100 onto viewport 200 x 50",
       [](WmfBuilder& b) {
         b.add(0x0103, {8}).add(0x020B, {0, 0}).add(0x020C, {100, 100}).add(0x020D, {0, 0}).add(0x020E, {50, 200});
         b.add(0x041B, {80, 30, 40, 10});  // (10, 40)-(30, 80) -> (20, 20)-(60, 40)
       },
       {0, 0, 10, 10}, 100, 100, {{20, 20, kRed}, {40, 30, kBlue}, {61, 30, kWhite}, {40, 41, kWhite}}},
      {"isotropic: both axes take the smaller scale",
       [](WmfBuilder& b) {
         b.add(0x0103, {7}).add(0x020B, {0, 0}).add(0x020C, {50, 100}).add(0x020D, {0, 0}).add(0x020E, {200, 200});
         b.add(0x041B, {20, 20, 10, 10});  // -> (20, 20)-(40, 40)
       },
       {0, 0, 10, 10}, 100, 100, {{30, 30, kBlue}, {39, 39, kRed}, {41, 41, kWhite}}},
      {"low metric: 254 units an inch, y up",
       [](WmfBuilder& b) {
         b.add(0x0103, {2}).add(0x020B, {0, 0}).add(0x020D, {100, 0});
         b.add(0x041B, {0, 254, 254, 0});  // -> (0, 4)-(96, 100)
       },
       {0, 0, 10, 10}, 120, 120, {{50, 50, kBlue}, {50, 2, kWhite}, {100, 50, kWhite}}},
      {"text mode ignores extents, not the window origin",
       [](WmfBuilder& b) {
         b.add(0x0103, {1}).add(0x020C, {1, 1}).add(0x020B, {5, 5});
         b.add(0x041B, {25, 25, 15, 15});  // -> (10, 10)-(20, 20)
       },
       {0, 0, 10, 10}, 40, 40, {{10, 10, kRed}, {15, 15, kBlue}, {21, 15, kWhite}}},
      {"restore brings back the mapping and the brush",
       [](WmfBuilder& b) {
         b.add(0x001E, {}).add(0x020B, {-100, -100}).brush(0, kGreen).select(2).add(0x0127, {-1});
         b.add(0x041B, {20, 20, 10, 10});
       },
       {0, 0, 40, 40}, 40, 40, {{15, 15, kBlue}, {10, 10, kRed}}},
      {"lines, polygons, ellipses, pixels",
       [](WmfBuilder& b) {
         b.add(0x0214, {5, 0}).add(0x0213, {5, 30});   // line y = 5, x 0..29
         b.add(0x0324, {3, 10, 10, 30, 10, 10, 30});   // triangle
         b.add(0x0418, {80, 80, 40, 40});              // ellipse (40, 40)-(80, 80)
         b.add(0x041F, {0x00FF, 0, 90, 90});           // red pixel at (90, 90)
         b.add(0x0538, {2, 4, 4, 50, 0, 60, 0, 60, 10, 50, 10, 70, 0, 80, 0, 80, 10, 70, 10});
       },
       {0, 0, 100, 100}, 100, 100,
       {{15, 5, kRed}, {15, 4, kWhite}, {30, 5, kWhite}, {13, 20, kBlue}, {28, 28, kWhite}, {60, 60, kBlue},
        {42, 42, kWhite}, {90, 90, kRed}, {55, 5, kBlue}, {75, 5, kBlue}, {65, 5, kWhite}}},
      {"pie: the upper-right quarter; chord: the upper half",
       [](WmfBuilder& b) {
         b.add(0x081A, {0, 20, 20, 40, 40, 40, 0, 0});
         b.add(0x0830, {20, 50, 20, 90, 40, 90, 0, 50});
       },
       {0, 0, 100, 50}, 100, 50,
       {{28, 12, kBlue}, {12, 12, kWhite}, {28, 28, kWhite}, {70, 10, kBlue}, {70, 30, kWhite}}},
      {"with y up arcs still run counter-clockwise on the device",
       [](WmfBuilder& b) {
         b.add(0x020B, {40, 0}).add(0x020C, {-40, 40});  // window origin (0, 40), extent (40, -40)
         b.add(0x0830, {20, 40, 20, 0, 0, 40, 40, 0});
       },
       {0, 0, 40, 40}, 40, 40, {{20, 30, kBlue}, {20, 10, kWhite}}},
      {"clip rectangles: intersected, then one excluded",
       [](WmfBuilder& b) {
         b.add(0x0416, {30, 30, 10, 10}).add(0x0415, {20, 20, 10, 10}).brush(0, kGreen).select(2);
         b.add(0x061D, {0x0021, 0x00F0, 40, 40, 0, 0});
       },
       {0, 0, 40, 40}, 40, 40, {{25, 25, kGreen}, {15, 15, kWhite}, {5, 5, kWhite}, {35, 35, kWhite}}},
      {"a pattern fill inverted on its left half; a hatched brush on an opaque background",
       [](WmfBuilder& b) {
         b.brush(0, kRed).select(2).add(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0});
         b.add(0x061D, {0x0009, 0x0055, 10, 5, 0, 0});  // destination inverted
         b.brush(2, kBlue, 0).select(3).add(0x061D, {0x0021, 0x00F0, 16, 16, 0, 20});
       },
       {0, 0, 40, 20}, 40, 20,
       {{7, 5, kRed}, {2, 5, 0x00FFFF}, {25, 4, kBlue}, {35, 4, kBlue}, {25, 5, kWhite}, {25, 12, kBlue}}},
      {"flood fill stops at the border colour",
       [](WmfBuilder& b) {
         b.brush(1, 0).select(2).add(0x041B, {30, 30, 10, 10});  // hollow brush, red outline
         b.brush(0, kGreen).select(3).add(0x0419, {0x00FF, 0, 20, 20});
       },
       {0, 0, 40, 40}, 40, 40, {{20, 20, kGreen}, {11, 11, kGreen}, {10, 10, kRed}, {5, 5, kWhite}}},
      {"a new object takes the lowest free slot",
       [](WmfBuilder& b) {
         b.brush(0, kRed).brush(0, kGreen).add(0x01F0, {2}).brush(0, 0x808080);  // grey into slot 2
         b.select(2).add(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0});
         b.select(3).add(0x061D, {0x0021, 0x00F0, 10, 10, 0, 10});
       },
       {0, 0, 20, 10}, 20, 10, {{5, 5, 0x808080}, {15, 5, kGreen}}},
      {"a brush of a palette index takes the selected palette's colour",
       [](WmfBuilder& b) {
         b.addWords(0x00F7, {0x300, 2, 0x00FF, 0, 0xFF00, 0}).select(2);  // palette: red, green
         b.addWords(0x02FC, {0, 1, 0x0100, 0}).select(3).add(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0});
       },
       {0, 0, 10, 10}, 10, 10, {{5, 5, kGreen}}},
      {"an opaque text box (5, 5)-(35, 20) in the background colour",
       [](WmfBuilder& b) { b.add(0x0201, {0, 0xFF}).add(0x0A32, {10, 10, 0, 2, 5, 5, 35, 20}); },
       {0, 0, 40, 40}, 40, 40, {{6, 6, kBlue}, {34, 19, kBlue}, {4, 6, kWhite}, {35, 19, kWhite}, {6, 20, kWhite}}},
  };
  for (const DrawingCase& c : cases) {
    WmfBuilder b = RedOnBlue();
    c.records(b);
    auto bm = Render(b, c.frame, c.width, c.height);
    for (const Probe& p : c.probes) EXPECT_EQ(At(*bm, p.x, p.y), p.colour) << c.what << " at " << p.x << "," << p.y;
  }
}

TEST(MetafilePlayer, BitmapsOfEveryFormAndDepthAreDrawn) {
  const Colour kPink = 0xFF8080;
  WmfBuilder b;
  // SETDIBTODEV carrying only rows 1 and 2 (from the bottom) of a 2 x 4 bitmap at (0, 0).
  std::vector<uint16_t> band = PackedWords(2, 2, {kRed, kRed, kBlue, kBlue});
  band[4] = 4;  // the header's height is the whole bitmap's
  std::vector<uint16_t> scans = {0, 2, 1, 0, 0, 4, 2, 0, 0};
  scans.insert(scans.end(), band.begin(), band.end());
  b.addWords(0x0D33, scans);
  // BITBLT of an old-form 24-bit bitmap to (10, 0), one for one.
  std::vector<uint16_t> blt = {0x0020, 0x00CC, 0, 0, 1, 2, 0, 10};
  const std::vector<uint16_t> pair = OldBitmapWords(2, 1, {kGreen, kPink});
  blt.insert(blt.end(), pair.begin(), pair.end());
  b.addWords(0x0922, blt);
  // An old-form 24-bit pattern brush (nine reserved words before its rows) filling (20, 0)-(28, 8).
  b.addWords(0x01F9, OldBitmapWords(2, 2, {kRed, kGreen, kBlue, kPink}, 9)).select(0);
  b.add(0x061D, {0x0021, 0x00F0, 8, 8, 0, 20});
  // A 2 x 2 bitmap (top row red, blue; bottom row green, white) stretched onto (30, 0)
  // size 20 x 20, and the same bitmap one for one at (52, 0) by DIBBITBLT.
  const std::vector<uint32_t> four = {kRed, kBlue, kGreen, kWhite};
  StretchDib(b, 2, 2, four, 30, 0, 20, 20);
  std::vector<uint16_t> d = {0x0020, 0x00CC, 0, 0, 2, 2, 0, 52};
  const std::vector<uint16_t> packed = PackedWords(2, 2, four);
  d.insert(d.end(), packed.begin(), packed.end());
  b.addWords(0x0940, d);
  auto bm = Render(b, {0, 0, 60, 20}, 60, 20);
  const Probe expected[] = {
      {0, 0, kWhite}, {1, 1, kRed}, {0, 2, kBlue}, {1, 3, kWhite},   // rows 3 and 0 are not carried
      {10, 0, kGreen}, {11, 0, kPink}, {12, 0, kWhite},              // the old bitmap in colour
      {20, 0, kRed}, {21, 0, kGreen}, {20, 1, kBlue}, {23, 3, kPink}, // the brush tiles from the origin
      {32, 2, kRed}, {47, 2, kBlue}, {32, 17, kGreen}, {47, 17, kWhite},
      {52, 0, kRed}, {53, 0, kBlue}, {52, 1, kGreen}, {54, 0, kWhite},  // nothing past the 2-pixel bitmap
  };
  for (const Probe& e : expected) EXPECT_EQ(At(*bm, e.x, e.y), e.colour) << e.x << "," << e.y;
}

TEST(MetafilePlayer, OpacityThenColourBitmapsOnOneBoxBlendOverWhatIsBelow) {
  // A red field, then the two-bitmap form of a partly clear picture as an office suite
  // writes it: opacity 255, 0, 128 and 64 (grey levels), then the colours, white where clear.
  WmfBuilder b;
  b.brush(0, kRed).select(0).add(0x061D, {0x0021, 0x00F0, 10, 40, 0, 0});
  StretchDib(b, 4, 1, {0xFFFFFF, 0x000000, 0x808080, 0x404040}, 0, 0, 40, 10, kSrcPaint);
  StretchDib(b, 4, 1, {kBlue, 0xFFFFFF, 0x000000, kGreen}, 0, 0, 40, 10, kSrcAnd);
  auto bm = Render(b, {0, 0, 40, 10}, 40, 10);
  EXPECT_EQ(At(*bm, 5, 5), kBlue);              // opaque: the colour
  EXPECT_EQ(At(*bm, 15, 5), kRed);              // clear: unchanged
  EXPECT_EQ(At(*bm, 25, 5), Colour{0x7F0000});  // half-clear black over red: dark red, not black
  EXPECT_EQ(At(*bm, 35, 5), Colour{0xBF4000});  // a quarter of green over red

  // Boxes that differ, or a merged bitmap on its own, play as the records say.
  WmfBuilder apart;
  apart.brush(0, kRed).select(0).add(0x061D, {0x0021, 0x00F0, 10, 40, 0, 0});
  StretchDib(apart, 1, 1, {0x0000FF}, 0, 0, 20, 10, kSrcPaint);
  StretchDib(apart, 1, 1, {0x00FF00}, 20, 0, 20, 10, kSrcAnd);
  StretchDib(apart, 1, 1, {0x00FF00}, 0, 0, 10, 10, kSrcPaint);
  auto literal = Render(apart, {0, 0, 40, 10}, 40, 10);
  EXPECT_EQ(At(*literal, 15, 5), Colour{0xFF00FF});  // red | blue
  EXPECT_EQ(At(*literal, 25, 5), Colour{0x000000});  // red & green
  EXPECT_EQ(At(*literal, 5, 5), Colour{0xFFFFFF});   // red | blue | green, the last one played at the end
}

TEST(MetafilePlayer, HalftoneStretchInterpolatesAndAveragesWhereThePlainModesPickPixels) {
  // Black and white onto 40 pixels, then black, white, black, white onto 2.
  for (int mode : {3, 4}) {
    WmfBuilder b;
    b.add(0x0107, {mode});
    StretchDib(b, 2, 1, {0x000000, 0xFFFFFF}, 0, 0, 40, 10);
    StretchDib(b, 4, 1, {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF}, 0, 10, 2, 10);
    auto bm = Render(b, {0, 0, 40, 20}, 40, 20);
    const uint32_t middle = At(*bm, 20, 5) & 0xFF, shrunk = At(*bm, 0, 15) & 0xFF;
    if (mode == 4) {
      EXPECT_GT(middle, 0x60u);
      EXPECT_LT(middle, 0xA0u);
      EXPECT_NEAR(shrunk, 0x80, 1);
      EXPECT_LT(At(*bm, 12, 5) & 0xFF, At(*bm, 28, 5) & 0xFF);  // a ramp, not two blocks
    } else {
      EXPECT_TRUE(middle == 0 || middle == 0xFF) << middle;
      EXPECT_TRUE(shrunk == 0 || shrunk == 0xFF) << shrunk;
    }
  }
}

TEST(MetafilePlayer, TextRunsFromItsPointInTheTextColourTurnedByTheFontsEscapement) {
  // "HHHHHH" in a 16-pixel font, top-left aligned, level and at 90, -90 and 180 degrees:
  // the run goes right, up, down or left from its point, with the tops of the letters
  // above, to its left, right or below.
  const struct {
    int escapement, x, y;
    Rect expected;  // where all the ink must be
  } cases[] = {{0, 10, 10, {10, 10, 91, 35}},
               {900, 20, 90, {20, 10, 45, 91}},
               {-900, 80, 5, {53, 5, 81, 85}},
               {1800, 90, 70, {10, 45, 91, 71}}};
  for (const auto& c : cases) {
    WmfBuilder b = RedText(16, c.escapement);
    b.add(0x0521, {6, 'H' | 'H' << 8, 'H' | 'H' << 8, 'H' | 'H' << 8, c.y, c.x});
    auto bm = Render(b, {0, 0, 100, 100}, 100, 100);
    const Rect ink = InkBox(*bm);
    EXPECT_TRUE(ink.left >= c.expected.left && ink.top >= c.expected.top && ink.right <= c.expected.right &&
                ink.bottom <= c.expected.bottom)
        << c.escapement;
    // The run is long in its own direction only.
    const bool level = c.escapement % 1800 == 0;
    const int along = level ? ink.right - ink.left : ink.bottom - ink.top;
    EXPECT_GT(along, 3 * (level ? ink.bottom - ink.top : ink.right - ink.left)) << c.escapement;
    int red = 0;
    for (int y = ink.top; y < ink.bottom; ++y)
      for (int x = ink.left; x < ink.right; ++x) red += At(*bm, x, y) == kRed;
    EXPECT_GT(red, 20) << c.escapement;
  }
}

TEST(MetafilePlayer, SpacingArraysAndJustificationPlaceEveryCharacter) {
  // The right edge of the ink of a 12-pixel font, laid out by the records.
  auto inkRight = [](const std::vector<std::vector<int>>& records, Rect frame, int width) {
    WmfBuilder b = RedText(12 * frame.width() / width);
    for (const auto& r : records) b.addWords(static_cast<uint16_t>(r[0]), std::vector<uint16_t>(r.begin() + 1, r.end()));
    return InkBox(*Render(b, frame, width, 30)).right;
  };
  // EXTTEXTOUT at (0, 0), each I 3 units (1.5 pixels) on from the last: they end near 15
  // pixels, however each step rounds.
  std::vector<int> spaced = {0x0A32, 0, 0, 10, 0};
  for (int i = 0; i < 5; ++i) spaced.push_back('I' | 'I' << 8);
  for (int i = 0; i < 10; ++i) spaced.push_back(3);
  const int right = inkRight({spaced}, {0, 0, 200, 60}, 100);
  EXPECT_GE(right, 14);
  EXPECT_LE(right, 18);
  // Justification spreads 40 units over the one break of "I I".
  const std::vector<int> text = {0x0521, 3, 'I' | ' ' << 8, 'I', 5, 5};
  const int plain = inkRight({text}, {0, 0, 100, 30}, 100);
  EXPECT_EQ(inkRight({{0x020A, 1, 40}, text}, {0, 0, 100, 30}, 100), plain + 40);
}

TEST(MetafilePlayer, SkippedPaletteRecordsLeaveIndicesNamingNothing) {
  WmfBuilder b;
  b.addWords(0x00F7, {0x300, 2, 0x00FF, 0, 0, 0x00FF}).select(0);
  b.addWords(0x02FC, {0, 1, 0x0100, 0}).select(1).add(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0});
  wmf::PlayOptions options;
  options.skipPaletteRecords = true;
  bool whole = false;
  EXPECT_EQ(At(*Render(b, {0, 0, 10, 10}, 10, 10, &whole, options), 5, 5), 0u);  // black
  EXPECT_TRUE(whole);
}

TEST(MetafilePlayer, UnknownRecordsAreSkippedAndADamagedRecordEndsPlayback) {
  WmfBuilder b = RedOnBlue();
  b.add(0x7777, {1, 2, 3});  // unknown
  b.add(0x041B, {10, 10, 0, 0});
  b.addRaw(2, 0x041B, {});  // shorter than its own header
  b.add(0x041B, {20, 20, 10, 10});
  bool whole = true;
  auto bm = Render(b, {0, 0, 20, 20}, 20, 20, &whole);
  EXPECT_FALSE(whole);
  EXPECT_EQ(At(*bm, 5, 5), kBlue);
  EXPECT_EQ(At(*bm, 15, 15), kWhite);
}

TEST(MetafilePlayer, PlaybackLeavesTheContextAsItWas) {
  WmfBuilder b = RedOnBlue();
  b.add(0x001E, {}).add(0x001E, {}).add(0x0416, {5, 5, 0, 0}).add(0x0209, {0x00FF, 0});
  auto bitmap = Bitmap::Create(10, 10, 32);
  DeviceContext dc(bitmap.get());
  const auto bits = b.bits();
  auto m = wmf::Metafile::FromBits(bits.data(), bits.size(), nullptr);
  ASSERT_TRUE(m);
  dc.setTextColour(kGreen);
  EXPECT_TRUE(wmf::Play(*m, dc, {0, 0, 10, 10}, {0, 0, 10, 10}));
  EXPECT_EQ(dc.textColour(), kGreen);
  EXPECT_FALSE(dc.hasClip());
  EXPECT_FALSE(dc.restore());
}
