#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "batch_test_util.h"
#include "tests/app/gif/gif_test_util.h"

namespace {

using batchtest::Put16;
using batchtest::Put32;

void Record(std::vector<uint8_t>& m, uint16_t function, std::vector<int16_t> params) {
  Put32(m, static_cast<uint32_t>(3 + params.size()));
  Put16(m, function);
  for (int16_t p : params) Put16(m, static_cast<uint16_t>(p));
}

// A placeable metafile of width x height units (one unit a pixel) on white, with
// two filled rectangles without outline: red on the left half, blue in the middle.
std::vector<uint8_t> TwoRectangles(int16_t width, int16_t height) {
  std::vector<uint8_t> body;
  Record(body, 0x020B, {0, 0});            // window origin (y, x)
  Record(body, 0x020C, {height, width});   // window extent (y, x)
  Record(body, 0x02FA, {5, 0, 0, 0, 0});   // null pen
  Record(body, 0x012D, {0});
  Record(body, 0x02FC, {0, 0x00FF, 0x0000, 0});  // solid red brush (colour 0x000000FF as two words)
  Record(body, 0x012D, {1});
  Record(body, 0x041B, {height, static_cast<int16_t>(width / 2), 0, 0});  // bottom, right, top, left
  Record(body, 0x01F0, {1});               // delete the red brush
  Record(body, 0x02FC, {0, 0x0000, 0x00FF, 0});  // solid blue brush
  Record(body, 0x012D, {1});
  Record(body, 0x041B, {static_cast<int16_t>(height * 3 / 4), static_cast<int16_t>(width * 3 / 4),
                        static_cast<int16_t>(height / 4), static_cast<int16_t>(width / 4)});
  Record(body, 0x0000, {});

  std::vector<uint8_t> m;
  Put32(m, 0x9AC6CDD7);
  Put16(m, 0);
  Put16(m, 0);
  Put16(m, 0);
  Put16(m, static_cast<uint16_t>(width));
  Put16(m, static_cast<uint16_t>(height));
  Put16(m, 96);  // units per inch: one unit a pixel on a 96-dpi screen
  Put32(m, 0);
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= static_cast<uint16_t>(m[2 * i] | m[2 * i + 1] << 8);
  Put16(m, sum);
  Put16(m, 1);
  Put16(m, 9);
  Put16(m, 0x0300);
  Put32(m, static_cast<uint32_t>((18 + body.size()) / 2));
  Put16(m, 2);
  Put32(m, 8);
  Put16(m, 0);
  m.insert(m.end(), body.begin(), body.end());
  return m;
}

TEST(BatchMode, MetafilesAreDrawnAndWritten) {
  batchtest::TempDir dir;
  std::vector<uint8_t> wmf = TwoRectangles(80, 60);
  std::ofstream(dir / "in.wmf", std::ios::binary).write(reinterpret_cast<const char*>(wmf.data()), wmf.size());
  batchtest::RunResult r = batchtest::RunBatch({dir / "in.wmf", dir / "out.gif", "--report"});
  ASSERT_EQ(r.status, 0) << r.err;
  giftest::Screen s = giftest::DecodeScreen(batchtest::ReadFile(dir / "out.gif"));
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(s.width, 80);
  ASSERT_EQ(s.height, 60);
  auto at = [&](int x, int y) { return s.pixels[static_cast<size_t>(y) * s.width + x]; };
  EXPECT_EQ(at(5, 30), 0xFF0000u) << "red half";
  EXPECT_EQ(at(40, 30), 0x0000FFu) << "blue middle";
  EXPECT_EQ(at(75, 5), 0xFFFFFFu) << "white ground";
  EXPECT_EQ(std::set<uint32_t>(s.pixels.begin(), s.pixels.end()).size(), 3u);
  EXPECT_NE(r.out.find("Colours found: 3\n"), std::string::npos) << r.out;
}

}  // namespace
