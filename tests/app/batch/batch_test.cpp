#include <gtest/gtest.h>
#include <sys/stat.h>

#include "batch_test_util.h"
#include "tests/platform/jpeg/jpeg_builder.h"
#include "tests/platform/png/png_builder.h"

using namespace batchtest;

namespace {

std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& a : args) text += a + " ";
  return text;
}

}  // namespace

TEST(BatchMode, AllColoursComeBackExactly) {
  TempDir dir;
  const struct {
    Picture picture;
    std::vector<std::string> extra;
  } cases[] = {
      {Blocks(37, 23, 40, 1), {}},
      {Blocks(64, 48, 300, 2), {"--interlace", "1,0"}},
      {Ramp(80, 60), {"--interlace", "0,1", "--passes-bits", "5,7"}},
      {Blocks(1, 1, 1, 3), {}},
      {Blocks(200, 3, 9, 4), {"--interlace", "1,1"}},
  };
  for (const auto& c : cases) {
    WriteBmp(dir / "in.bmp", c.picture);
    std::vector<std::string> args = {dir / "in.bmp", dir / "out.gif", "--report", "--colours", "all"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    RunResult r = RunBatch(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string n = std::to_string(ColoursOf(c.picture.pixels).size());
    EXPECT_EQ(ReportValue(r.out, "Colours found"), n);
    EXPECT_EQ(ReportValue(r.out, "Colours kept"), n);
    EXPECT_EQ(ReportValue(r.out, "Maximum error"), "0 (0.00%)");
    EXPECT_EQ(ReportValue(r.out, "Bytes written"), std::to_string(ReadFile(dir / "out.gif").size()));
    giftest::Screen s = Decode(dir / "out.gif");
    ASSERT_TRUE(s.ok) << Joined(args);
    EXPECT_EQ(std::to_string(s.images), ReportValue(r.out, "Passes"));
    ASSERT_EQ(s.pixels, c.picture.pixels) << Joined(args);
  }
}

TEST(BatchMode, FewerColoursShowOnlyColoursOfThePicture) {
  TempDir dir;
  Picture p = Ramp(90, 70);
  WriteBmp(dir / "in.bmp", p);
  const std::set<uint32_t> original = ColoursOf(p.pixels);
  for (uint32_t k : {1u, 2u, 10u, 256u, 700u}) {
    RunResult r = RunBatch({dir / "in.bmp", dir / "out.gif", "--colours", std::to_string(k), "--report"});
    ASSERT_EQ(r.status, 0) << r.err;
    giftest::Screen s = Decode(dir / "out.gif");
    ASSERT_TRUE(s.ok);
    std::set<uint32_t> shown = ColoursOf(s.pixels);
    EXPECT_EQ(shown.size(), k) << "every kept colour stands for its own pixels at least";
    for (uint32_t c : shown) EXPECT_TRUE(original.count(c)) << "palette colours are picture colours";
    EXPECT_EQ(ReportValue(r.out, "Colours kept"), std::to_string(k));
  }
}

// Counts brought into range come with one short note each; what was asked for by default does not.
TEST(BatchMode, CountsOutOfRangeAreBroughtInWithANote) {
  TempDir dir;
  WriteBmp(dir / "ramp.bmp", Ramp(70, 50));
  WriteBmp(dir / "few.bmp", Blocks(20, 20, 12, 9));
  const struct {
    std::vector<std::string> args;
    const char* kept;
    const char* note;  // null: none
  } cases[] = {
      {{dir / "ramp.bmp"}, "256", nullptr},
      {{dir / "ramp.bmp", "--global"}, "256", nullptr},
      {{dir / "ramp.bmp", "--global", "--colours", "1000"}, "256", "global colour table holds 256"},
      {{dir / "few.bmp", "--colours", "40"}, "12", "only 12 colours"},
      {{dir / "few.bmp"}, "12", nullptr},
      {{dir / "few.bmp", "--colours", "40", "--quiet"}, "12", nullptr},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, dir / "out.gif");
    args.push_back("--report");
    RunResult r = RunBatch(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReportValue(r.out, "Colours kept"), c.kept) << Joined(args);
    EXPECT_EQ(Lines(r.err), c.note ? 1 : 0) << r.err;
    if (c.note) {
      EXPECT_EQ(r.err.rfind("tintwell-batch: note: ", 0), 0u) << r.err;
      EXPECT_NE(r.err.find(c.note), std::string::npos) << r.err;
    }
  }
}

// Transparent colours given on the command line, and PNG alpha: clear pixels are left out,
// partly clear ones are settled over the background.
TEST(BatchMode, TransparentColoursAndPngAlphaAreLeftOut) {
  TempDir dir;
  const Picture p = Blocks(23, 17, 30, 5);
  char ta[8], tb[8];  // two colours marked transparent, given in both spellings
  snprintf(ta, sizeof ta, "%06X", p.pixels[0]);
  snprintf(tb, sizeof tb, "#%06x", p.pixels[1]);
  WriteBmp(dir / "in.bmp", p);
  RunResult r = RunBatch({dir / "in.bmp", dir / "out.gif", "--transparent", ta, tb, "--report"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReportValue(r.out, "Colours kept"), "28");
  giftest::Screen s = Decode(dir / "out.gif");
  ASSERT_TRUE(s.ok);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    const bool clear = p.pixels[i] == p.pixels[0] || p.pixels[i] == p.pixels[1];
    ASSERT_EQ(s.pixels[i], clear ? giftest::kUnset : p.pixels[i]) << "pixel " << i;
  }

  PngSpec png;
  png.width = p.width;
  png.height = p.height;
  png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    for (int shift : {16, 8, 0}) png.samples.push_back(p.pixels[i] >> shift & 0xFF);
    png.samples.push_back(i % 7 == 0 ? 0 : i % 7 == 1 ? 128 : 255);
  }
  WriteFile(dir / "in.png", BuildPng(png));
  r = RunBatch({dir / "in.png", dir / "out.gif", "--colours", "all", "--background", "204060"});
  ASSERT_EQ(r.status, 0) << r.err;
  s = Decode(dir / "out.gif");
  ASSERT_TRUE(s.ok);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    uint32_t expected = i % 7 == 0 ? giftest::kUnset : p.pixels[i];
    if (i % 7 == 1) {
      expected = 0;
      for (int shift : {16, 8, 0})
        expected |= ((p.pixels[i] >> shift & 0xFF) * 128 + (0x204060u >> shift & 0xFF) * 127 + 127) / 255 << shift;
    }
    ASSERT_EQ(s.pixels[i], expected) << "pixel " << i;
  }
}

