// Pictures opened on a display of 8 bits a pixel are read, and shown, in its colours.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "platform/DisplayColours.h"
#include "tests/app/shell/documents_fixture.h"
#include "tests/platform/wm/nearest_entry.h"

TEST_F(DocumentsTest, OnAnEightBitDisplayPicturesAreReadInItsColours) {
  wm().screen().setDepth(8);
  JSetDisplayDepth(8);
  std::ifstream sample(std::string(TINTWELL_SOURCE_DIR) + "/samples/sample.bmp", std::ios::binary);
  writeFile("sample.bmp", std::vector<uint8_t>(std::istreambuf_iterator<char>(sample), {}));
  ASSERT_NE(open("sample.bmp"), nullptr);
  std::mt19937 random(8);
  std::vector<uint32_t> pixels(60 * 40);
  for (uint32_t& p : pixels) p = random() & 0xFFFFFF;
  writeBmp("random.bmp", 60, 40, pixels);
  Document* d = open("random.bmp");
  ASSERT_NE(d, nullptr);
  const std::vector<platform::Colour>& table = platform::DisplayColourTable(8);
  for (int i = 0; i < 60 * 40; ++i) {
    const uint8_t* p = JPixelBufferRow(d->workingBuffer, 39 - i / 60) + 3 * (i % 60);
    ASSERT_EQ(static_cast<uint32_t>(p[2] << 16 | p[1] << 8 | p[0]), NearestEntry(table, pixels[i])) << i;
  }
  EXPECT_EQ(shown(d->window, d->centreX + 7, d->centreY + 5), NearestEntry(table, pixels[5 * 60 + 7]));
  wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/screen-8bit.bmp");
}
