#include <gtest/gtest.h>

#include "app/document/BitReverse.h"

TEST(BitReverse, TableAndWordsReverseEveryBit) {
  BuildBitReverseTable();
  const uint8_t* t = BitReverseTable();
  EXPECT_EQ(t[0x01], 0x80);
  EXPECT_EQ(t[0xF0], 0x0F);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(t[t[i]], i);
  EXPECT_EQ(ReverseBits32(1u), 0x80000000u);
  EXPECT_EQ(ReverseBits32(0x12345678u), 0x1E6A2C48u);
  for (uint32_t w : {0u, 0xFFFFFFFFu, 0xDEADBEEFu, 0x00010000u}) {
    EXPECT_EQ(ReverseBits32(ReverseBits32(w)), w);
    for (int b = 0; b < 32; ++b) ASSERT_EQ((ReverseBits32(w) >> (31 - b)) & 1u, (w >> b) & 1u);
  }
}
