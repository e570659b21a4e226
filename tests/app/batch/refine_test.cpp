#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "batch_test_util.h"

using namespace batchtest;

namespace {

// Squared error of a decoded picture against its source, over the pixels shown.
uint64_t SquaredError(const Picture& source, const giftest::Screen& shown) {
  uint64_t total = 0;
  for (size_t i = 0; i < source.pixels.size(); ++i)
    for (int shift : {0, 8, 16})
      if (shown.pixels[i] != giftest::kUnset) {
        const int d = int(source.pixels[i] >> shift & 0xFF) - int(shown.pixels[i] >> shift & 0xFF);
        total += static_cast<uint64_t>(d * d);
      }
  return total;
}

}  // namespace

TEST(BatchRefine, TheDecodedGifIsNeverFurtherFromThePicture) {
  std::mt19937 rng(4);
  TempDir dir;
  const std::string in = dir / "in.bmp";
  for (int round = 0; round < 24; ++round) {
    Picture p = round % 3 == 0 ? Ramp(20 + rng() % 40, 10 + rng() % 30)
                               : Blocks(10 + rng() % 50, 5 + rng() % 30, 3 + rng() % 400, rng());
    WriteBmp(in, p);
    const uint32_t n = static_cast<uint32_t>(ColoursOf(p.pixels).size());
    std::vector<std::string> options = {"--colours", std::to_string(1 + rng() % n)};
    if (rng() % 3 == 0) options.insert(options.end(), {"--passes-bits", std::to_string(1 + rng() % 8) + ",3"});
    if (rng() % 4 == 0) options.push_back("--global");
    if (rng() % 3 == 0) {
      char colour[8];
      snprintf(colour, sizeof colour, "%06X", p.pixels[rng() % p.pixels.size()]);
      options.insert(options.end(), {"--transparent", colour});
    }
    std::vector<std::string> plain = {in, dir / "plain.gif"}, refined = {in, dir / "refined.gif", "--refine"};
    plain.insert(plain.end(), options.begin(), options.end());
    refined.insert(refined.end(), options.begin(), options.end());
    ASSERT_EQ(RunBatch(plain).status, 0);
    ASSERT_EQ(RunBatch(refined).status, 0);
    const giftest::Screen a = Decode(dir / "plain.gif"), b = Decode(dir / "refined.gif");
    ASSERT_TRUE(a.ok && b.ok);
    for (size_t i = 0; i < p.pixels.size(); ++i)
      ASSERT_EQ(a.pixels[i] == giftest::kUnset, b.pixels[i] == giftest::kUnset) << "the same pixels transparent";
    EXPECT_LE(SquaredError(p, b), SquaredError(p, a)) << "round " << round;
    EXPECT_LE(ColoursOf(b.pixels).size(), ColoursOf(a.pixels).size()) << "no colour more than asked for";
  }
}

TEST(BatchRefine, WithoutItTheGifIsByteForByteWhatItWas) {
  TempDir dir;
  const Picture p = Ramp(64, 48);
  WriteBmp(dir / "in.bmp", p);
  const std::string clear = "000003";  // the ramp's top-left colour
  const struct {
    std::vector<std::string> options;
    uint32_t crc;
    size_t size;
  } cases[] = {
      {{"--colours", "16"}, 0xacd82c14, 633},
      {{"--colours", "256"}, 0x2dc5a0ca, 2882},
      {{"--colours", "600"}, 0xd31dd42a, 6036},
      {{"--colours", "40", "--global", "--interlace", "1,1", "--transparent", clear, "--passes-bits", "4,3"},
       0x9aa2bfb9, 1801},
      {{"--colours", "700", "--interlace", "0,1", "--passes-bits", "5,6", "--transparent", clear}, 0x8ce76d5c, 8534},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {dir / "in.bmp", dir / "out.gif"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(RunBatch(args).status, 0);
    const std::vector<uint8_t> gif = ReadFile(dir / "out.gif");
    EXPECT_EQ(gif.size(), c.size) << c.options[1];
    EXPECT_EQ(crc32(0, gif.data(), static_cast<uInt>(gif.size())), c.crc) << c.options[1];
  }
}
