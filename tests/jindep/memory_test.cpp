#include "jindep/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(Memory, BlocksGrowingPastTheLargeSizeKeepTheirContentsAndAccounting) {
  const uint64_t start = JMemBytesInUse();
  constexpr size_t kSmall = 1 << 20, kLarge = 3 << 20, kLarger = 7 << 20;
  uint8_t* p = static_cast<uint8_t*>(JAlloc(kSmall));
  for (size_t i = 0; i < kSmall; ++i) p[i] = static_cast<uint8_t>(i * 7);
  p = static_cast<uint8_t*>(JRealloc(p, kLarge));
  p = static_cast<uint8_t*>(JRealloc(p, kLarger));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % (2u << 20), 0u);  // large blocks start on a 2 MiB boundary
  for (size_t i = kSmall; i < kLarger; ++i) p[i] = 1;
  size_t wrong = 0;
  for (size_t i = 0; i < kSmall; ++i) wrong += p[i] != static_cast<uint8_t>(i * 7);
  EXPECT_EQ(wrong, 0u);
  EXPECT_GE(JMemBytesInUse(), start + kLarger);
  p = static_cast<uint8_t*>(JRealloc(p, kLarge));  // shrinking keeps the front
  EXPECT_EQ(p[12345], static_cast<uint8_t>(12345 * 7));
  JFree(p);
  EXPECT_EQ(JMemBytesInUse(), start);
}

// Only whole pages inside the range go back: the bytes around them keep their
// contents, the pages read as zeros and take writes again.
TEST(Memory, GivenBackPagesReadAsZerosAndTheBytesAroundThemAreKept) {
  for (size_t size : {size_t{100000}, size_t{5} << 20}) {
    uint8_t* block = static_cast<uint8_t*>(JAlloc(size));
    std::memset(block, 0xAB, size);
    JGiveBackPages(block + 100, size - 200);
    size_t zeros = 0;
    for (size_t i = 0; i < size; ++i) zeros += block[i] == 0;
    EXPECT_GT(zeros, size / 2);
    for (size_t i = 0; i < 100; ++i) ASSERT_TRUE(block[i] == 0xAB && block[size - 1 - i] == 0xAB) << i;
    std::memset(block, 0xCD, size);
    JFree(block);
  }
}

TEST(Memory, ZeroSizedBlocksAreRealBlocksAndOneFailedRequestIsRetried) {
  void* a = JAlloc(0);
  JMemFailNextAllocations(1);
  void* b = JAlloc(0);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(a, b);
  JFree(a);
  JFree(b);
}

TEST(MemoryDeathTest, ExhaustedHeapRunsTheCallbackOnceAndExitsWithFailure) {
  EXPECT_EXIT(
      {
        JMemSetOutOfMemoryCallback([](void*, int count) { fprintf(stderr, "oom %d\n", count); }, nullptr);
        JMemFailNextAllocations(2);
        JAlloc(10);
      },
      ::testing::ExitedWithCode(kJOutOfMemoryExitCode), "oom 1");
}

TEST(MemoryDeathTest, RunningOutAgainWhileTheAlertIsUpExitsAtOnce) {
  EXPECT_EXIT(
      {
        JMemSetEmergencyReserve(65536);
        JMemSetOutOfMemoryCallback(
            [](void*, int count) {
              fprintf(stderr, "alert %d\n", count);
              JMemFailNextAllocations(2);
              JAlloc(10);
              fprintf(stderr, "alert went on\n");
            },
            nullptr);
        JMemFailNextAllocations(2);
        JAlloc(10);
      },
      ::testing::ExitedWithCode(kJOutOfMemoryExitCode), "alert 1\n$");
}

