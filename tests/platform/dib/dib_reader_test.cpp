#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "bmp_builder.h"
#include "platform/dib/BmpWriter.h"
#include "platform/dib/DibReader.h"

using platform::Bitmap;
namespace dib = platform::dib;

namespace {

std::unique_ptr<Bitmap> Decode(const std::vector<uint8_t>& file, std::string* reason = nullptr) {
  std::string local;
  return dib::DecodeFile(file.data(), file.size(), reason ? reason : &local);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Checks every decoded pixel against `expected(x, y)`, top row first.
void ExpectPixels(const Bitmap& b, int w, int h, const std::function<uint32_t(int, int)>& expected,
                  const std::string& what) {
  ASSERT_EQ(b.width(), w) << what;
  ASSERT_EQ(b.height(), h) << what;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(b.row32(y)[x], expected(x, y)) << what << " at " << x << "," << y;
}

// Decodes `s` and compares it with its own pixels mapped by `colour`.
void ExpectDecodes(const BmpSpec& s, const std::function<uint32_t(uint32_t)>& colour, const std::string& what) {
  auto b = Decode(BuildBmp(s));
  ASSERT_TRUE(b) << what;
  ExpectPixels(*b, s.width, s.height, [&](int x, int y) { return colour(s.pixels[y * s.width + x]); }, what);
}

// 5 and 6-bit channels widen by repeating their top bits; 10 bits keep their top 8.
uint32_t Scale(uint32_t v, uint32_t max) {
  if (max == 31) return (v << 3) | (v >> 2);
  if (max == 63) return (v << 2) | (v >> 4);
  return v >> 2;
}

// A core (12-byte) header file of one 24-bit column `height` rows high; rows 1, 2 hold 1, 2.
std::vector<uint8_t> CoreHeaderFile(uint16_t height) {
  std::vector<uint8_t> c(14 + 12 + size_t{4} * std::max<uint16_t>(height, 2), 0);
  c[0] = 'B';
  c[1] = 'M';
  Put32(c, 10, 14 + 12);
  Put32(c, 14, 12);
  Put16(c, 18, 1);
  Put16(c, 20, height);
  Put16(c, 22, 1);
  Put16(c, 24, 24);
  c[26] = 1;
  c[30] = 2;
  return c;
}

}  // namespace

TEST(DibReader, EveryDepthAndCompressionDecodesPixelForPixelWithEveryRowPadding) {
  const uint32_t k565[3] = {0xF800, 0x07E0, 0x001F}, k10[3] = {0x3FF00000, 0x0000FF00, 0x000000FF};
  const struct {
    int bpp;
    uint32_t compression;
    const uint32_t* masks;
    uint32_t (*direct)(uint32_t p);  // the colour of a pixel value; null: through the colour table
  } kinds[] = {
      {1, 0, nullptr, nullptr},
      {4, 0, nullptr, nullptr},
      {8, 0, nullptr, nullptr},
      {8, 1, nullptr, nullptr},
      {4, 2, nullptr, nullptr},
      {24, 0, nullptr, [](uint32_t p) { return p; }},
      {32, 0, nullptr, [](uint32_t p) { return p & 0xFFFFFF; }},
      {16, 0, nullptr,  // no masks: 5-5-5
       [](uint32_t p) { return Scale((p >> 10) & 31, 31) << 16 | Scale((p >> 5) & 31, 31) << 8 | Scale(p & 31, 31); }},
      {16, 3, k565,
       [](uint32_t p) { return Scale(p >> 11, 31) << 16 | Scale((p >> 5) & 63, 63) << 8 | Scale(p & 31, 31); }},
      {32, 3, k10,
       [](uint32_t p) { return Scale((p >> 20) & 1023, 1023) << 16 | ((p >> 8) & 255) << 8 | (p & 255); }},
  };
  std::mt19937 rng(7);
  for (const auto& k : kinds) {
    for (bool topDown : {false, true}) {
      if (topDown && k.compression != 0 && k.compression != 3) continue;  // run-length rows are bottom-up
      for (int width = 1; width <= 40; ++width) {
        // Run-length bitmaps also get rows longer than a run holds.
        const BmpSpec s = RandomBmp(rng, k.bpp, k.compression, topDown, k.masks, k.direct ? width : 9 * width - 8);
        // An index beyond a short colour table reads as black.
        ExpectDecodes(
            s, [&](uint32_t v) { return k.direct ? k.direct(v) : v < s.palette.size() ? s.palette[v] : 0; },
            std::to_string(k.bpp) + " bits, compression " + std::to_string(k.compression) + ", width " +
                std::to_string(s.width));
      }
    }
  }
}

TEST(DibReader, RunLengthAbsoluteRunsDeltasAndSkippedPixels) {
  std::mt19937 rng(3);
  // Runs the builder never writes. 6 x 3, RLE4:
  // bottom row "1 2 3" then end of line; a delta to (2, 2); a run of two 5s; end of bitmap.
  BmpSpec s;
  s.width = 6;
  s.height = 3;
  s.bitCount = 4;
  s.compression = 2;
  for (int i = 0; i < 16; ++i) s.palette.push_back(rng() & 0xFFFFFF);
  s.pixels.assign(18, 0);
  std::vector<uint8_t> file = BuildBmp(s);
  file.resize(file[10] | file[11] << 8);
  for (uint8_t b : {0, 3, 0x12, 0x30, 0, 0, 0, 2, 2, 1, 2, 0x55, 0, 1}) file.push_back(b);
  auto b = Decode(file);
  ASSERT_TRUE(b);
  const uint32_t top[6] = {0, 0, 5, 5, 0, 0}, bottom[6] = {1, 2, 3, 0, 0, 0};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(b->row32(0)[x], s.palette[top[x]]) << x;
    EXPECT_EQ(b->row32(1)[x], s.palette[0]) << x;
    EXPECT_EQ(b->row32(2)[x], s.palette[bottom[x]]) << x;
  }
}

