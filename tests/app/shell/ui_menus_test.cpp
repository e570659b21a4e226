// The whole program on the headless desktop, driven through its menus from the keyboard:
// a picture from the command line, its window closed through File > Close Window chosen
// with Alt+F and W, and the program ended with Ctrl+Q.
#include <string>
#include <vector>

#include "app/shell/Documents.h"
#include "app/shell/Menus.h"
#include "jwin/J_menu.h"
#include "tests/app/shell/program_fixture.h"

namespace {

using platform::wm::kAlt;
using platform::wm::kCtrl;

platform::backend::HeadlessBackend& Input() { return HeadlessInput(); }

std::vector<std::string> Titles() {
  std::vector<std::string> out;
  for (const platform::wm::Menu& m : JWindowManager().menus()) out.push_back(m.title);
  return out;
}

int steps = 0;

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
  const std::string dir = program::ScratchFolder();
  program::WriteSmallBmp(dir + "start.bmp");
  program::Run({dir + "start.bmp"}, WithDocument, 300, [] {
    EXPECT_EQ(steps, 3);
    EXPECT_LT(JWindowManager().ticks(), program::kTimeLimit);  // Ctrl+Q ended it, not the time limit
    EXPECT_EQ(GetMenuRecords(), nullptr);                       // the bar was given back at the end
  });
  program::RemoveFolder(dir);
}

}  // namespace
