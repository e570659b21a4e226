#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "bmp_builder.h"
#include "platform/dib/BmpWriter.h"
#include "platform/dib/DibReader.h"

using platform::Bitmap;
namespace dib = platform::dib;

namespace {

std::vector<uint32_t> RandomPalette(std::mt19937& rng, size_t n) {
  std::vector<uint32_t> p(n);
  for (auto& c : p) c = rng() & 0xFFFFFF;
  return p;
}

std::unique_ptr<Bitmap> Decode(const std::vector<uint8_t>& file, std::string* reason = nullptr) {
  std::string local;
  return dib::DecodeFile(file.data(), file.size(), reason ? reason : &local);
}

// Checks every decoded pixel against `expected(x, y)`, top row first.
template <typename F>
void ExpectPixels(const Bitmap& b, int w, int h, F expected, const std::string& what) {
  ASSERT_EQ(b.width(), w) << what;
  ASSERT_EQ(b.height(), h) << what;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(b.row32(y)[x], expected(x, y)) << what << " at " << x << "," << y;
}

// 5 and 6-bit channels widen by repeating their top bits; 10 bits keep their top 8.
uint32_t Scale(uint32_t v, uint32_t max) {
  if (max == 31) return (v << 3) | (v >> 2);
  if (max == 63) return (v << 2) | (v >> 4);
  return v >> 2;
}

}  // namespace

TEST(DibReader, IndexedDepthsDecodePixelForPixelWithEveryRowPaddingBothRowOrders) {
  std::mt19937 rng(7);
  for (int bpp : {1, 4, 8}) {
    for (int width = 1; width <= 33; ++width) {
      for (bool topDown : {false, true}) {
        for (bool shortTable : {false, true}) {
          BmpSpec s;
          s.width = width;
          s.height = 1 + rng() % 9;
          s.bitCount = bpp;
          s.topDown = topDown;
          const size_t full = size_t{1} << bpp;
          s.palette = RandomPalette(rng, shortTable ? 1 + rng() % full : full);
          s.colourUsedZero = !shortTable;
          s.pixels.resize(static_cast<size_t>(s.width) * s.height);
          for (auto& p : s.pixels) p = rng() % s.palette.size();
          auto b = Decode(BuildBmp(s));
          ASSERT_TRUE(b) << bpp << " bits, width " << width;
          ExpectPixels(
              *b, s.width, s.height,
              [&](int x, int y) { return s.palette[s.pixels[static_cast<size_t>(y) * s.width + x]]; },
              std::to_string(bpp) + " bits width " + std::to_string(width));
        }
      }
    }
  }
}

TEST(DibReader, IndexBeyondAShortColourTableReadsAsBlack) {
  BmpSpec s;
  s.width = 4;
  s.bitCount = 8;
  s.palette = {0x112233, 0x445566};
  s.pixels = {0, 1, 2, 255};
  auto b = Decode(BuildBmp(s));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->row32(0)[0], 0x112233u);
  EXPECT_EQ(b->row32(0)[1], 0x445566u);
  EXPECT_EQ(b->row32(0)[2], 0u);
  EXPECT_EQ(b->row32(0)[3], 0u);
}

TEST(DibReader, DirectDepthsAndBitFieldMasksDecodeEveryChannel) {
  std::mt19937 rng(11);
  for (int width = 1; width <= 9; ++width) {
    for (bool topDown : {false, true}) {
      // 24 and plain 32 bits carry the colour itself.
      for (int bpp : {24, 32}) {
        BmpSpec s;
        s.width = width;
        s.height = 3;
        s.bitCount = bpp;
        s.topDown = topDown;
        for (int i = 0; i < width * 3; ++i) s.pixels.push_back(rng() & (bpp == 32 ? 0xFFFFFFFF : 0xFFFFFF));
        auto b = Decode(BuildBmp(s));
        ASSERT_TRUE(b);
        ExpectPixels(*b, width, 3, [&](int x, int y) { return s.pixels[y * width + x] & 0xFFFFFF; },
                     std::to_string(bpp));
      }
      // 16 bits without masks (5-5-5), with 5-6-5 masks, and 32 bits with a 10-bit red.
      const struct {
        int bpp;
        uint32_t masks[3];
        uint32_t (*expected)(uint32_t p);
      } masked[] = {
          {16, {0, 0, 0},
           [](uint32_t p) { return Scale((p >> 10) & 31, 31) << 16 | Scale((p >> 5) & 31, 31) << 8 | Scale(p & 31, 31); }},
          {16, {0xF800, 0x07E0, 0x001F},
           [](uint32_t p) { return Scale(p >> 11, 31) << 16 | Scale((p >> 5) & 63, 63) << 8 | Scale(p & 31, 31); }},
          {32, {0x3FF00000, 0x0000FF00, 0x000000FF},
           [](uint32_t p) { return Scale((p >> 20) & 1023, 1023) << 16 | ((p >> 8) & 255) << 8 | (p & 255); }},
      };
      for (const auto& m : masked) {
        BmpSpec s;
        s.width = width;
        s.height = 2;
        s.bitCount = m.bpp;
        s.topDown = topDown;
        s.compression = m.masks[0] ? 3 : 0;
        std::copy(m.masks, m.masks + 3, s.masks);
        for (int i = 0; i < width * 2; ++i) s.pixels.push_back(m.bpp == 16 ? rng() & 0xFFFF : rng());
        auto b = Decode(BuildBmp(s));
        ASSERT_TRUE(b);
        ExpectPixels(*b, width, 2, [&](int x, int y) { return m.expected(s.pixels[y * width + x]); },
                     std::to_string(m.bpp) + " bits, masks " + std::to_string(m.masks[0]));
      }
    }
  }
}

