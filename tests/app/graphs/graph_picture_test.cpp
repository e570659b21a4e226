#include <gtest/gtest.h>

#include <cstdlib>

#include "app/graphs/GraphPicture.h"
#include "platform/png/PngReader.h"
#include "tests/app/batch/batch_test_util.h"

namespace {

class GraphPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tintwell-graph-picture-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    batchtest::Picture p;
    p.width = 60;
    p.height = 40;
    for (int i = 0; i < p.width * p.height; ++i) p.pixels.push_back(static_cast<uint32_t>(i % 450) * 0x10307u & 0xFFFFFF);
    batchtest::WriteBmp(dir_ + "/in.bmp", p);
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string dir_;
};

// Each kind is written as a PNG of the picture's size; a bad kind or place fails in one
// line and leaves no file.
TEST_F(GraphPictures, KindsAreWrittenAndMistakesFailInOneLine) {
  for (const char* kind : {"quality", "error", "size"}) {
    const std::string png = dir_ + "/" + kind + ".png";
    const batchtest::RunResult r =
        batchtest::RunBatch({dir_ + "/in.bmp", dir_ + "/out.gif", "--graph", kind, png, "--passes-bits", "8,3"});
    ASSERT_EQ(r.status, 0) << kind << r.err;
    const std::vector<uint8_t> bytes = batchtest::ReadFile(png);
    std::string reason;
    platform::png::Alpha alpha;
    std::unique_ptr<platform::Bitmap> picture = platform::png::DecodeFile(bytes.data(), bytes.size(), &alpha, &reason);
    ASSERT_TRUE(picture) << kind << reason;
    EXPECT_EQ(picture->width() * 10000 + picture->height(), kGraphPictureWidth * 10000 + kGraphPictureHeight);
  }
  const struct {
    std::vector<std::string> graph;
    const char* message;
  } cases[] = {
      {{"--graph", "colours", dir_ + "/g.png"}, "not a kind of graph"},
      {{"--graph", "size"}, "needs a value"},
      {{"--graph", "quality", dir_ + "/missing/g.png"}, "cannot write the graph"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {dir_ + "/in.bmp", dir_ + "/out.gif"};
    args.insert(args.end(), c.graph.begin(), c.graph.end());
    const batchtest::RunResult r = batchtest::RunBatch(args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(batchtest::Lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(batchtest::ReadFile(dir_ + "/g.png").empty());
  }
}

}  // namespace