TEST(DibReader, CoreHeaderHeightsAreUnsignedAndItsRowsBottomUp) {
  // A height with the top bit set is a tall picture (refused as too tall), never a
  // flipped short one.
  std::string reason;
  auto b = Decode(CoreHeaderFile(2), &reason);
  ASSERT_TRUE(b) << reason;
  EXPECT_EQ(b->row32(1)[0], 1u);
  EXPECT_EQ(b->row32(0)[0], 2u);
  for (uint16_t height : {0x8001, 0xFFFF}) {
    EXPECT_FALSE(Decode(CoreHeaderFile(height), &reason)) << height;
    EXPECT_NE(reason.find("32767"), std::string::npos) << reason;
  }
}

TEST(DibReader, DamagedFilesAreRefusedWithAReason) {
  BmpSpec good;
  good.width = 5;
  good.height = 4;
  good.bitCount = 8;
  good.palette = {0, 0xFFFFFF};
  good.pixels.assign(20, 1);
  BmpSpec rle = good;
  rle.compression = 1;
  BmpSpec direct;
  direct.width = 2;
  direct.pixels = {1, 2};
  direct.palette.assign(300, 0);
  using File = std::vector<uint8_t>;
  const struct {
    const char* what;
    const BmpSpec& layout;
    std::function<void(File&)> damage;
  } cases[] = {
      {"20 bytes starting BM", good, [](File& f) { f.resize(20); }},
      {"no BM mark", good, [](File& f) { f[0] = 'X'; }},
      // Bit fields with the masks missing: the bits start right after the header.
      {"masks overlapping the bits", good, [](File& f) { Put16(f, 28, 16), Put32(f, 30, 3), Put32(f, 10, 54); }},
      {"file ends inside the colour table", good, [](File& f) { f.resize(14 + 40 + 6); }},
      {"unknown header size", good, [](File& f) { Put32(f, 14, 64); }},
      {"width 0", good, [](File& f) { Put32(f, 18, 0); }},
      {"height 0", good, [](File& f) { Put32(f, 22, 0); }},
      {"width above 32767", good, [](File& f) { Put32(f, 18, 40000); }},
      {"top-down height above 32767", good, [](File& f) { Put32(f, 22, static_cast<uint32_t>(-40000)); }},
      {"most negative height", good, [](File& f) { Put32(f, 22, 0x80000000u); }},
      {"more colours than 8 bits allow", good, [](File& f) { Put32(f, 46, 257); }},
      {"bit count 7", good, [](File& f) { Put16(f, 28, 7); }},
      {"unknown compression", good, [](File& f) { Put32(f, 30, 4); }},
      {"RLE4 on 8 bits", good, [](File& f) { Put32(f, 30, 2); }},
      {"one byte of pixels missing", good, [](File& f) { f.pop_back(); }},
      {"bits offset at the end of the file", good, [](File& f) { Put32(f, 10, static_cast<uint32_t>(f.size())); }},
      {"bits offset inside the header", good, [](File& f) { Put32(f, 10, 20); }},
      // An image-size field that lies is not believed.
      {"height larger than the bits", good, [](File& f) { Put32(f, 22, 1000), Put32(f, 34, 20); }},
      {"compressed bits cut short", rle, [](File& f) { f.resize(f.size() - 6); }},
      {"top-down RLE", rle, [](File& f) { Put32(f, 22, static_cast<uint32_t>(-4)); }},
      {"24-bit file with 300 colours", direct, [](File&) {}},
  };
  for (const auto& c : cases) {
    File f = BuildBmp(c.layout);
    if (&c.layout != &direct) {
      ASSERT_TRUE(Decode(f)) << c.what;
    }
    c.damage(f);
    std::string reason;
    EXPECT_FALSE(Decode(f, &reason)) << c.what;
    EXPECT_FALSE(reason.empty()) << c.what;
  }
}

