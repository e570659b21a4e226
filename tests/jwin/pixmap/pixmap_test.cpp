// Pixel maps, pixel buffers and bit arrays, and the transfers between them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "jindep/memory.h"
#include "jwin/bit_array.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "jwin/J_draw.h"
#include "platform/Bitmap.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/wm/Desktop.h"

namespace {

TEST(PixelBuffer, RowBytesDoNotWrapAt16Bits) {
  JPixelBuffer* wide = JPixelBufferNew(21845, 2);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->rowBytes, 65536u);
  wide->pixels[2 * 65536 - 1] = 7;  // the whole buffer is there
  JPixelBufferFree(wide);
}

TEST(PixelBuffer, SizesOutsideTheModelAreRefusedWithAReasonAndNothingAllocated) {
  const uint64_t before = JMemBytesInUse();
  for (auto [w, h] : {std::pair<int64_t, int64_t>{0, 5}, {5, 0}, {-3, 5}, {32768, 1}, {1, 32768}, {70000, 70000}}) {
    EXPECT_NE(JPictureSizeProblem(w, h), nullptr);
    EXPECT_EQ(JPixelBufferNew(w, h), nullptr);
    EXPECT_EQ(JBitArrayNew(w, h), nullptr);
  }
  EXPECT_EQ(JPixMapNewDirect(0, 3, 32), nullptr);
  EXPECT_EQ(JMaskMapNew(3, -1), nullptr);
  EXPECT_EQ(JPixMapNewDirect(3, 3, 0), nullptr);
  EXPECT_EQ(JPixMapLiveCount(), 0u);
  EXPECT_EQ(JMemBytesInUse(), before);
  EXPECT_EQ(JPictureSizeProblem(32767, 1), nullptr);
}

TEST(PixMap, NewMapsStartWhiteAndAreRegisteredUntilFreed) {
  JPixMap* map = JPixMapNewDirect(37, 5, 32);
  JPixMap* mask = JMaskMapNew(37, 5);
  ASSERT_NE(map, nullptr);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(JPixMapLiveCount(), 2u);
  JPixelBuffer* buffer = JPixelBufferNew(37, 5);
  std::memset(buffer->pixels, 0, static_cast<size_t>(buffer->rowBytes) * 5);
  JPixelBufferGet(buffer, 0, map, 0, 5);
  for (uint32_t y = 0; y < 5; ++y) {
    for (uint32_t i = 0; i < 3 * 37; ++i) ASSERT_EQ(JPixelBufferRow(buffer, y)[i], 0xFF);
  }
  JBitArray* bits = JBitArrayNew(37, 5);
  std::memset(bits->bits, 0, static_cast<size_t>(bits->wordsPerRow) * 4 * 5);
  JBitArrayGet(bits, 0, mask, 0, 5);
  for (uint32_t y = 0; y < 5; ++y) {
    for (int x = 0; x < 37; ++x) ASSERT_EQ((JBitArrayRow(bits, y)[x >> 3] >> (7 - (x & 7))) & 1, 1);
  }
  JBitArrayFree(bits);
  JPixelBufferFree(buffer);
  JPixMapFree(map);
  JPixMapFree(mask);
  EXPECT_EQ(JPixMapLiveCount(), 0u);
}

// Random pixels through a map and back: the buffer holds blue, green, red with
// the top row of the picture last in memory, and nothing else changes.
TEST(PixelBuffer, WholePictureTransfersKeepEveryPixel) {
  std::mt19937 rng(1);
  for (int width : {1, 2, 3, 4, 5, 31, 64, 201}) {
    int height = 1 + static_cast<int>(rng() % 9);
    JPixMap* map = JPixMapNewDirect(static_cast<int16_t>(width), static_cast<int16_t>(height), 32);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) map->bitmap->row32(y)[x] = rng() & 0xFFFFFF;
    }
    JPixelBuffer* buffer = JPixelBufferNew(width, height);
    JPixelBufferGet(buffer, 0, map, 0, height);
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = JPixelBufferRow(buffer, static_cast<uint32_t>(height - 1 - y));
      for (int x = 0; x < width; ++x) {
        uint32_t key = static_cast<uint32_t>(row[3 * x + 2]) << 16 | static_cast<uint32_t>(row[3 * x + 1]) << 8 | row[3 * x];
        ASSERT_EQ(key, map->bitmap->row32(y)[x]);
      }
    }
    JPixMap* copy = JPixMapNewDirect(static_cast<int16_t>(width), static_cast<int16_t>(height), 32);
    JPixelBufferPut(buffer, 0, height, copy, 0);
    for (int y = 0; y < height; ++y) {
      ASSERT_EQ(std::memcmp(copy->bitmap->row(y), map->bitmap->row(y), static_cast<size_t>(width) * 4), 0);
    }
    JPixelBufferFree(buffer);
    JPixMapFree(map);
    JPixMapFree(copy);
  }
}

