// Text: measuring, placement, clipping and glyph rendering per depth.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "RasterTestUtil.h"

using namespace platform;
using namespace rastertest;

namespace {

std::shared_ptr<Font> UiFont(int weight = 400) {
  FontSpec fontSpec;
  fontSpec.face = "MS Sans Serif";
  fontSpec.height = 15;
  fontSpec.weight = weight;
  return Font::Create(fontSpec);
}

TEST(Fonts, CellHeightAndFacesAndGlyphCache) {
  auto font = UiFont();
  ASSERT_TRUE(font);
  EXPECT_EQ(font->ascent() + font->descent(), 15);
  EXPECT_GT(font->ascent(), font->descent());
  auto bold = UiFont(700);
  ASSERT_TRUE(bold);
  const std::string sample = "Number of Colours";
  int regular = 0, heavy = 0;
  for (char c : sample) regular += font->advance(static_cast<unsigned char>(c)), heavy += bold->advance(static_cast<unsigned char>(c));
  EXPECT_GT(heavy, regular);
  // A rendered glyph is kept: asking again answers the same pixels.
  const Glyph& a = font->glyph('A', true);
  EXPECT_EQ(&a, &font->glyph('A', true));
  EXPECT_GT(a.width, 0);
  // A requested average width narrows the font.
  FontSpec narrow;
  narrow.height = 15;
  narrow.width = font->averageCharWidth() / 2;
  auto condensed = Font::Create(narrow);
  ASSERT_TRUE(condensed);
  EXPECT_LT(condensed->advance('m'), font->advance('m'));

  // Faces by name: the usual names get faces of their own metrics (narrower than the
  // default face an unknown name falls back to), and bold faces.
  auto width = [](const char* face, int weight, bool italic) {
    FontSpec s;
    s.face = face;
    s.height = -40;
    s.weight = weight;
    s.italic = italic;
    auto f = Font::Create(s);
    int w = 0;
    for (char c : std::string("Hello, GIF")) w += f ? f->advance(static_cast<unsigned char>(c)) : 0;
    return w;
  };
  const int fallback = width("No Such Face", 400, false);
  EXPECT_LT(width("Arial", 400, false) * 20, fallback * 19);
  EXPECT_LT(width("Times New Roman", 400, false) * 20, fallback * 19);
  EXPECT_GT(width("Arial", 700, false), width("Arial", 400, false));
}

TEST(Text, WidthIsTheSumOfAdvancesPlusSpacing) {
  auto b = Make(10, 10);
  DeviceContext dc(b.get());
  dc.setFont(UiFont());
  std::mt19937 rng(12);
  for (int round = 0; round < 100; ++round) {
    std::string s;
    const int n = static_cast<int>(rng() % 30);
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(32 + rng() % 95));
    const int extra = static_cast<int>(rng() % 3);
    dc.setCharacterExtra(extra);
    int sum = 0;
    for (char c : s) sum += dc.font()->advance(static_cast<unsigned char>(c)) + extra;
    EXPECT_EQ(dc.textExtent(s.data(), static_cast<int>(s.size())).width, sum) << s;
    // Measuring in two pieces gives the same total.
    const int cut = n ? static_cast<int>(rng() % n) : 0;
    EXPECT_EQ(dc.textExtent(s.data(), cut).width + dc.textExtent(s.data() + cut, n - cut).width, sum);
  }
}

TEST(Text, DrawingStaysInsideMeasuredBoxAndClip) {
  const char* samples[] = {"Hello, World", "jgpqy|[]", "Wfj_", "Maximum Error 99.99%", "\xc3\x89t\xc3\xa9"};
  for (int depth : {32, 1}) {
    for (const char* s : samples) {
      for (int h = 0; h < 3; ++h) {
        for (int v = 0; v < 3; ++v) {
          for (bool italic : {false, true}) {
            auto b = Make(200, 60, depth);
            DeviceContext dc(b.get());
            FontSpec fontSpec;
            fontSpec.height = 15;
            fontSpec.italic = italic;
            dc.setFont(Font::Create(fontSpec));
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
      }
    }
  }
}

TEST(Text, AntiAliasedOnColourTargetsAndHardEdgedOnOthers) {
  auto colour = Make(120, 30);
  auto grey = Make(120, 30, 8);
  for (Bitmap* b : {colour.get(), grey.get()}) {
    DeviceContext dc(b);
    dc.setFont(UiFont());
    dc.setBackgroundMode(BackgroundMode::Transparent);
    dc.textOut(2, 2, "Quality 42%", 11);
  }
  int partial = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      const uint32_t c = Value(*colour, x, y);
      partial += c != 0 && c != 0xFFFFFF;
      const uint32_t g = Value(*grey, x, y);
      ASSERT_TRUE(g == 0 || g == 255) << g;
    }
  EXPECT_GT(partial, 20);
}

TEST(Text, OpaqueModeFillsTheBoxWithTheBackgroundColour) {
  auto b = Make(100, 30);
  DeviceContext dc(b.get());
  dc.setFont(UiFont());
  dc.setBackgroundColour(0x0000FF);
  dc.setTextColour(0xFFFF00);
  dc.textOut(5, 5, "Free", 4);
  const TextExtent e = dc.textExtent("Free", 4);
  int blue = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) blue += Value(*b, x, y) == 0x0000FF;
  EXPECT_GT(blue, e.width * (e.ascent + e.descent) / 2);
  EXPECT_EQ(CountNot(*b, 0xFFFFFF), e.width * (e.ascent + e.descent));
}

TEST(Text, DecodingNeverReadsPastTheEnd) {
  // Invalid or cut-off sequences are taken byte by byte.
  const char bytes[] = {'\xe2', '\x82', 'A', '\xc3', '\xa9', '\xf0', '\x9f'};
  const char* p = bytes;
  const char* end = bytes + sizeof bytes;
  std::vector<uint32_t> out;
  while (p < end) out.push_back(NextCodePoint(p, end));
  EXPECT_EQ(out, (std::vector<uint32_t>{0xE2, 0x82, 'A', 0xE9, 0xF0, 0x9F}));
  const char overlong[] = {'\xc0', '\xaf'};
  p = overlong;
  EXPECT_EQ(NextCodePoint(p, overlong + 2), 0xC0u);
}

}  // namespace
