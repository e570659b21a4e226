#include <gtest/gtest.h>

#include "app/document/BitReverse.h"

TEST(BitReverse, TableAndWordsReverseEveryBit) {
  BuildBitReverseTable();
  const uint8_t* t = BitReverseTable();
  for (int i = 0; i < 256; ++i)
    for (int b = 0; b < 8; ++b) ASSERT_EQ((t[i] >> (7 - b)) & 1, (i >> b) & 1) << i;
  for (uint32_t w : {0u, 0xFFFFFFFFu, 0xDEADBEEFu, 0x00010000u}) {
    EXPECT_EQ(ReverseBits32(ReverseBits32(w)), w);
    for (int b = 0; b < 32; ++b) ASSERT_EQ((ReverseBits32(w) >> (31 - b)) & 1u, (w >> b) & 1u);
  }
}
