#include <gtest/gtest.h>

#include "app/graphs/MagnifierWindow.h"
#include "app/shell/AboutBox.h"
#include "app/shell/Documents.h"
#include "app/shell/MemoryWindow.h"
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

bool gSplashSeen = false, gMagnifierQuiet = false;

// The splash, when there is one, clicked away; the program is closed a second later.
void ClickSplash(void*) {
  JSchedule(ClickMainCloseBox, nullptr, 1000);
  JWindow* splash = AboutWindow();
  if (!(gSplashSeen = splash != nullptr)) return;
  JWindowManager().compose();
  JWindowManager().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/splash.bmp");
  const platform::Rect c = JWindowManager().screenClientRect(*JWindowManager().window(splash->platformWindow));
  HeadlessInput().click((c.left + c.right) / 2, (c.top + c.bottom) / 2);
}

}  // namespace

// Start-up end to end. On a deep display the splash, clicked away, then the magnifier and
// memory windows, neither taking the focus, and the Open dialog, cancelled with Escape. On
// an 8-bit display the depth warning (answered by a Return typed ahead) takes the splash's
// place: the two windows open at once and no dialog follows.
TEST(MainRoutine, StartsWithTheSplashOrTheDepthWarningThenTheMagnifierAndMemoryWindows) {
  for (int depth : {32, 8}) {
    static char name[] = "tintwell";
    char* argv[] = {name, nullptr};
    JStartValues v = {"headless", 800, 600, 1, argv, 0, depth};
    ASSERT_TRUE(JToolkitInit(&v));
    JFileTypesInit();
    gSplashSeen = gMagnifierQuiet = false;
    DialogScript dialogs;
    dialogs.then([](JWindow* dialog, const char*) {
      gMagnifierQuiet = MagnifierWindow() && MemoryUsageWindow() && JActiveWindow() == dialog;
      HeadlessInput().key(platform::wm::kKeyEscape, 27);
    });
    if (depth == 8) HeadlessInput().key(platform::wm::kKeyReturn, '\r');
    JSchedule(ClickSplash, nullptr, 500);
    JSchedule([](void*) { JQuit(); }, nullptr, program::kTimeLimit);
    ApplicationMain();
    EXPECT_LT(JWindowManager().ticks(), program::kTimeLimit);  // closed by the click
    EXPECT_TRUE(MagnifierWindow() && MemoryUsageWindow() && JActiveWindow() != MagnifierWindow()) << depth;
    JToolkitShutdown();
    EXPECT_EQ(gSplashSeen, depth == 32);
    EXPECT_EQ(gMagnifierQuiet, depth == 32);
    EXPECT_EQ(dialogs.stepsLeft(), depth == 32 ? 0u : 1u);
    EXPECT_EQ(dialogs.unexpected, 0);
  }
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
