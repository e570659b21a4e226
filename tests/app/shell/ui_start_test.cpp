// What a person meets at start-up: the warning about a shallow display, and the
// Preferences window that turns it off.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../jwin/window/toolkit_fixture.h"
#include "app/graphs/MagnifierWindow.h"
#include "app/shell/AboutBox.h"
#include "app/shell/ContactInfo.h"
#include "app/shell/DisplayCheck.h"
#include "app/shell/MemoryWindow.h"
#include "app/shell/PreferencesWindow.h"
#include "app/shell/Settings.h"
#include "config_home.h"
#include "tests/app/shell/program_fixture.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "jwin/J_alert.h"
#include "jwin/J_hleven.h"
#include "jwin/J_window.h"
#include "jwin/J_winproc.h"

namespace {

std::string gAlertMessage;

// A key typed ahead reaches the alert: its message is noted.
bool NoteAlert(void*, JKeyEvent*) {
  if (!program::AlertShown().empty()) gAlertMessage = program::AlertShown();
  return false;
}

// The toolkit started on displays of several depths: at 8 bits and fewer the start-up
// check warns, naming the colours and bits, unless the setting is off.
TEST(StartUp, WarnsAboutAShallowDisplay) {
  const struct {
    int depth;
    bool setting;
    const char* expected;
  } cases[] = {{4, true, "16 colour (4 bit) mode"}, {15, true, ""}, {8, false, ""}, {8, true, "256 colour (8 bit) mode"}};
  for (const auto& c : cases) {
    static char program[] = "tintwell";
    static char* argv[] = {program, nullptr};
    JStartValues v = {"headless", 800, 600, 1, argv, 0, c.depth};
    ASSERT_TRUE(JToolkitInit(&v));
    SetShowDepthWarning(c.setting);
    gAlertMessage = "";
    JSetKeyFilter(NoteAlert, nullptr);
    static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend())
        .key(platform::wm::kKeyReturn, '\r');
    EXPECT_EQ(CheckDisplayDepth(), !*c.expected);
    EXPECT_NE(gAlertMessage.find(c.expected), std::string::npos) << gAlertMessage;
    EXPECT_EQ(gAlertMessage.empty(), !*c.expected);
    JSetKeyFilter(nullptr, nullptr);
    JToolkitShutdown();
  }
}

TEST_F(ToolkitTest, PreferencesCheckBoxIsSavedAtOnce) {
  SetShowDepthWarning(true);
  OpenPreferences();
  JWindow* w = PreferencesWindow();
  OpenPreferences();  // a second opening brings the same window forward
  ASSERT_TRUE(w && w == PreferencesWindow());
  JWidget* toggle = JBoxChildAt(w->widgets[0], 0);
  EXPECT_EQ(JToggleState(toggle), 1);
  input().click(screenClient(w).left + toggle->x + 6, screenClient(w).top + toggle->y + toggle->height / 2);
  drain();
  std::stringstream file;
  file << std::ifstream(kTestConfigHome + "/tintwell/settings", std::ios::binary).rdbuf();
  EXPECT_NE(file.str().find("startup:No\r\n"), std::string::npos) << file.str();
  JRequestClose(w);
  drain();
  EXPECT_EQ(PreferencesWindow(), nullptr);
}

// A picture named on the command line is read only once the main window shows painted.
TEST(StartUp, TheMainWindowShowsBeforeTheCommandLineIsRead) {
  static char program[] = "tintwell";
  static char file[] = "picture.bmp";
  static char* argv[] = {program, file, nullptr};
  JStartValues v = {"headless", 640, 480, 2, argv, 0, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  static int presentsBefore = -1;
  static platform::Colour middle = 0;
  JSetHighLevelHandler(kJRequestOpenDocuments, [](void*, const char*) {
    presentsBefore = static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend()).presents();
    middle = JWindowManager().screen().pixel(320, 240);
    JQuit();
  }, nullptr);
  JRunEventLoop();
  EXPECT_GT(presentsBefore, 0);
  EXPECT_NE(middle, 0u);  // the workspace, not the black of a screen never drawn
  JToolkitShutdown();
}

