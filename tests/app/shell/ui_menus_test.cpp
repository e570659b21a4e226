// The whole program on the headless desktop, driven through its menus from the keyboard:
// a picture from the command line, its window closed through File > Close Window chosen
// with Alt+F and W, and the program ended with Ctrl+Q.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell/Documents.h"
#include "app/shell/MainRoutine.h"
#include "app/shell/Menus.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_menu.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "tests/platform/dib/bmp_builder.h"
#include "tests/app/shell/config_home.h"

namespace {

using platform::wm::kAlt;
using platform::wm::kCtrl;

platform::backend::HeadlessBackend& Input() {
  return static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
}

std::vector<std::string> Titles() {
  std::vector<std::string> out;
  for (const platform::wm::Menu& m : JWindowManager().menus()) out.push_back(m.title);
  return out;
}

int steps = 0;

void Quit(void*) { JQuit(); }

void AfterClose(void*) {
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"&File", "&Edit"}));
  EXPECT_FALSE(JMenuItemEnabled(GetMenuRecords()->closeWindow));
  ++steps;
  Input().key('q', 'q', kCtrl);
}

void MenuOpen(void*) {
  EXPECT_TRUE(JWindowManager().popup().isOpen());
  ++steps;
  Input().key('w', 'w');
  JSchedule(AfterClose, nullptr, 200);
}

void WithDocument(void*) {
  ASSERT_EQ(OpenDocumentCount(), 1u);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"&File", "&Edit", "&Windows"}));
  ++steps;
  Input().key('f', 'f', kAlt);
  JSchedule(MenuOpen, nullptr, 100);
}

TEST(ProgramMenus, ClosedAndQuitFromTheKeyboard) {
  char pattern[] = "/tmp/tintwell-menus-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = std::string(pattern) + "/";
  BmpSpec s;
  s.width = 16;
  s.height = 12;
  for (int i = 0; i < s.width * s.height; ++i) s.pixels.push_back(static_cast<uint32_t>(i % 5) * 0x303030);
  const std::vector<uint8_t> bytes = BuildBmp(s);
  std::string path = dir + "start.bmp";
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);

  static char program[] = "tintwell";
  char* argv[] = {program, path.data(), nullptr};
  JStartValues v = {"headless", 800, 600, 2, argv, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  JFileTypesInit();
  JSchedule(WithDocument, nullptr, 300);
  // Ends the run even when a step fails before it gives the next key.
  constexpr uint32_t kLimit = 60000;
  JSchedule(Quit, nullptr, kLimit);
  ApplicationMain();
  EXPECT_EQ(steps, 3);
  EXPECT_LT(JWindowManager().ticks(), kLimit);  // Ctrl+Q ended it, not the time limit
  EXPECT_EQ(GetMenuRecords(), nullptr);          // the bar was given back at the end
  JToolkitShutdown();
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
