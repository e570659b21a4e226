// On a display of 4 or 8 bits a pixel, pictures are read and everything is shown in the
// display's colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "platform/DisplayColours.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

// The entry with the smallest sum of channel differences, the first on ties.
platform::Colour NearestEntry(const std::vector<platform::Colour>& table, platform::Colour c) {
  auto distance = [c](platform::Colour e) {
    int d = 0;
    for (int s : {0, 8, 16}) d += std::abs(static_cast<int>((e >> s) & 0xFF) - static_cast<int>((c >> s) & 0xFF));
    return d;
  };
  platform::Colour best = table[0];
  for (platform::Colour e : table) best = distance(e) < distance(best) ? e : best;
  return best;
}

TEST_F(DocumentsTest, OnAShallowDisplayPicturesAreReadAndShownInItsColours) {
  std::ifstream sample(std::string(TINTWELL_SOURCE_DIR) + "/samples/sample.bmp", std::ios::binary);
  writeFile("sample.bmp", std::vector<uint8_t>(std::istreambuf_iterator<char>(sample), {}));
  std::mt19937 random(8);
  std::vector<uint32_t> pixels(60 * 40);
  for (uint32_t& p : pixels) p = random() & 0xFFFFFF;
  writeBmp("random.bmp", 60, 40, pixels);
  for (int depth : {4, 8}) {
    wm().screen().setDepth(depth);
    JSetDisplayDepth(static_cast<uint16_t>(depth));
    ASSERT_NE(open("sample.bmp"), nullptr);
    Document* d = open("random.bmp");
    ASSERT_NE(d, nullptr);
    const std::vector<platform::Colour>& table = platform::DisplayColourTable(depth);
    for (int i = 0; i < 60 * 40; ++i) {
      const uint8_t* p = JPixelBufferRow(d->workingBuffer, 39 - i / 60) + 3 * (i % 60);
      ASSERT_EQ(static_cast<uint32_t>(p[2] << 16 | p[1] << 8 | p[0]), NearestEntry(table, pixels[i])) << i;
    }
    const platform::Bitmap& composed = wm().screen().composition();  // windows merged in full colour
    std::map<platform::Colour, platform::Colour> shows;
    for (int y = 0; y < composed.height(); ++y)
      for (int x = 0; x < composed.width(); ++x) {
        const platform::Colour c = composed.row32(y)[x] & 0xFFFFFF;
        if (!shows.count(c)) shows[c] = NearestEntry(table, c);
        ASSERT_EQ(wm().screen().pixel(x, y), shows[c]) << x << "," << y;
      }
    if (depth == 8) wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/screen-8bit.bmp");
    CloseAllDocuments();
    drain();
  }
}

}  // namespace