TEST(PixelBuffer, MismatchedOrOutOfRangeTransfersDoNothing) {
  JPixMap* map = JPixMapNewDirect(8, 4, 32);
  map->bitmap->row32(0)[0] = 0x123456;
  JPixelBuffer* narrow = JPixelBufferNew(7, 4);
  JPixelBuffer* buffer = JPixelBufferNew(8, 4);
  std::memset(narrow->pixels, 0x11, static_cast<size_t>(narrow->rowBytes) * 4);
  std::memset(buffer->pixels, 0x11, static_cast<size_t>(buffer->rowBytes) * 4);
  JPixelBufferGet(narrow, 0, map, 0, 4);
  JPixelBufferGet(buffer, 0, map, 1, 4);
  JPixelBufferGet(buffer, 1, map, 0, 4);
  JPixelBufferGet(buffer, -1, map, 0, 2);
  for (size_t i = 0; i < static_cast<size_t>(narrow->rowBytes) * 4; ++i) ASSERT_EQ(narrow->pixels[i], 0x11);
  for (size_t i = 0; i < static_cast<size_t>(buffer->rowBytes) * 4; ++i) ASSERT_EQ(buffer->pixels[i], 0x11);
  JPixelBufferPut(narrow, 0, 4, map, 0);
  EXPECT_EQ(map->bitmap->row32(0)[0], 0x123456u);
  JPixelBufferFree(narrow);
  JPixelBufferFree(buffer);
  JPixMapFree(map);
}

TEST(BitArray, RoundTripsThroughAMaskMapForAnyWidth) {
  std::mt19937 rng(2);
  for (int width : {1, 31, 32, 33, 70}) {
    const int height = 3;
    JBitArray* bits = JBitArrayNew(width, height);
    EXPECT_EQ(bits->wordsPerRow, (width + 31) >> 5);
    const size_t bytes = static_cast<size_t>(bits->wordsPerRow) * 4 * height;
    for (size_t i = 0; i < bytes; ++i) bits->bits[i] = static_cast<uint8_t>(rng());
    JPixMap* mask = JMaskMapNew(static_cast<int16_t>(width), height);
    JBitArrayPut(bits, 0, height, mask, 0);
    // Array rows are bottom-up: the map's top row is the array's last.
    EXPECT_EQ(std::memcmp(mask->bitmap->row(0), JBitArrayRow(bits, height - 1), bits->wordsPerRow * 4u), 0);
    JBitArray* back = JBitArrayNew(width, height);
    JBitArrayGet(back, 0, mask, 0, height);
    EXPECT_EQ(std::memcmp(back->bits, bits->bits, bytes), 0);
    JBitArrayFree(bits);
    JBitArrayFree(back);
    JPixMapFree(mask);
  }
}

TEST(MaskMap, AndClearsAndMergePaintSetsTheSourceZeroBits) {
  JPixMap* overlay = JMaskMapNew(40, 2);
  JPixMap* mask = JMaskMapNew(40, 2);
  mask->bitmap->row(1)[0] = 0x7F;  // pixel (0, 1) is the masked colour
  JMaskMapCombine(overlay, mask, kJMaskAnd);
  EXPECT_EQ(overlay->bitmap->row(1)[0], 0x7F);
  EXPECT_EQ(overlay->bitmap->row(0)[0], 0xFF);
  JMaskMapCombine(overlay, mask, kJMaskMergePaint);
  EXPECT_EQ(overlay->bitmap->row(1)[0], 0xFF);
  JPixMapFree(overlay);
  JPixMapFree(mask);
}

// The start-up probe draws red and blue through the drawing layer: a display driver that
// delivers red first is found, and a red map still reads blue, green, red.
TEST(PixelOrder, TheProbeFindsADriverThatDeliversRedFirst) {
  for (auto [depth, redFirst] : {std::pair{32, false}, {32, true}, {8, true}}) {
    auto backend = std::make_unique<platform::backend::HeadlessBackend>();
    backend->setRedFirst(redFirst);
    platform::wm::Desktop::Start(std::move(backend), 640, 480, depth);
    JSetDisplayDepth(static_cast<uint16_t>(depth));
    JPixelOrderProbe();
    EXPECT_EQ(JPixelSwapFlag(), redFirst) << depth;
    JPixMap* map = JPixMapNewDirect(1, 1, 32);
    map->bitmap->row32(0)[0] = 0xFF0000;
    JPixelBuffer* buffer = JPixelBufferNew(1, 1);
    JPixelBufferGet(buffer, 0, map, 0, 1);
    EXPECT_EQ(buffer->pixels[0] << 16 | buffer->pixels[1] << 8 | buffer->pixels[2], 0x0000FF) << depth;
    JPixelBufferFree(buffer);
    JPixMapFree(map);
    JDrawShutdown();
    platform::wm::Desktop::Stop();
  }
  JSetDisplayDepth(32);
  JPixelOrderProbe();
}

}  // namespace