TEST(DibReader, RunLengthBitmapsDecodePixelForPixel) {
  std::mt19937 rng(3);
  for (uint32_t compression : {1u, 2u}) {
    for (int width = 1; width <= 300; width += 37) {
      BmpSpec s;
      s.width = width;
      s.height = 1 + rng() % 5;
      s.bitCount = compression == 1 ? 8 : 4;
      s.compression = compression;
      s.palette = RandomPalette(rng, compression == 1 ? 256 : 16);
      s.pixels.resize(static_cast<size_t>(width) * s.height);
      // Runs of random lengths so both long and single-pixel runs occur.
      for (size_t i = 0; i < s.pixels.size();) {
        const uint32_t v = rng() % s.palette.size();
        for (size_t n = 1 + rng() % 300; n && i < s.pixels.size(); --n) s.pixels[i++] = v;
      }
      auto b = Decode(BuildBmp(s));
      ASSERT_TRUE(b) << compression << " width " << width;
      ExpectPixels(
          *b, s.width, s.height, [&](int x, int y) { return s.palette[s.pixels[y * s.width + x]]; },
          "rle");
    }
  }
}

TEST(DibReader, RunLengthAbsoluteRunsDeltasAndSkippedPixels) {
  // 6 x 3, RLE4: bottom row absolute "1 2 3" then end of line; the middle row is
  // skipped by a delta to (2, 2); then a run of two 5s; end of bitmap.
  BmpSpec s;
  s.width = 6;
  s.height = 3;
  s.bitCount = 4;
  s.compression = 2;
  std::mt19937 rng(1);
  s.palette = RandomPalette(rng, 16);
  s.pixels.assign(18, 0);
  std::vector<uint8_t> file = BuildBmp(s);
  const uint32_t offset = file[10] | file[11] << 8;
  file.resize(offset);
  for (uint8_t b : {0, 3, 0x12, 0x30, 0, 0, 0, 2, 2, 1, 2, 0x55, 0, 1}) file.push_back(b);
  auto b = Decode(file);
  ASSERT_TRUE(b);
  const auto& p = s.palette;
  EXPECT_EQ(b->row32(2)[0], p[1]);
  EXPECT_EQ(b->row32(2)[1], p[2]);
  EXPECT_EQ(b->row32(2)[2], p[3]);
  EXPECT_EQ(b->row32(2)[3], p[0]);
  EXPECT_EQ(b->row32(1)[4], p[0]);
  EXPECT_EQ(b->row32(0)[1], p[0]);
  EXPECT_EQ(b->row32(0)[2], p[5]);
  EXPECT_EQ(b->row32(0)[3], p[5]);
  EXPECT_EQ(b->row32(0)[4], p[0]);
}

