// The soft-focus, blending and fade filters against a direct recomputation from a copy
// taken before the pass, on uniform and random buffers.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/shell/PictureFilters.h"
#include "jwin/pixel_buffer.h"

namespace {

int At(const std::vector<uint8_t>& copy, const JPixelBuffer* b, int x, int y, int c) {
  return copy[static_cast<size_t>(y) * b->rowBytes + 3 * x + c];
}

TEST(PictureFilters, MatchADirectRecomputation) {
  std::mt19937 random(5);
  for (int kind = 0; kind < 6; ++kind) {
    const bool uniform = kind < 3;  // each filter once on a uniform buffer of 0, 127 and 255
    JPixelBuffer* b = JPixelBufferNew(3 + random() % 40, 3 + random() % 30);
    JPixelBuffer* other = JPixelBufferNew(b->width, b->height);
    const size_t size = static_cast<size_t>(b->rowBytes) * b->height;
    for (size_t i = 0; i < size; ++i) {
      b->pixels[i] = static_cast<uint8_t>(uniform ? (i % b->rowBytes % 3) * 255 / 2 : random());
      other->pixels[i] = static_cast<uint8_t>(random());
    }
    const std::vector<uint8_t> before(b->pixels, b->pixels + size);
    const int mode = kind % 3;  // soften, blend, fade
    if (mode == 0) SoftenPixels(b);
    if (mode == 1) SoftenPixelsToward(b, other);
    if (mode == 2) FadePixels(b);
    const std::vector<uint8_t> blend(other->pixels, other->pixels + size);
    for (int y = 0; y < b->height; ++y)
      for (int x = 0; x < b->width; ++x)
        for (int c = 0; c < 3; ++c) {
          const int self = At(before, b, x, y, c);
          int expected = self;
          if (mode == 2) {
            expected = self / 2 + 128;
          } else if (x > 0 && y > 0 && x + 1 < b->width && y + 1 < b->height) {
            const int sides = At(before, b, x - 1, y, c) + At(before, b, x + 1, y, c) + At(before, b, x, y - 1, c) +
                              At(before, b, x, y + 1, c);
            expected = mode == 0 ? (4 * self + sides) / 8 : (3 * self + sides + At(blend, b, x, y, c)) / 8;
          }
          ASSERT_EQ(b->pixels[static_cast<size_t>(y) * b->rowBytes + 3 * x + c], expected) << mode << " " << x << "," << y;
        }
    if (uniform && mode == 0) {
      EXPECT_EQ(std::vector<uint8_t>(b->pixels, b->pixels + size), before);
    }
    JPixelBufferFree(b);
    JPixelBufferFree(other);
  }
}

}  // namespace