// The memory window never opens over a minimised main window; laid out, it sits 5 pixels
// above the magnifier at the main window's corner, and it opens again where it was closed.
TEST_F(ToolkitTest, MemoryUsageWindowPlacement) {
  LayOutMemoryUsage();
  ShowMagnifier(false);
  wm().minimize(JMainPlatformWindow());
  OpenMemoryUsage(true);
  EXPECT_EQ(MemoryUsageWindow(), nullptr);
  wm().restore(JMainPlatformWindow());
  OpenMemoryUsage(true);
  JWindow* w = MemoryUsageWindow();
  ASSERT_NE(w, nullptr);
  const platform::Rect frame = screenFrame(w), magnifier = screenFrame(MagnifierWindow());
  EXPECT_EQ(frame.bottom + 5, magnifier.top);
  EXPECT_EQ(frame.right, magnifier.right);
  clock().advance(1000);  // a refresh
  JEventStep(nullptr, false);
  JMoveWindow(w, 20, 30);
  JRequestClose(w);
  drain();
  EXPECT_EQ(MemoryUsageWindow(), nullptr);
  OpenMemoryUsage(false);
  ASSERT_NE(MemoryUsageWindow(), nullptr);
  EXPECT_EQ(JGetWindowFrame(MemoryUsageWindow()).left, 20);
  EXPECT_EQ(JGetWindowFrame(MemoryUsageWindow()).top, 30);
}

// The About box over the screen it covers: after a second its stripes move a pixel right
// and down each frame (over the plain workspace); a click closes it.
TEST_F(ToolkitTest, AboutBoxAnimatesOverItsBackdropAndClosesOnAClick) {
  std::vector<platform::Colour> frames[3];
  for (int opening = 0; opening < 2; ++opening) {
    if (opening == 1) {
      OpenPreferences();  // something to be seen under the box
      drain();
    }
    LoadSettings();  // the first time straight after start-up, before any paint
    OpenAbout();
    ASSERT_NE(AboutWindow(), nullptr);
    const platform::Rect c = screenClient(AboutWindow());
    for (int i = 0; i < 3; ++i) {
      clock().advance(i == 1 ? 1000 : 40);
      JEventStep(nullptr, false);
      drain();
      frames[i].clear();  // above the logo: the pale stripes alone
      for (int y = 2; y < 16; ++y)
        for (int x = 2; x < 60; ++x) frames[i].push_back(wm().screen().pixel(c.left + x, c.top + y));
    }
    if (opening == 0) {
      EXPECT_EQ(frames[0][0], wm().screen().pixel(c.left - 10, c.top + 2));  // the workspace shows through
      EXPECT_NE(frames[0], frames[1]);
      for (int y = 3; y < 16; ++y)
        for (int x = 3; x < 60; ++x) ASSERT_EQ(frames[2][(y - 2) * 58 + x - 2], frames[1][(y - 3) * 58 + x - 3]) << x << "," << y;
    } else {
      wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/about.bmp");
    }
    input().click(c.left + 5, c.top + 5);
    drain();
    EXPECT_EQ(AboutWindow(), nullptr);
  }
}

// Contact Info shows faded stripes round its card; the first click softens it for twenty
// runs, a second click changes nothing, and closing forgets the window.
TEST_F(ToolkitTest, ContactInfoFadesSoftensOnTheFirstClickAndCloses) {
  OpenContactInfo();
  JWindow* w = ContactInfoWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(w->title, "Contact Info");
  const platform::Rect c = screenClient(w);
  auto picture = [&](int runs) {
    for (int i = 0; i < runs; ++i) {
      clock().advance(1);
      JEventStep(nullptr, false);
      drain();  // the repaint
    }
    drain();
    std::vector<platform::Colour> pixels;
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) pixels.push_back(wm().screen().pixel(c.left + x, c.top + y));
    return pixels;
  };
  const std::vector<platform::Colour> opened = picture(0);
  for (int channel = 0; channel < 24; channel += 8) EXPECT_GE(opened[0] >> channel & 0xFF, 128u);  // faded
  wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/contact_info.bmp");
  input().click(c.left + 5, c.top + 5);
  drain();
  const std::vector<platform::Colour> nineteen = picture(19), twenty = picture(1);
  EXPECT_NE(opened, nineteen);
  EXPECT_NE(nineteen, twenty);
  input().click(c.left + 5, c.top + 5);
  EXPECT_EQ(picture(30), twenty);
  JRequestClose(w);
  drain();
  EXPECT_EQ(ContactInfoWindow(), nullptr);
}

}  // namespace