TEST(DibReader, SmallAndLargeHeaderVersionsRead) {
  // 12-byte header, 8 bits, 3-byte colour entries.
  std::vector<uint8_t> f(14 + 12 + 256 * 3 + 4, 0);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 10, 14 + 12 + 256 * 3);
  Put32(f, 14, 12);
  Put16(f, 18, 3);
  Put16(f, 20, 1);
  Put16(f, 22, 1);
  Put16(f, 24, 8);
  f[26 + 7 * 3 + 2] = 0xAB;  // entry 7 red
  f[26 + 256 * 3 + 1] = 7;
  auto b = Decode(f);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->row32(0)[0], 0u);
  EXPECT_EQ(b->row32(0)[1], 0xAB0000u);

  // Core-header sizes are unsigned and the rows always bottom-up: a height with the top
  // bit set is a tall picture (refused as too tall here), never a flipped short one.
  std::string reason;
  for (uint16_t height : {2, 0x8001, 0xFFFF}) {
    std::vector<uint8_t> c(14 + 12, 0);
    c[0] = 'B';
    c[1] = 'M';
    Put32(c, 10, 14 + 12);
    Put32(c, 14, 12);
    Put16(c, 18, 1);
    Put16(c, 20, height);
    Put16(c, 22, 1);
    Put16(c, 24, 24);
    for (uint32_t row = 0; row < 2; ++row) c.insert(c.end(), {static_cast<uint8_t>(row + 1), 0, 0, 0});
    c.resize(14 + 12 + size_t{4} * height);
    b = Decode(c, &reason);
    if (height == 2) {
      ASSERT_TRUE(b) << reason;
      EXPECT_EQ(b->row32(1)[0], 1u);  // the first row of the file is the bottom one
      EXPECT_EQ(b->row32(0)[0], 2u);
    } else {
      EXPECT_FALSE(b) << height;
      EXPECT_NE(reason.find("32767"), std::string::npos) << reason;
    }
  }

  // 108-byte header with 5-6-5 masks inside it, top-down.
  std::vector<uint8_t> g(14 + 108 + 4, 0);
  g[0] = 'B';
  g[1] = 'M';
  Put32(g, 10, 14 + 108);
  Put32(g, 14, 108);
  Put32(g, 18, 2);
  Put32(g, 22, static_cast<uint32_t>(-1));
  Put16(g, 26, 1);
  Put16(g, 28, 16);
  Put32(g, 30, 3);
  Put32(g, 54, 0xF800);
  Put32(g, 58, 0x07E0);
  Put32(g, 62, 0x001F);
  Put16(g, 122, 0xF800);
  Put16(g, 124, 0x001F);
  b = Decode(g);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->row32(0)[0], 0xFF0000u);
  EXPECT_EQ(b->row32(0)[1], 0x0000FFu);
}

TEST(DibReader, DamagedFilesAreRefusedWithAReason) {
  BmpSpec good;
  good.width = 5;
  good.height = 4;
  good.bitCount = 8;
  good.palette = {0, 0xFFFFFF};
  good.pixels.assign(20, 1);
  const std::vector<uint8_t> base = BuildBmp(good);
  ASSERT_TRUE(Decode(base));

  auto refused = [](std::vector<uint8_t> f, const char* what) {
    std::string reason;
    EXPECT_FALSE(Decode(f, &reason)) << what;
    EXPECT_FALSE(reason.empty()) << what;
  };
  std::vector<uint8_t> f = base;
  f.resize(20);
  refused(f, "20 bytes starting BM");
  f = base;
  f[0] = 'X';
  refused(f, "no BM mark");
  f = base;
  Put16(f, 28, 16);
  Put32(f, 30, 3);  // bit fields with the masks missing: the bits start right after the header
  Put32(f, 10, 54);
  refused(f, "bit-field masks overlapping the bits");
  f = base;
  f.resize(14 + 40 + 6);
  refused(f, "file ends inside the colour table");
  f = base;
  Put32(f, 14, 64);
  refused(f, "unknown header size");
  f = base;
  Put32(f, 18, 0);
  refused(f, "width 0");
  f = base;
  Put32(f, 22, 0);
  refused(f, "height 0");
  f = base;
  Put32(f, 18, 40000);
  refused(f, "width above 32767");
  f = base;
  Put32(f, 22, static_cast<uint32_t>(-40000));
  refused(f, "top-down height above 32767");
  f = base;
  Put32(f, 22, 0x80000000u);
  refused(f, "most negative height");
  f = base;
  Put32(f, 46, 257);
  refused(f, "more colours than 8 bits allow");
  f = base;
  Put16(f, 28, 7);
  refused(f, "bit count 7");
  f = base;
  Put32(f, 30, 4);
  refused(f, "unknown compression");
  f = base;
  Put32(f, 30, 2);
  refused(f, "RLE4 on 8 bits");
  f = base;
  f.pop_back();
  refused(f, "one byte of pixels missing");
  f = base;
  Put32(f, 10, static_cast<uint32_t>(f.size()));
  refused(f, "bits offset at the end of the file");
  f = base;
  Put32(f, 10, 20);
  refused(f, "bits offset inside the header");
  f = base;
  Put32(f, 22, 1000);
  Put32(f, 34, 20);  // an image-size field that lies is not believed
  refused(f, "height larger than the bits");

  BmpSpec rle = good;
  rle.compression = 1;
  std::vector<uint8_t> r = BuildBmp(rle);
  ASSERT_TRUE(Decode(r));
  r.resize(r.size() - 6);
  refused(r, "compressed bits cut short");
  r = BuildBmp(rle);
  Put32(r, 22, static_cast<uint32_t>(-4));
  refused(r, "top-down RLE");

  BmpSpec direct;
  direct.width = 2;
  direct.pixels = {1, 2};
  direct.palette.assign(300, 0);
  refused(BuildBmp(direct), "24-bit file with 300 colours");
}

