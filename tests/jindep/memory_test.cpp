#include <gtest/gtest.h>

#include <cstring>

#include "jindep/memory.h"

TEST(Memory, FreeingAndTakingTheSameSizeLeavesBytesInUseUnchanged) {
  void* a = JAlloc(1000);
  const uint64_t before = JMemBytesInUse();
  JFree(a);
  void* b = JAlloc(1000);
  EXPECT_EQ(JMemBytesInUse(), before);
  JFree(b);
}

TEST(Memory, ReallocKeepsContentsAndAccountsTheNewSize) {
  const uint64_t start = JMemBytesInUse();
  char* p = static_cast<char*>(JAlloc(16));
  memcpy(p, "0123456789abcdef", 16);
  p = static_cast<char*>(JRealloc(p, 1 << 20));
  EXPECT_EQ(0, memcmp(p, "0123456789abcdef", 16));
  EXPECT_GE(JMemBytesInUse(), start + (1 << 20));
  EXPECT_GE(JMemPeakBytes(), JMemBytesInUse());
  JFree(p);
  EXPECT_EQ(JMemBytesInUse(), start);
}

TEST(Memory, OneFailedHeapRequestIsRetried) {
  JMemFailNextAllocations(1);
  char* s = JStrDup("retry");
  EXPECT_STREQ(s, "retry");
  JStrFree(s);
}

TEST(MemoryDeathTest, ExhaustedHeapRunsTheCallbackOnceAndExitsWithFailure) {
  EXPECT_EXIT(
      {
        JMemSetOutOfMemoryCallback([](void*, int count) { fprintf(stderr, "oom %d\n", count); }, nullptr);
        JMemFailNextAllocations(2);
        JAlloc(10);
      },
      ::testing::ExitedWithCode(3), "oom 1");
}
