#include <gtest/gtest.h>

#include "app/shell/Documents.h"
#include "app/shell/MainRoutine.h"
#include "jwin/J_event.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "tests/app/shell/program_fixture.h"

namespace {

void ClickMainCloseBox(void*) {
  platform::wm::WindowManager& wm = JWindowManager();
  const platform::wm::Window* frame = wm.window(wm.mainFrame());
  const platform::Rect box = frame->closeBoxRect().translated(frame->frame().left, frame->frame().top);
  HeadlessInput().click(box.left + 4, box.top + 4);
}

}  // namespace

TEST(MainRoutine, RunsUntilTheMainWindowIsClosed) {
  program::Run({}, ClickMainCloseBox, 500, [] {
    EXPECT_FALSE(JEventLoopRunning());
    EXPECT_GT(JWindowManager().ticks(), 500u);
    EXPECT_LT(JWindowManager().ticks(), program::kTimeLimit);
  });
}

TEST(MainRoutine, AnUnknownBackendDoesNotStart) {
  JStartValues v = {"teletype", 0, 0, 0, nullptr, 0, 0};
  EXPECT_FALSE(JToolkitInit(&v));
  EXPECT_EQ(platform::wm::Desktop::Current(), nullptr);
}

// The print option before a file: the printing alert (answered by a Return typed
// ahead), with its beep, and the program ends by itself.
TEST(MainRoutine, ThePrintOptionShowsThePrintingAlertAndQuits) {
  static char name[] = "tintwell", option[] = "/p", file[] = "Harbour.bmp";
  char* argv[] = {name, option, file, nullptr};
  JStartValues v = {"headless", 640, 480, 3, argv, 0, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  HeadlessInput().key(platform::wm::kKeyReturn, '\r');
  JSchedule([](void*) { JQuit(); }, nullptr, program::kTimeLimit);
  ApplicationMain();
  EXPECT_LT(JWindowManager().ticks(), program::kTimeLimit);  // ended by the request, not the time limit
  EXPECT_EQ(HeadlessInput().beeps(), 1);
  EXPECT_EQ(OpenDocumentCount(), 0u);
  JToolkitShutdown();
}
