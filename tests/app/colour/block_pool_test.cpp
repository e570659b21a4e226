#include <gtest/gtest.h>

#include "app/colour/BlockPool.h"

// Pairs of half-line blocks must start at an even handle to fill one line; the
// block skipped to get there goes to the next single, and nothing is lost.
TEST(BlockPool, PairsStartEvenAndTheSkippedBlockIsTakenNext) {
  BlockPool* pool = BlockPoolCreate(4, 32);
  const uint32_t first = BlockPoolGetPair(pool);
  const uint32_t single = BlockPoolGet(pool);
  const uint32_t second = BlockPoolGetPair(pool);
  const uint32_t after = BlockPoolGet(pool);
  EXPECT_EQ(first % 2, 0u);
  EXPECT_EQ(second % 2, 0u);
  EXPECT_EQ(single, first - 1) << "the block skipped for the first pair";
  EXPECT_EQ(after, second + 2) << "no block skipped after a pair";
  EXPECT_EQ(reinterpret_cast<uintptr_t>(BlockPoolAddress(pool, second)) % 64, 0u);
  BlockPoolPutPair(pool, first);
  EXPECT_EQ(BlockPoolGetPair(pool), first) << "a returned pair is reused";
  for (uint32_t pair : {first, second}) BlockPoolPutPair(pool, pair);
  BlockPoolPut(pool, single);
  EXPECT_NE(BlockPoolBytes(pool), 0u);
  BlockPoolPut(pool, after);
  EXPECT_EQ(BlockPoolBytes(pool), 0u) << "an idle pool holds no memory";
  BlockPoolDestroy(pool);
}
