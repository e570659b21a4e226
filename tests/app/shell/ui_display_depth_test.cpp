// A picture opened on a display of 8 bits a pixel: the program reads it in the display's
// colours, as the display shows it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "platform/DisplayColours.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

class EightBitDisplay : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    wm().screen().setDepth(8);
    JSetDisplayDepth(8);
  }
};

// The table entry with the smallest sum of channel differences, the first on ties.
uint32_t Nearest(uint32_t c) {
  const std::vector<platform::Colour>& table = platform::DisplayColourTable(8);
  auto distance = [](uint32_t a, uint32_t b) {
    int d = 0;
    for (int s : {0, 8, 16}) d += std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF));
    return d;
  };
  uint32_t best = table[0];
  for (uint32_t e : table) best = distance(e, c) < distance(best, c) ? e : best;
  return best;
}

TEST_F(EightBitDisplay, APictureIsReadAndShownInTheDisplaysColours) {
  std::ifstream sample(std::string(TINTWELL_SOURCE_DIR) + "/samples/sample.bmp", std::ios::binary);
  writeFile("sample.bmp", std::vector<uint8_t>(std::istreambuf_iterator<char>(sample), {}));
  ASSERT_NE(open("sample.bmp"), nullptr);
  std::mt19937 random(8);
  std::vector<uint32_t> pixels(60 * 40);
  for (uint32_t& p : pixels) p = random() & 0xFFFFFF;
  writeBmp("random.bmp", 60, 40, pixels);
  Document* d = open("random.bmp");
  ASSERT_NE(d, nullptr);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const uint8_t* p = JPixelBufferRow(d->workingBuffer, 39 - y) + 3 * x;
      ASSERT_EQ(static_cast<uint32_t>(p[2] << 16 | p[1] << 8 | p[0]), Nearest(pixels[y * 60 + x])) << x << "," << y;
    }
  const int cx = d->centreX, cy = d->centreY;
  EXPECT_EQ(shown(d->window, cx + 7, cy + 5), Nearest(pixels[5 * 60 + 7]));
  wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/screen-8bit.bmp");
}

}  // namespace