TEST(DibReader, RandomDamageNeverReadsOutsideTheBufferAndAlwaysExplainsRefusals) {
  std::mt19937 rng(99);
  std::vector<std::vector<uint8_t>> seeds;
  for (int bpp : {1, 4, 8, 16, 24, 32}) seeds.push_back(BuildBmp(RandomBmp(rng, bpp, 0, false, nullptr, 7)));
  seeds.push_back(BuildBmp(RandomBmp(rng, 8, 1, false, nullptr, 7)));
  seeds.push_back(BuildBmp(RandomBmp(rng, 4, 2, false, nullptr, 7)));
  seeds.push_back(CoreHeaderFile(2));
  dib::DecodeLimits limits;
  limits.maxPixels = 1 << 20;
  for (int round = 0; round < 4000; ++round) {
    std::vector<uint8_t> f = seeds[rng() % seeds.size()];
    for (int k = 1 + rng() % 4; k > 0; --k) f[rng() % f.size()] = static_cast<uint8_t>(rng());
    if (rng() % 3 == 0) f.resize(rng() % f.size());
    // An exact-size copy lets the address checker see any read past the end.
    std::vector<uint8_t> exact(f);
    std::string reason;
    auto b = dib::DecodeFile(exact.data(), exact.size(), &reason, limits);
    if (b) {
      EXPECT_GT(b->width(), 0);
      EXPECT_GT(b->height(), 0);
    } else {
      EXPECT_FALSE(reason.empty());
    }
  }
}

TEST(BmpWriter, WrittenFilesDecodeToTheSamePixels) {
  std::mt19937 rng(5);
  for (int bits : {24, 32}) {
    for (int width : {1, 2, 3, 5}) {  // every row padding
      auto src = Bitmap::Create(width, 3, 32);
      for (int i = 0; i < width * 3; ++i) src->row32(i / width)[i % width] = rng() & 0xFFFFFF;
      auto back = Decode(dib::EncodeBmp(*src, bits));
      ASSERT_TRUE(back);
      ExpectPixels(*back, width, 3, [&](int x, int y) { return src->row32(y)[x]; }, "written");
    }
  }
  auto mono = Bitmap::Create(9, 2, 1);
  mono->row(1)[0] = 0x7F;  // leftmost pixel of the bottom row black, rest white
  auto back = Decode(dib::EncodeBmp(*mono, 24));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->row32(1)[0], 0u);
  EXPECT_EQ(back->row32(1)[1], 0xFFFFFFu);
  EXPECT_TRUE(dib::EncodeBmp(*mono, 16).empty());
}

