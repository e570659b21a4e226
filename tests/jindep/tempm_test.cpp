#include "jindep/Ji_tempm.h"

#include <gtest/gtest.h>

#include <cstring>

#include "debug_log.h"
#include "jindep/memory.h"

TEST(TempMemory, BlocksLiveUntilTheReleaseOfTheirMarkAndNoLonger) {
  const uint64_t start = JMemBytesInUse();
  const size_t depth = JTempDepth();
  JTempMark();
  char* a = static_cast<char*>(JTempAlloc(1000));
  char* b = JStrDup("adopted");
  JTempAdopt(b);
  JTempMark();
  JTempMark();
  JTempRelease();  // an empty mark frees nothing of the outer one
  char* inner = static_cast<char*>(JTempAlloc(5000));
  memset(inner, 1, 5000);
  for (int i = 0; i < 100000; ++i) JTempAlloc(static_cast<size_t>(i % 97));  // many blocks, one release
  const uint64_t withInner = JMemBytesInUse();
  JTempRelease();
  EXPECT_LT(JMemBytesInUse(), withInner);
  // The outer blocks are still usable (ASan would stop here if they had been freed).
  memset(a, 2, 1000);
  EXPECT_STREQ(b, "adopted");
  JTempRelease();
  EXPECT_EQ(JMemBytesInUse(), start);
  EXPECT_EQ(JTempDepth(), depth);
}

using TempMemoryLog = DebugLogTest;

TEST_F(TempMemoryLog, ReleaseWithoutAMarkIsReportedAndHarmless) {
  ASSERT_EQ(JTempDepth(), 0u);
  JTempRelease();
  EXPECT_EQ(JTempDepth(), 0u);
  auto text = LogText();
  EXPECT_NE(text.find("\"jindep/Ji_tempm\""), std::string::npos) << text;
  EXPECT_NE(text.find("line #"), std::string::npos) << text;
}
