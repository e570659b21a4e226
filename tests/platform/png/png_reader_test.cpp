#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "platform/png/PngReader.h"
#include "png_builder.h"

namespace png = platform::png;

namespace {

// One test picture: the file and, for every pixel, the 8-bit colour and alpha it holds.
struct Expected {
  std::vector<uint32_t> colour;
  std::vector<uint8_t> alpha;
};

uint8_t To8(uint16_t v, int depth) {
  return static_cast<uint8_t>(depth == 16 ? (v * 255u + 32767u) / 65535u : v * 255u / ((1u << depth) - 1));
}

PngSpec RandomPng(std::mt19937& rng, int colourType, int depth, Expected* e) {
  PngSpec s;
  s.width = 1 + rng() % 19;
  s.height = 1 + rng() % 7;
  s.colourType = colourType;
  s.bitDepth = depth;
  s.interlaced = rng() % 2;
  const int channels = PngChannels(colourType);
  const uint32_t top = (1u << depth) - 1;
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    const size_t entries = 1 + rng() % (top + 1);
    for (size_t i = 0; i < entries; ++i)
      s.palette.push_back(png_color{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())});
    if (rng() % 2)
      for (size_t i = 0; i < entries; ++i) s.paletteAlpha.push_back(i % 3 == 0 ? 0 : i % 3 == 1 ? 255 : rng() % 256);
  }
  const bool keyed = (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB) && rng() % 2;
  // Few distinct values, so the key (and every palette entry) really occurs.
  auto sample = [&] { return static_cast<uint16_t>(rng() % 2 ? rng() % 3 * (top / 2) : rng() & top); };
  const size_t pixels = static_cast<size_t>(s.width) * s.height;
  for (size_t i = 0; i < pixels; ++i) {
    uint16_t v[4];
    for (int c = 0; c < channels; ++c) {
      v[c] = colourType == PNG_COLOR_TYPE_PALETTE ? static_cast<uint16_t>(rng() % s.palette.size()) : sample();
      s.samples.push_back(v[c]);
    }
    uint32_t colour;
    uint8_t alpha = 255;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
      const png_color p = s.palette[v[0]];
      colour = uint32_t(p.red) << 16 | p.green << 8 | p.blue;
      if (v[0] < s.paletteAlpha.size()) alpha = s.paletteAlpha[v[0]];
    } else if (channels <= 2) {
      const uint8_t g = To8(v[0], depth);
      colour = uint32_t(g) << 16 | g << 8 | g;
      if (channels == 2) alpha = To8(v[1], depth);
      if (keyed && v[0] == top / 2) alpha = 0;
    } else {
      colour = uint32_t(To8(v[0], depth)) << 16 | To8(v[1], depth) << 8 | To8(v[2], depth);
      if (channels == 4) alpha = To8(v[3], depth);
      if (keyed && v[0] == top / 2 && v[1] == top / 2 && v[2] == top / 2) alpha = 0;
    }
    e->colour.push_back(colour);
    e->alpha.push_back(alpha);
  }
  if (keyed) {
    s.transparentKey = true;
    s.key.gray = s.key.red = s.key.green = s.key.blue = static_cast<uint16_t>(top / 2);
  }
  return s;
}

int ChannelGap(uint32_t a, uint32_t b) {
  int gap = 0;
  for (int shift : {0, 8, 16}) gap = std::max(gap, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
  return gap;
}

uint32_t Over(uint32_t c, uint32_t bg, uint32_t a) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16})
    out |= ((c >> shift & 0xFF) * a + (bg >> shift & 0xFF) * (255 - a) + 127) / 255 << shift;
  return out;
}

}  // namespace

TEST(PngReader, EveryColourTypeAndDepthGivesTheFilesColoursWithAlphaSettled) {
  const struct {
    int type;
    std::vector<int> depths;
  } kinds[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, {PNG_COLOR_TYPE_RGB, {8, 16}},
               {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}}, {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
               {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}};
  std::mt19937 rng(11);
  for (const auto& kind : kinds) {
    for (int depth : kind.depths) {
      for (int round = 0; round < 12; ++round) {
        Expected e;
        const PngSpec made = RandomPng(rng, kind.type, depth, &e);
        const std::vector<uint8_t> file = BuildPng(made);
        const std::string what = "type " + std::to_string(kind.type) + " depth " + std::to_string(depth) +
                                 " round " + std::to_string(round);
        png::Alpha alpha;
        alpha.background = rng() & 0xFFFFFF;
        std::string reason;
        auto bitmap = png::DecodeFile(file.data(), file.size(), &alpha, &reason);
        ASSERT_TRUE(bitmap) << what << ": " << reason;
        ASSERT_EQ(bitmap->width(), made.width);
        bool anyClear = false;
        for (int i = 0; i < made.width * made.height; ++i) {
          const uint32_t got = bitmap->row32(i / made.width)[i % made.width];
          ASSERT_EQ(got >> 24, 0u) << what;
          if (e.alpha[i] == 0) {
            anyClear = true;
            ASSERT_EQ(got, alpha.transparentColour) << what << " pixel " << i;
            continue;
          }
          ASSERT_LE(ChannelGap(got, Over(e.colour[i], alpha.background, e.alpha[i])), depth == 16 ? 2 : 1)
              << what << " pixel " << i;
          ASSERT_TRUE(!alpha.hasTransparent || got != alpha.transparentColour) << what << " pixel " << i;
        }
        ASSERT_EQ(alpha.hasTransparent, anyClear) << what;
      }
    }
  }
}

TEST(PngReader, CutShortAndOversizedFilesAreRefusedWithAReason) {
  std::mt19937 rng(5);
  Expected e;
  const std::vector<uint8_t> good = BuildPng(RandomPng(rng, PNG_COLOR_TYPE_RGB, 8, &e));
  png::Alpha alpha;
  std::string reason;
  for (size_t cut = 0; cut < good.size() - 12; cut += 3) {  // the last 12 bytes are the end chunk
    reason.clear();
    EXPECT_FALSE(png::DecodeFile(good.data(), cut, &alpha, &reason)) << cut;
    EXPECT_FALSE(reason.empty()) << cut;
  }
  // 30000 x 30000 passes the side check but not the pixel limit; 40000 fails the side check.
  for (uint32_t side : {30000u, 40000u}) {
    PngSpec s;
    s.samples = {1, 2, 3};
    std::vector<uint8_t> big = BuildPng(s);
    for (int i = 0; i < 8; ++i) big[16 + i] = static_cast<uint8_t>(side >> (24 - 8 * (i % 4)));
    const uint32_t crc = static_cast<uint32_t>(crc32(0, big.data() + 12, 17));
    for (int i = 0; i < 4; ++i) big[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    png::DecodeLimits limits;
    limits.maxPixels = uint64_t{1} << 28;
    reason.clear();
    EXPECT_FALSE(png::DecodeFile(big.data(), big.size(), &alpha, &reason, limits));
    EXPECT_NE(reason.find(side == 30000 ? "more pixels" : "32767"), std::string::npos) << reason;
  }
}
