#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/document/Document.h"
#include "app/shell/Documents.h"
#include "app/shell/Menus.h"
#include "jwin/J_event.h"
#include "jwin/J_menu.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

using platform::wm::kCtrl;

std::vector<std::string> keys;
void WindowKey(JWindow*, JKeyEvent* k) { keys.push_back(std::string(1, static_cast<char>(k->character))); }

class Commands : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    keys.clear();
    BuildMenus();
    JMenuBarSync();
    records_ = GetMenuRecords();
    ASSERT_NE(records_, nullptr);
  }
  void TearDown() override {
    BindActiveDocument(nullptr);
    DisposeMenus();
    ToolkitTest::TearDown();
  }
  void press(char c, uint8_t mods) {
    input().key(static_cast<uint16_t>(c), static_cast<uint32_t>(c), mods);
    drain();
  }
  JWindow* child(const char* title) {
    JWindow* w = JNewWindow(nullptr, title, kJWindowSizable);
    JSetHandler(w, kJSlotKeyDown, WindowKey);
    JShowAndActivateWindow(w);
    drain();
    return w;
  }
  const MenuRecords* records_ = nullptr;
};

}  // namespace

TEST_F(Commands, CloseWindowFollowsTheChildWindows) {
  const int beeps = wm().beepCount();
  press('w', kCtrl);  // nothing to close: the disabled item only beeps
  EXPECT_EQ(wm().beepCount(), beeps + 1);
  JWindow* first = child("First");
  child("Second");
  JRunMenuUpdate();  // as before a menu is shown
  EXPECT_TRUE(JMenuItemEnabled(records_->closeWindow));
  press('w', kCtrl);  // the front one goes
  EXPECT_EQ(JFrontChildWindow(), first);
  EXPECT_TRUE(JMenuItemEnabled(records_->closeWindow));
  // Closed some other way: the item follows all the same.
  JRequestClose(first);
  EXPECT_FALSE(JMenuItemEnabled(records_->closeWindow));
  // A command left over from a menu shown earlier closes nothing when nothing is open.
  JEnableMenuItem(records_->closeWindow, true);
  input().command(records_->closeWindow->id);
  drain();
  EXPECT_FALSE(JMenuItemEnabled(records_->closeWindow));
}

// Without a document there is no Windows menu: its shortcuts are ordinary keys. With one
// the items are enabled; bound to a record that is no open document they do nothing.
TEST_F(Commands, GraphShortcutsNeedADocument) {
  child("Plain");
  const int beeps = wm().beepCount();
  press('1', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps);
  EXPECT_EQ(keys, std::vector<std::string>{"1"});
  Document d{};
  BindActiveDocument(&d);
  press('1', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps);
  EXPECT_EQ(d.graphs[0], nullptr);
}
