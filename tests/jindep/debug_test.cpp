#include "jindep/debug.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "debug_log.h"

namespace {

int64_t gFakeSecond = 0;
int64_t FakeClock() { return gFakeSecond; }

class DebugChannel : public DebugLogTest {
 protected:
  void SetUp() override {
    DebugLogTest::SetUp();
    setenv("TZ", "UTC", 1);
    tzset();
    JDebugSetClock(FakeClock);
  }
  void TearDown() override {
    JDebugSetClock(nullptr);
    JDebugSetEnabled(true);
    DebugLogTest::TearDown();
  }
};

const std::string kBlankPrefix(20, ' ');

}  // namespace

TEST_F(DebugChannel, StampsTheFirstLineOfASecondAndEveryEleventhLineWithinIt) {
  gFakeSecond = 1796601723;  // 2026-12-07 00:02:03 UTC
  for (int i = 0; i < 12; ++i) JDebugNumber(i - 1);
  gFakeSecond += 1;
  JDebugText("next second");
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "2026-12- 7  0:02:03 -1");
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(lines[i], kBlankPrefix + std::to_string(i - 1)) << i;
  EXPECT_EQ(lines[11], "2026-12- 7  0:02:03 10");
  EXPECT_EQ(lines[12], "2026-12- 7  0:02:04 next second");
  // Fields are two wide; minutes and seconds are zero-filled.
  gFakeSecond = 1796601723 + 86400 * 9 + 3600 * 13 + 60 * 5 + 6;  // 2026-12-16 13:07:09
  JDebugText("x");
  EXPECT_EQ(LogLines().back(), "2026-12-16 13:07:09 x");
}

TEST_F(DebugChannel, AssertFailNamesTheSourceAndLineUnlessTheChannelIsOff) {
  JDebugSetEnabled(false);
  JDebugText("hidden");
  JAssertFail("jindep/Ji_tempm", 1);
  EXPECT_TRUE(LogText().empty());
  JDebugSetEnabled(true);
  JAssertFail("jwin/J_gc", 88);
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(20, 12), "\"jwin/J_gc\" ");
  EXPECT_NE(lines[0].find(" line #88 '"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[0].back(), '\'');
}