TEST(DibReader, PackedBitmapsAndColourTablesOfPaletteIndices) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.bitCount = 8;
  s.palette = {0x102030, 0x405060};
  s.pixels = {0, 1, 0, 1, 1, 0};
  std::vector<uint8_t> file = BuildBmp(s);
  std::vector<uint8_t> packed(file.begin() + 14, file.end());
  std::string reason;
  auto b = dib::DecodePacked(packed.data(), packed.size(), &reason);
  ASSERT_TRUE(b) << reason;
  EXPECT_EQ(b->row32(0)[1], 0x405060u);
  EXPECT_EQ(b->row32(1)[2], 0x102030u);

  // The same bitmap with a table of 16-bit indices into a logical palette.
  std::vector<uint8_t> indexed(packed.begin(), packed.begin() + 40);
  for (uint8_t v : {1, 0, 5, 0}) indexed.push_back(v);  // entries 1 and 5; already 4-aligned
  indexed.insert(indexed.end(), packed.begin() + 48, packed.end());
  const uint32_t logical[2] = {0xAAAAAA, 0x123456};
  dib::DibInfo info;
  ASSERT_TRUE(dib::ParsePacked(indexed.data(), indexed.size(), &info, &reason, {}, true, logical, 2));
  EXPECT_EQ(info.palette[0], 0x123456u);
  EXPECT_EQ(info.palette[1], 0u);  // index 5 is outside the logical palette
}

TEST(DibReader, RandomDamageNeverReadsOutsideTheBufferAndAlwaysExplainsRefusals) {
  std::mt19937 rng(99);
  std::vector<std::vector<uint8_t>> seeds;
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    BmpSpec s;
    s.width = 7;
    s.height = 5;
    s.bitCount = bpp;
    if (bpp <= 8) s.palette = RandomPalette(rng, size_t{1} << bpp);
    s.pixels.resize(35);
    for (auto& p : s.pixels) p = bpp <= 8 ? rng() % s.palette.size() : rng();
    seeds.push_back(BuildBmp(s));
    if (bpp == 4 || bpp == 8) {
      s.compression = bpp == 8 ? 1 : 2;
      seeds.push_back(BuildBmp(s));
    }
  }
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
    for (int width : {1, 2, 3, 4, 5, 17}) {
      auto src = Bitmap::Create(width, 3, 32);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < width; ++x) src->row32(y)[x] = rng() & 0xFFFFFF;
      const std::vector<uint8_t> f = dib::EncodeBmp(*src, bits);
      auto back = Decode(f);
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
      BmpSpec s;
      s.width = 11;
      s.height = 10;
      s.bitCount = bpp;
      s.topDown = topDown;
      if (bpp == 4) s.palette = RandomPalette(rng, 16);
      for (int i = 0; i < 110; ++i) s.pixels.push_back(bpp == 4 ? rng() % 16 : rng() & 0xFFFFFF);
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
  std::mt19937 rng(4);
  FILE* ppm = std::fopen((dir + "/in.ppm").c_str(), "wb");
  std::fprintf(ppm, "P6 37 23 255\n");
  for (int i = 0; i < 37 * 23 * 3; ++i) std::fputc(static_cast<int>(rng() & 0xFF), ppm);
  std::fclose(ppm);
  const char* variants[] = {
      "-colors 16 -type Palette BMP2:",                      // 12-byte header
      "-colors 16 -type Palette BMP3:",                      // 4 bits
      "-colors 200 -type Palette -compress RLE BMP3:",       // run-length 8 bits
      "-type Bilevel BMP3:",                                 // 1 bit
      "BMP3:",                                               // 24 bits
      "BMP:",                                                // 124-byte header
      "-define bmp:subtype=RGB565 BMP:",                     // 16 bits with masks
      "-define bmp:subtype=RGB555 BMP:",
      "-define bmp:subtype=ARGB8888 BMP:",                   // 32 bits with masks
  };
  for (const char* v : variants) {
    const std::string bmp = dir + "/v.bmp", rgb = dir + "/v.rgb";
    const std::string options(v, std::strrchr(v, ' ') ? std::strrchr(v, ' ') - v : 0);
    const std::string format = std::strrchr(v, ' ') ? std::strrchr(v, ' ') + 1 : v;
    ASSERT_EQ(std::system(("convert " + dir + "/in.ppm " + options + " " + format + bmp).c_str()), 0) << v;
    ASSERT_EQ(std::system(("convert " + bmp + " -depth 8 rgb:" + rgb).c_str()), 0) << v;
    std::vector<uint8_t> file, pixels;
    for (auto [path, out] : {std::pair{bmp, &file}, std::pair{rgb, &pixels}}) {
      FILE* f = std::fopen(path.c_str(), "rb");
      int c;
      while ((c = std::fgetc(f)) != EOF) out->push_back(static_cast<uint8_t>(c));
      std::fclose(f);
    }
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
