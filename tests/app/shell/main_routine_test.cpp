#include <gtest/gtest.h>

#include "app/shell/Documents.h"
#include "app/shell/MainRoutine.h"
#include "jwin/J_event.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "tests/app/shell/config_home.h"

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

// The print option before a file: the printing alert (answered by a Return typed
// ahead), with its beep, and the program ends by itself.
TEST(MainRoutine, ThePrintOptionShowsThePrintingAlertAndQuits) {
  static char program[] = "tintwell";
  static char option[] = "/p";
  static char file[] = "Harbour.bmp";
  char* argv[] = {program, option, file, nullptr};
  JStartValues v = {"headless", 640, 480, 3, argv, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  platform::backend::HeadlessBackend& input =
      static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
  input.key(platform::wm::kKeyReturn, '\r');
  constexpr uint32_t kLimit = 60000;
  JSchedule([](void*) { JQuit(); }, nullptr, kLimit);
  ApplicationMain();
  EXPECT_LT(JWindowManager().ticks(), kLimit);  // ended by the request, not the time limit
  EXPECT_EQ(input.beeps(), 1);
  EXPECT_EQ(OpenDocumentCount(), 0u);
  JToolkitShutdown();
}
