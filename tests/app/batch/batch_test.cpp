#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "batch_test_util.h"
#include "tests/app/gif/gif_test_util.h"
#include "tests/platform/jpeg/jpeg_builder.h"
#include "tests/platform/png/png_builder.h"

namespace {

using batchtest::Picture;
using batchtest::RunBatch;
using batchtest::RunResult;
using batchtest::TempDir;

using batchtest::Blocks;
using batchtest::ColoursOf;
using batchtest::Decode;
using batchtest::Ramp;
using batchtest::ReportValue;

TEST(BatchMode, AllColoursComeBackExactly) {
  TempDir dir;
  struct Case {
    Picture picture;
    std::vector<std::string> extra;
  };
  std::vector<Case> cases;
  cases.push_back({Blocks(37, 23, 40, 1), {}});
  cases.push_back({Blocks(64, 48, 300, 2), {"--interlace", "1,0"}});
  cases.push_back({Ramp(80, 60), {"--interlace", "0,1", "--passes-bits", "5,7"}});
  cases.push_back({Blocks(1, 1, 1, 3), {}});
  cases.push_back({Blocks(200, 3, 9, 4), {"--interlace", "1,1"}});
  for (size_t c = 0; c < cases.size(); ++c) {
    const Picture& p = cases[c].picture;
    batchtest::WriteBmp(dir / "in.bmp", p);
    std::vector<std::string> args = {dir / "in.bmp", dir / "out.gif", "--report", "--colours", "all"};
    args.insert(args.end(), cases[c].extra.begin(), cases[c].extra.end());
    RunResult r = RunBatch(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const size_t n = ColoursOf(p.pixels).size();
    EXPECT_EQ(ReportValue(r.out, "Colours found"), std::to_string(n)) << c;
    EXPECT_EQ(ReportValue(r.out, "Colours kept"), std::to_string(n)) << c;
    EXPECT_EQ(ReportValue(r.out, "Quality"), "100.00%");
    EXPECT_EQ(ReportValue(r.out, "Maximum error"), "0 (0.00%)");
    EXPECT_EQ(ReportValue(r.out, "Bytes written"), std::to_string(batchtest::ReadFile(dir / "out.gif").size()));
    EXPECT_EQ(batchtest::Lines(r.out), 6);
    giftest::Screen s = Decode(dir / "out.gif");
    ASSERT_TRUE(s.ok) << c;
    EXPECT_EQ(std::to_string(s.images), ReportValue(r.out, "Passes"));
    ASSERT_EQ(s.pixels, p.pixels) << "case " << c;
  }
}

TEST(BatchMode, FewerColoursShowOnlyColoursOfThePicture) {
  TempDir dir;
  Picture p = Ramp(90, 70);
  batchtest::WriteBmp(dir / "in.bmp", p);
  std::set<uint32_t> original = ColoursOf(p.pixels);
  for (uint32_t k : {1u, 2u, 10u, 255u, 256u, 700u}) {
    RunResult r = RunBatch({dir / "in.bmp", dir / "out.gif", "--colours", std::to_string(k), "--report"});
    ASSERT_EQ(r.status, 0) << r.err;
    giftest::Screen s = Decode(dir / "out.gif");
    ASSERT_TRUE(s.ok);
    std::set<uint32_t> shown = ColoursOf(s.pixels);
    EXPECT_EQ(shown.size(), k) << "every kept colour stands for its own pixels at least";
    for (uint32_t c : shown) EXPECT_TRUE(original.count(c)) << "palette colours are picture colours";
    EXPECT_EQ(ReportValue(r.out, "Colours kept"), std::to_string(k));
    if (k < original.size()) {
      EXPECT_NE(ReportValue(r.out, "Quality"), "100.00%");
    }
  }
  // Without --colours the usual GIF: 256 colours, and no note about it.
  RunResult usual = RunBatch({dir / "in.bmp", dir / "out.gif", "--report"});
  EXPECT_EQ(usual.err, "");
  EXPECT_EQ(ReportValue(usual.out, "Colours kept"), "256");
}

// Counts brought into range come with one short note each; what was asked for by default does not.
TEST(BatchMode, CountsOutOfRangeAreBroughtInWithANote) {
  TempDir dir;
  batchtest::WriteBmp(dir / "ramp.bmp", Ramp(70, 50));
  batchtest::WriteBmp(dir / "few.bmp", Blocks(20, 20, 12, 9));
  const struct {
    std::vector<std::string> args;
    const char* kept;
    const char* note;  // null: none
  } cases[] = {
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
    EXPECT_EQ(ReportValue(r.out, "Colours kept"), c.kept) << args.back();
    EXPECT_EQ(batchtest::Lines(r.err), c.note ? 1 : 0) << r.err;
    if (c.note) {
      EXPECT_EQ(r.err.rfind("tintwell-batch: note: ", 0), 0u) << r.err;
      EXPECT_NE(r.err.find(c.note), std::string::npos) << r.err;
    }
  }
}

TEST(BatchMode, TransparentColoursAreLeftOut) {
  TempDir dir;
  Picture p = Blocks(40, 30, 25, 5);
  // Two colours marked transparent, given in both spellings.
  uint32_t a = p.pixels[0], b = p.pixels[1];
  batchtest::WriteBmp(dir / "in.bmp", p);
  char ta[8], tb[8];
  snprintf(ta, sizeof ta, "%06X", a);
  snprintf(tb, sizeof tb, "#%06x", b);
  RunResult r = RunBatch({dir / "in.bmp", dir / "out.gif", "--transparent", ta, tb, "--background", "123456",
                     "--report"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReportValue(r.out, "Colours kept"), "23");
  std::vector<uint8_t> bytes = batchtest::ReadFile(dir / "out.gif");
  giftest::Screen s = giftest::DecodeScreen(bytes);
  ASSERT_TRUE(s.ok);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    uint32_t expected = p.pixels[i] == a || p.pixels[i] == b ? giftest::kUnset : p.pixels[i];
    ASSERT_EQ(s.pixels[i], expected) << "pixel " << i;
  }
  // No global table: the first image's local table starts at byte 31, entry 0
  // being the transparent one, holding the background colour.
  ASSERT_EQ(bytes[10] & 0x80, 0);
  EXPECT_EQ(bytes[31], 0x12);
  EXPECT_EQ(bytes[32], 0x34);
  EXPECT_EQ(bytes[33], 0x56);
}

TEST(BatchMode, HelpPrintsUsage) {
  RunResult r = RunBatch({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* option : {"--colours N|all", "default: 256", "--quality", "--max-error", "--max-bytes", "--refine",
                             "--passes-bits", "--transparent", "--quiet", "Exit status"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

TEST(BatchMode, BadInputFailsWithOneLineAndNoFile) {
  TempDir dir;
  Picture p = Blocks(16, 16, 5, 6);
  batchtest::WriteBmp(dir / "in.bmp", p);
  {
    std::ofstream junk(dir / "junk.bmp", std::ios::binary);
    junk << "BM this is not a bitmap at all";
  }
  // Pictures cut short or damaged, and a JPEG in CMYK colours.
  PngSpec png;
  png.width = 9;
  png.height = 9;
  png.samples.assign(9 * 9 * 3, 77);
  std::vector<uint8_t> bytes = BuildPng(png);
  batchtest::WriteFile(dir / "cut.png", std::vector<uint8_t>(bytes.begin(), bytes.end() - 20));
  bytes[40] ^= 0x55;
  batchtest::WriteFile(dir / "bad.png", bytes);
  bytes = BuildJpeg(SmoothJpeg(16, 16, 3, true));
  batchtest::WriteFile(dir / "cut.jpg", std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
  batchtest::WriteFile(dir / "cmyk.jpg", BuildJpeg(SmoothJpeg(8, 8, 4, false)));
  mkdir((dir / "adir.gif").c_str(), 0755);
  const std::string in = dir / "in.bmp", out = dir / "out.gif";
  const std::vector<std::vector<std::string>> cases = {
      {},
      {in},
      {in, out, "extra"},
      {in, out, "--bogus"},
      {in, out, "--colours"},
      {in, out, "--colours", "12a"},
      {in, out, "--colours", "-3"},
      {in, out, "--colours", ""},
      {in, out, "--passes-bits", "0,8"},
      {in, out, "--passes-bits", "8"},
      {in, out, "--passes-bits", "8,9"},
      {in, out, "--interlace", "2,0"},
      {in, out, "--background", "GGGGGG"},
      {in, out, "--background", "12345"},
      {in, out, "--transparent", "in.bmp"},
      {in, out, "--transparent", "FEDCBA"},  // not a colour of the picture
      {dir / "missing.bmp", out},
      {dir / "junk.bmp", out},
      {in, dir / "no-such-dir/out.gif"},
      {in, dir / "adir.gif"},
      {in, out, "--max-pixels", "255"},  // the picture has 256
      {in, out, "--max-pixels", "0"},
      {in, out, "--max-pixels"},
      {dir / "adir.gif", out},  // a folder: refused before it is opened
      {in, out, "--quality", "101"},
      {in, out, "--quality", "1e2"},
      {in, out, "--max-error", "x"},
      {in, out, "--max-bytes", "0"},
      {in, out, "--max-bytes", "20"},  // smaller than any GIF
      {in, out, "--colours", "1", "--quality", "100"},
      {dir / "cut.png", out},
      {dir / "bad.png", out},
      {dir / "cut.jpg", out},
      {dir / "cmyk.jpg", out},
      {"-", out},  // nothing on standard input
  };
  for (const auto& args : cases) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    RunResult r = RunBatch(args);
    EXPECT_EQ(r.status, 1) << joined;
    EXPECT_EQ(batchtest::Lines(r.err), 1) << joined << ": " << r.err;
    EXPECT_EQ(r.err.rfind("tintwell-batch: ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "") << joined;
    EXPECT_FALSE(batchtest::Exists(out)) << joined;
  }
  EXPECT_NE(RunBatch({in, out, "--max-pixels", "255"}).err.find("16 x 16 pixels is more than the limit of 255"),
            std::string::npos);
  EXPECT_EQ(RunBatch({in, out, "--max-pixels", "256"}).status, 0);
  unlink(out.c_str());
  rmdir((dir / "adir.gif").c_str());
  EXPECT_EQ(batchtest::DirEntries(dir.path).size(), 6u) << "only the input files remain";

  // A failed run keeps a file already at the output path as it was.
  {
    std::ofstream old(out, std::ios::binary);
    old << "old";
  }
  EXPECT_EQ(RunBatch({in, out, "--transparent", "FEDCBA"}).status, 1);
  std::vector<uint8_t> kept = batchtest::ReadFile(out);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");
}

TEST(BatchMode, TheProgramReportsThroughItsExitStatus) {
  const std::string program = std::string(TINTWELL_BINARY_DIR) + "/tintwell-batch";
  if (!batchtest::Exists(program)) GTEST_SKIP() << program << " is not built";
  TempDir dir;
  batchtest::WriteBmp(dir / "in.bmp", Blocks(30, 20, 50, 8));
  std::string ok = program + " " + (dir / "in.bmp") + " " + (dir / "out.gif") + " --colours 20 >/dev/null 2>&1";
  EXPECT_EQ(std::system(ok.c_str()), 0);
  EXPECT_TRUE(Decode(dir / "out.gif").ok);
  std::string bad = program + " " + (dir / "in.bmp") + " " + (dir / "bad.gif") + " --colours x >/dev/null 2>&1";
  int status = std::system(bad.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_FALSE(batchtest::Exists(dir / "bad.gif"));
}

}  // namespace
