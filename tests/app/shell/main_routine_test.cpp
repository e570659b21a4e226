#include <gtest/gtest.h>

#include "app/shell/bit_reverse.h"
#include "app/shell/main_routine.h"
#include "jwin/J_event.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "platform/backend/headless/HeadlessBackend.h"

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

namespace {

void ClickMainCloseBox(void*) {
  platform::wm::WindowManager& wm = JWindowManager();
  const platform::wm::Window* frame = wm.window(wm.mainFrame());
  const platform::Rect box = frame->closeBoxRect().translated(frame->frame().left, frame->frame().top);
  static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend())
      .click(box.left + 4, box.top + 4);
}

}  // namespace

TEST(MainRoutine, RunsUntilTheMainWindowIsClosed) {
  static char program[] = "tintwell";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 640, 480, 1, argv, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  JSchedule(ClickMainCloseBox, nullptr, 500);
  ApplicationMain();  // returns only once the loop has ended
  EXPECT_FALSE(JEventLoopRunning());
  EXPECT_GT(JWindowManager().ticks(), 500u);
  JToolkitShutdown();
}

TEST(MainRoutine, AnUnknownBackendDoesNotStart) {
  JStartValues v = {"teletype", 0, 0, 0, nullptr, 0};
  EXPECT_FALSE(JToolkitInit(&v));
  EXPECT_EQ(platform::wm::Desktop::Current(), nullptr);
}
