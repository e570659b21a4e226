#include <gtest/gtest.h>

#include "batch_test_util.h"
#include "tests/platform/jpeg/jpeg_builder.h"
#include "tests/platform/png/png_builder.h"

using namespace batchtest;

TEST(BatchPictures, PngAlphaBecomesTransparentPixelsAndTheBackgroundUnderPartlyClearOnes) {
  TempDir dir;
  const Picture p = Blocks(23, 17, 30, 3);
  PngSpec s;
  s.width = p.width;
  s.height = p.height;
  s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  std::vector<uint8_t> alpha;
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    alpha.push_back(i % 7 == 0 ? 0 : i % 7 == 1 ? 128 : 255);
    for (int shift : {16, 8, 0}) s.samples.push_back(p.pixels[i] >> shift & 0xFF);
    s.samples.push_back(alpha.back());
  }
  WriteFile(dir / "in.png", BuildPng(s));
  RunResult r = RunBatch({dir / "in.png", dir / "out.gif", "--colours", "all", "--background", "204060"});
  ASSERT_EQ(r.status, 0) << r.err;
  const giftest::Screen g = Decode(dir / "out.gif");
  ASSERT_TRUE(g.ok);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    uint32_t expected = p.pixels[i];
    if (alpha[i] == 0) expected = giftest::kUnset;
    if (alpha[i] == 128) {
      expected = 0;
      for (int shift : {16, 8, 0})
        expected |= ((p.pixels[i] >> shift & 0xFF) * 128 + (0x204060u >> shift & 0xFF) * 127 + 127) / 255 << shift;
    }
    ASSERT_EQ(g.pixels[i], expected) << "pixel " << i << " alpha " << int(alpha[i]);
  }
}

TEST(BatchPictures, JpegInAndAPipeThroughStandardInputAndOutput) {
  TempDir dir;
  for (int components : {1, 3}) {
    const JpegSpec spec = SmoothJpeg(48, 32, components, components == 3);
    const std::vector<uint8_t> jpeg = BuildJpeg(spec);
    // Standard input to standard output: nothing but the GIF on the output, the report on stderr.
    RunResult r = RunBatch({"-", "-", "--colours", "all", "--report"}, jpeg);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReportValue(r.err, "Bytes written"), std::to_string(r.out.size()));
    const giftest::Screen g = giftest::DecodeScreen(std::vector<uint8_t>(r.out.begin(), r.out.end()));
    ASSERT_TRUE(g.ok);
    ASSERT_EQ(g.width, 48);
    double total = 0;
    for (size_t i = 0; i < g.pixels.size(); ++i)
      for (int c = 0; c < 3; ++c)
        total += std::abs(int(g.pixels[i] >> (16 - 8 * c) & 0xFF) - spec.samples[i * components + (components == 1 ? 0 : c)]);
    EXPECT_LT(total / (3.0 * g.pixels.size()), 3.0) << components;
    // The same file by name gives the same GIF.
    WriteFile(dir / "in.jpg", jpeg);
    ASSERT_EQ(RunBatch({dir / "in.jpg", dir / "out.gif", "--colours", "all"}).status, 0);
    const std::vector<uint8_t> named = ReadFile(dir / "out.gif");
    EXPECT_EQ(std::string(named.begin(), named.end()), r.out);
  }
}