TEST(BatchMode, StandardInputToStandardOutputGivesTheGifOfTheNamedFile) {
  TempDir dir;
  const std::vector<uint8_t> jpeg = BuildJpeg(SmoothJpeg(48, 32, 3, true));
  // Nothing but the GIF on the output, the report on stderr.
  RunResult r = RunBatch({"-", "-", "--colours", "all", "--report"}, jpeg);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReportValue(r.err, "Bytes written"), std::to_string(r.out.size()));
  ASSERT_TRUE(giftest::DecodeScreen(std::vector<uint8_t>(r.out.begin(), r.out.end())).ok);
  WriteFile(dir / "in.jpg", jpeg);
  ASSERT_EQ(RunBatch({dir / "in.jpg", dir / "out.gif", "--colours", "all"}).status, 0);
  const std::vector<uint8_t> named = ReadFile(dir / "out.gif");
  EXPECT_EQ(std::string(named.begin(), named.end()), r.out);
}

TEST(BatchMode, BadInputFailsWithOneLineAndNoFile) {
  TempDir dir;
  WriteBmp(dir / "in.bmp", Blocks(16, 16, 5, 6));
  WriteFile(dir / "junk.bmp", {'B', 'M', ' ', 'n', 'o', 't'});
  // Pictures cut short or damaged, and a JPEG in CMYK colours.
  PngSpec png;
  png.width = png.height = 9;
  png.samples.assign(9 * 9 * 3, 77);
  std::vector<uint8_t> bytes = BuildPng(png);
  WriteFile(dir / "cut.png", std::vector<uint8_t>(bytes.begin(), bytes.end() - 20));
  bytes[40] ^= 0x55;
  WriteFile(dir / "bad.png", bytes);
  bytes = BuildJpeg(SmoothJpeg(16, 16, 3, true));
  WriteFile(dir / "cut.jpg", std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
  WriteFile(dir / "cmyk.jpg", BuildJpeg(SmoothJpeg(8, 8, 4, false)));
  mkdir((dir / "adir.gif").c_str(), 0755);
  const std::string in = dir / "in.bmp", out = dir / "out.gif";
  const std::vector<std::vector<std::string>> cases = {
      {}, {in}, {in, out, "extra"}, {in, out, "--bogus"}, {in, out, "--colours"}, {in, out, "--colours", "12a"},
      {in, out, "--colours", "-3"}, {in, out, "--passes-bits", "0,8"}, {in, out, "--passes-bits", "8"},
      {in, out, "--passes-bits", "8,9"}, {in, out, "--interlace", "2,0"}, {in, out, "--background", "12345"},
      {in, out, "--transparent", "in.bmp"},
      {in, out, "--transparent", "FEDCBA"},  // not a colour of the picture
      {dir / "missing.bmp", out}, {dir / "junk.bmp", out}, {in, dir / "no-such-dir/out.gif"}, {in, dir / "adir.gif"},
      {in, out, "--max-pixels", "255"},  // the picture has 256
      {in, out, "--max-pixels", "0"},
      {dir / "adir.gif", out},  // a folder: refused before it is opened
      {in, out, "--quality", "101"}, {in, out, "--quality", "1e2"}, {in, out, "--max-error", "x"},
      {in, out, "--max-bytes", "20"},  // smaller than any GIF
      {in, out, "--colours", "1", "--quality", "100"}, {dir / "cut.png", out}, {dir / "bad.png", out},
      {dir / "cut.jpg", out}, {dir / "cmyk.jpg", out},
      {"-", out},  // nothing on standard input
  };
  for (const auto& args : cases) {
    RunResult r = RunBatch(args);
    EXPECT_EQ(r.status, 1) << Joined(args);
    EXPECT_EQ(Lines(r.err), 1) << Joined(args) << ": " << r.err;
    EXPECT_EQ(r.err.rfind("tintwell-batch: ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "") << Joined(args);
    EXPECT_FALSE(Exists(out)) << Joined(args);
  }
  EXPECT_NE(RunBatch({in, out, "--max-pixels", "255"}).err.find("16 x 16 pixels is more than the limit of 255"),
            std::string::npos);
  EXPECT_EQ(RunBatch({in, out, "--max-pixels", "256"}).status, 0);
  rmdir((dir / "adir.gif").c_str());
  // Only the input files and the last run's output remain.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 7);

  // A failed run keeps a file already at the output path as it was.
  WriteFile(out, {'o', 'l', 'd'});
  EXPECT_EQ(RunBatch({in, out, "--transparent", "FEDCBA"}).status, 1);
  EXPECT_EQ(ReadFile(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(BatchMode, HelpIsPrintedWithSuccess) {
  RunResult help = RunBatch({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--colours N|all"), std::string::npos);
}