TEST(DibReader, DecodingInBandsOfRowsEqualsDecodingWhole) {
  std::mt19937 rng(8);
  for (int bpp : {4, 16, 24}) {
    for (bool topDown : {false, true}) {
      BmpSpec s = RandomBmp(rng, bpp, 0, topDown, nullptr, 11);
      s.height = 10;
      s.pixels.resize(110, 1);
      const std::vector<uint8_t> file = BuildBmp(s);
      auto whole = Decode(file);
      ASSERT_TRUE(whole);
      dib::DibInfo info;
      std::string reason;
      ASSERT_TRUE(dib::ParseFileHeaders(file.data(), file.size(), file.size(), &info, &reason));
      auto banded = Bitmap::Create(11, 10, 32);
      for (int row = 0; row < 10; row += 3) {
        const int rows = std::min(3, 10 - row);
        ASSERT_TRUE(dib::DecodeRows(info, file.data() + info.bitsOffset + info.stride * row,
                                    info.stride * rows, row, rows, banded.get(), &reason));
      }
      ExpectPixels(*banded, 11, 10, [&](int x, int y) { return whole->row32(y)[x]; }, "bands");
      EXPECT_FALSE(dib::DecodeRows(info, file.data() + info.bitsOffset, info.stride, 9, 2, banded.get(), &reason));
      EXPECT_FALSE(dib::DecodeRows(info, file.data() + info.bitsOffset, info.stride - 1, 0, 1, banded.get(), &reason));
    }
  }
}

// Files written by another program, decoded here and by that program: every pixel agrees.
TEST(DibReader, FilesFromAnotherWriterDecodeAsItDecodesThem) {
  if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
  char pattern[] = "/tmp/tintwell-dib-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  ASSERT_EQ(std::system(("convert -size 37x23 xc: +noise Random " + dir + "/in.ppm").c_str()), 0);
  const char* variants[] = {
      "-colors 16 -type Palette BMP2:",                 // 12-byte header
      "-colors 16 -type Palette BMP3:",                 // 4 bits
      "-colors 200 -type Palette -compress RLE BMP3:",  // run-length 8 bits
      "-type Bilevel BMP3:",                            // 1 bit
      "BMP3:",                                          // 24 bits
      "BMP:",                                           // 124-byte header
      "-define bmp:subtype=RGB565 BMP:",                // 16 bits with masks
      "-define bmp:subtype=RGB555 BMP:",
      "-define bmp:subtype=ARGB8888 BMP:",  // 32 bits with masks
  };
  for (const char* v : variants) {
    const std::string bmp = dir + "/v.bmp", rgb = dir + "/v.rgb";
    const char* space = std::strrchr(v, ' ');
    const std::string options(v, space ? space - v : 0), format = space ? space + 1 : v;
    ASSERT_EQ(std::system(("convert " + dir + "/in.ppm " + options + " " + format + bmp).c_str()), 0) << v;
    ASSERT_EQ(std::system(("convert " + bmp + " -depth 8 rgb:" + rgb).c_str()), 0) << v;
    const std::vector<uint8_t> file = ReadAll(bmp), pixels = ReadAll(rgb);
    std::string reason;
    auto b = dib::DecodeFile(file.data(), file.size(), &reason);
    ASSERT_TRUE(b) << v << ": " << reason;
    ASSERT_EQ(pixels.size(), size_t{37 * 23 * 3});
    ExpectPixels(
        *b, 37, 23,
        [&](int x, int y) {
          const uint8_t* p = &pixels[3 * (y * 37 + x)];
          return static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
        },
        v);
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}