namespace {

struct Watched {
  JMemLevel level = kJMemSufficient;
  uint32_t tick = 1000;
  std::vector<int> states;
};
Watched gWatched;

class LowMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    gWatched = Watched();
    JMemSetLevelProc([](void*) { return gWatched.level; }, nullptr);
    JMemSetTickProc([](void*) { return gWatched.tick; }, nullptr);
    JMemSetLowMemoryCallback(
        [](void*, int state) {
          gWatched.states.push_back(state);
          JFree(JAlloc(100));  // the callback may allocate without re-entering the watch
        },
        nullptr);
    JMemWatch();
  }
  void TearDown() override {
    // Leave memory sufficient for the tests that follow, far enough ahead to be heard.
    gWatched.level = kJMemSufficient;
    gWatched.tick += 300000;
    JMemWatch();
    JMemSetLowMemoryCallback(nullptr, nullptr);
    JMemSetLevelProc(nullptr, nullptr);
    JMemSetTickProc(nullptr, nullptr);
  }
};

}  // namespace

// Low memory lets the reserve go and is announced once in two minutes; recovery is
// announced only when memory is sufficient again, not merely fair.
TEST_F(LowMemory, LowIsAnnouncedOnceInTwoMinutesAndRecoveryOnlyWhenSufficient) {
  EXPECT_TRUE(JMemReserveHeld());
  gWatched.level = kJMemLow;
  JFree(JAlloc(10));
  EXPECT_FALSE(JMemReserveHeld());
  ASSERT_EQ(gWatched.states, std::vector<int>{1});
  gWatched.tick += 119999;
  JMemWatch();
  EXPECT_EQ(gWatched.states, std::vector<int>{1});
  gWatched.tick += 1;
  JMemWatch();
  EXPECT_EQ(gWatched.states, (std::vector<int>{1, 1}));
  gWatched.level = kJMemFair;
  gWatched.tick += 10;
  JMemWatch();
  EXPECT_TRUE(JMemReserveHeld());
  EXPECT_EQ(gWatched.states, (std::vector<int>{1, 1}));
  gWatched.level = kJMemSufficient;
  gWatched.tick += 10;
  JMemWatch();
  JMemWatch();
  EXPECT_EQ(gWatched.states, (std::vector<int>{1, 1, 0}));
}

TEST(MemoryStats, ReadsTheSystemFiguresIn64BitsAndRejectsTextWithoutSensibleFigures) {
  const std::string text =
      "MemTotal:       67108864 kB\nMemFree:         1000000 kB\nMemAvailable:   16777216 kB\n"
      "Buffers:          123456 kB\nSwapTotal:       8388608 kB\nSwapFree:        4194304 kB\n";
  JMemStats s;
  ASSERT_TRUE(JMemStatsFromMeminfo(text.data(), text.size(), &s));
  EXPECT_EQ(s.total, (67108864ull + 8388608ull) * 1024);
  EXPECT_EQ(s.free, (16777216ull + 4194304ull) * 1024);
  EXPECT_EQ(s.percentUsed, 75u);
  EXPECT_EQ(s.percentFree, 25u);
  const char* bad[] = {
      "",
      "MemTotal: 100 kB\n",
      "MemTotal: 100 kB\nMemAvailable: 200 kB\n",
      "MemTotal: 0 kB\nMemAvailable: 0 kB\n",
      "MemTotal: 99999999999999999999999 kB\nMemAvailable: 1 kB\n",
      "MemTotal:\nMemAvailable: 1 kB\n",
      "XMemTotal: 100 kB\nMemAvailable: 1 kB\n",
  };
  for (const char* text : bad) EXPECT_FALSE(JMemStatsFromMeminfo(text, strlen(text), &s)) << text;
  // The length given is respected: the figure after the cut is not read.
  const char cut[] = "MemTotal: 1000 kB\nMemAvailable: 5";
  EXPECT_FALSE(JMemStatsFromMeminfo(cut, sizeof cut - 2, &s));
  ASSERT_TRUE(JMemStatsFromMeminfo(cut, sizeof cut - 1, &s));
  EXPECT_EQ(s.free, 5u * 1024);
}
