// Text: fonts, measuring, placement, clipping and glyph rendering per depth.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RasterTestUtil.h"

using namespace platform;
using namespace rastertest;

namespace {

std::shared_ptr<Font> MakeFont(const char* face, int height, int weight = 400, bool italic = false, int width = 0) {
  FontSpec font;
  font.face = face;
  font.height = height;
  font.weight = weight;
  font.italic = italic;
  font.width = width;
  return Font::Create(font);
}

int Advance(Font* f, const std::string& s) {
  int w = 0;
  for (char c : s) w += f ? f->advance(static_cast<unsigned char>(c)) : 0;
  return w;
}

TEST(Fonts, CellHeightWeightWidthAndFacesByName) {
  auto font = MakeFont("MS Sans Serif", 15);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->ascent() + font->descent(), 15);
  // A requested average width narrows the font.
  EXPECT_LT(MakeFont("", 15, 400, false, font->averageCharWidth() / 2)->advance('m'), font->advance('m'));
  // The usual names get faces of their own metrics, narrower than the default face an
  // unknown name falls back to, and bold faces.
  const std::string sample = "Hello, GIF";
  const int fallback = Advance(MakeFont("No Such Face", -40).get(), sample);
  EXPECT_LT(Advance(MakeFont("Arial", -40).get(), sample) * 20, fallback * 19);
  EXPECT_LT(Advance(MakeFont("Times New Roman", -40).get(), sample) * 20, fallback * 19);
  EXPECT_GT(Advance(MakeFont("Arial", -40, 700).get(), sample), Advance(MakeFont("Arial", -40).get(), sample));
}

TEST(Text, SpacingIsAddedAfterEveryCharacter) {
  auto b = Make(10, 10);
  DeviceContext dc(b.get());
  dc.setFont(MakeFont("MS Sans Serif", 15));
  const char* s = "Maximum Error 99.99%";
  const int n = static_cast<int>(std::strlen(s)), plain = dc.textExtent(s, n).width;
  dc.setCharacterExtra(2);
  EXPECT_EQ(dc.textExtent(s, n).width, plain + 2 * n);
}

TEST(Text, DrawingStaysInsideMeasuredBoxAndClip) {
  const char* samples[] = {"Hello, World", "jgpqy|[]", "Wfj_", "Maximum Error 99.99%", "\xc3\x89t\xc3\xa9"};
  for (int depth : {32, 1})
    for (const char* s : samples)
      for (int h = 0; h < 3; ++h)
        for (int v = 0; v < 3; ++v)
          for (bool italic : {false, true}) {
            auto b = Make(200, 60, depth);
            DeviceContext dc(b.get());
            dc.setFont(MakeFont("", 15, 400, italic));
            dc.setBackgroundMode(BackgroundMode::Transparent);
            dc.setTextAlign(static_cast<TextHAlign>(h), static_cast<TextVAlign>(v));
            const Rect clip{0, 0, 130, 60};
            dc.setClipRect(clip);
            const int len = static_cast<int>(std::strlen(s));
            dc.textOut(100, 30, s, len);
            const TextExtent e = dc.textExtent(s, len);
            const int left = 100 - (h == 1 ? e.width / 2 : h == 2 ? e.width : 0);
            const int baseline = 30 + (v == 0 ? e.ascent : v == 2 ? -e.descent : 0);
            const Rect box{left, baseline - e.ascent, left + e.width, baseline + e.descent};
            const uint32_t blank = depth == 32 ? 0xFFFFFF : 1;
            int ink = 0;
            for (int y = 0; y < 60; ++y)
              for (int x = 0; x < 200; ++x) {
                if (Value(*b, x, y) == blank) continue;
                ++ink;
                ASSERT_TRUE(box.contains(x, y) && clip.contains(x, y)) << s << " at " << x << "," << y;
              }
            EXPECT_GT(ink, 10) << s;
          }
}

TEST(Text, AntiAliasedOnColourTargetsHardEdgedOnOthersAndOpaqueBoxesFilled) {
  auto colour = Make(120, 30), grey = Make(120, 30, 8), opaque = Make(120, 30);
  for (Bitmap* b : {colour.get(), grey.get(), opaque.get()}) {
    DeviceContext dc(b);
    dc.setFont(MakeFont("MS Sans Serif", 15));
    dc.setBackgroundColour(0x0000FF);
    dc.setBackgroundMode(b == opaque.get() ? BackgroundMode::Opaque : BackgroundMode::Transparent);
    dc.textOut(2, 2, "Quality 42%", 11);
  }
  int partial = 0, blue = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      const uint32_t c = Value(*colour, x, y), g = Value(*grey, x, y);
      partial += c != 0 && c != 0xFFFFFF;
      ASSERT_TRUE(g == 0 || g == 255) << g;
      blue += Value(*opaque, x, y) == 0x0000FF;
    }
  EXPECT_GT(partial, 20);
  // The whole measured box changes in opaque mode, mostly to the background colour.
  DeviceContext measure(opaque.get());
  measure.setFont(MakeFont("MS Sans Serif", 15));
  const TextExtent e = measure.textExtent("Quality 42%", 11);
  EXPECT_EQ(CountNot(*opaque, 0xFFFFFF), e.width * (e.ascent + e.descent));
  EXPECT_GT(blue, e.width * (e.ascent + e.descent) / 2);
}

TEST(Text, DecodingNeverReadsPastTheEnd) {
  // Invalid or cut-off sequences are taken byte by byte.
  const char bytes[] = {'\xe2', '\x82', 'A', '\xc3', '\xa9', '\xf0', '\x9f'};
  const char* p = bytes;
  std::vector<uint32_t> out;
  while (p < bytes + sizeof bytes) out.push_back(NextCodePoint(p, bytes + sizeof bytes));
  EXPECT_EQ(out, (std::vector<uint32_t>{0xE2, 0x82, 'A', 0xE9, 0xF0, 0x9F}));
  const char overlong[] = {'\xc0', '\xaf'};
  p = overlong;
  EXPECT_EQ(NextCodePoint(p, overlong + 2), 0xC0u);
}

}  // namespace
