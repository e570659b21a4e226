// A toolkit running on the headless backend, with a virtual clock the test moves.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "jwin/J_event.h"
#include "jwin/J_menu.h"
#include "jwin/J_platform.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/clipboard/Clipboard.h"

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static char program[] = "tintwell";
    static char* argv[] = {program, nullptr};
    JStartValues v = {"headless", 800, 600, 1, argv, 0, 0};
    ASSERT_TRUE(JToolkitInit(&v));
  }
  void TearDown() override { JToolkitShutdown(); }

  platform::backend::HeadlessBackend& input() {
    return static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
  }
  platform::backend::VirtualClock& clock() { return input().virtualClock(); }
  platform::wm::WindowManager& wm() { return JWindowManager(); }
  // Steps without idle waiting (the clock stays put) until the queue is empty.
  void drain() {
    for (int i = 0; i < 1000; ++i) {
      platform::wm::Message m;
      wm().pumpInput();
      if (!wm().nextMessage(&m, 0, false)) break;
      JEventStep(nullptr, false);
    }
  }
  // A key pressed (with its character and modifiers) and handled.
  void key(uint16_t code, uint32_t character = 0, uint8_t mods = 0) {
    input().key(code, character, mods);
    drain();
  }
  // A menu bar with File > Quit (Ctrl+Q) whose runs are counted in *runs; JMenuShutdown ends it.
  void installQuitMenu(int* runs) {
    JMenuInit("0");
    JMenuBar* bar = JNewMenuBar();
    JMenu* file = JNewMenuFromText("FFile");
    JMenuItem* quit = JNewMenuItemFromText("QQQuit");
    JSetMenuItemProc(quit, [](JMenuItem*, void* count) { ++*static_cast<int*>(count); }, runs);
    JAppendMenuItem(file, quit);
    JAppendMenu(bar, file);
    JSetMenuBar(bar);
  }
  // The clipboard as another program sees it and fills it.
  static constexpr uintptr_t kOtherProgram = 77;
  std::string clipboardText() {
    if (!platform::clipboard::Open(kOtherProgram)) return "<busy>";
    const std::string* t = platform::clipboard::GetText();
    const std::string out = t ? *t : "<none>";
    platform::clipboard::Close(kOtherProgram);
    return out;
  }
  void putOnClipboard(const std::string& s) {
    ASSERT_TRUE(platform::clipboard::Open(kOtherProgram));
    platform::clipboard::Empty(kOtherProgram);
    platform::clipboard::SetText(kOtherProgram, s);
    platform::clipboard::Close(kOtherProgram);
  }
  platform::Rect screenFrame(JWindow* w) { return wm().screenFrame(*wm().window(w->platformWindow)); }
  platform::Rect screenClient(JWindow* w) { return wm().screenClientRect(*wm().window(w->platformWindow)); }
};
