#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/shell/Document.h"
#include "app/shell/documents.h"
#include "app/shell/menus.h"
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
  std::vector<std::string> titles() {
    JMenuBarSync();
    std::vector<std::string> out;
    for (const platform::wm::Menu& m : wm().menus()) out.push_back(m.title);
    return out;
  }
  const MenuRecords* records_ = nullptr;
};

}  // namespace

TEST_F(Commands, TheBarHoldsFileAndEditWithTheAppleItemsInTheSystemMenu) {
  EXPECT_EQ(titles(), (std::vector<std::string>{"&File", "&Edit"}));
  const platform::wm::Menu& file = wm().menus()[0];
  std::vector<std::string> labels;
  for (const platform::wm::MenuItem& i : file.items) labels.push_back(i.separator ? "-" : i.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"&Open...\tCtrl+O", "-", "Close &Window\tCtrl+W", "&Save as...\tCtrl+S",
                                              "-", "&Preferences", "-", "&Quit\tCtrl+Q"}));
  const platform::wm::Menu& edit = wm().menus()[1];
  ASSERT_EQ(edit.items.size(), 5u);
  EXPECT_EQ(edit.items[0].label, "&Cut\tCtrl+X");
  EXPECT_EQ(edit.items[1].label, "&Copy\tCtrl+C");
  EXPECT_EQ(edit.items[2].label, "&Paste\tCtrl+V");
  EXPECT_TRUE(edit.items[3].separator);
  EXPECT_EQ(edit.items[4].label, "New Picture from C&lipboard\tCtrl+L");
  // Nothing is active and no child window is open yet.
  EXPECT_FALSE(JMenuItemEnabled(records_->saveAs));
  EXPECT_FALSE(JMenuItemEnabled(records_->closeWindow));
  wm().openSystemMenu(wm().mainFrame());
  std::vector<std::string> system;
  for (const platform::wm::MenuItem& i : wm().popup().items()) system.push_back(i.separator ? "-" : i.label);
  ASSERT_GE(system.size(), 6u);
  EXPECT_EQ(system[system.size() - 5], "&About tintwell...");
  EXPECT_EQ(system[system.size() - 4], "&Contact Info...");
  EXPECT_EQ(system[system.size() - 3], "-");
  EXPECT_EQ(system[system.size() - 2], "Show Magnifier");
  EXPECT_EQ(system[system.size() - 1], "Show Memory Usage");
}

TEST_F(Commands, AnActiveDocumentBringsTheWindowsMenuAndSaveAs) {
  Document a{}, b{};
  BindActiveDocument(&a);
  EXPECT_EQ(titles(), (std::vector<std::string>{"&File", "&Edit", "&Windows"}));
  EXPECT_TRUE(JMenuItemEnabled(records_->saveAs));
  EXPECT_EQ(records_->saveAs->data, &a);
  for (JMenuItem* g : records_->graphs) EXPECT_EQ(g->data, &a);
  // Another document's window: rebound, the bar unchanged.
  BindActiveDocument(&b);
  EXPECT_EQ(records_->saveAs->data, &b);
  for (JMenuItem* g : records_->graphs) EXPECT_EQ(g->data, &b);
  EXPECT_EQ(titles().size(), 3u);
  BindActiveDocument(nullptr);
  EXPECT_EQ(titles(), (std::vector<std::string>{"&File", "&Edit"}));
  EXPECT_FALSE(JMenuItemEnabled(records_->saveAs));
  EXPECT_EQ(records_->saveAs->data, nullptr);
}

TEST_F(Commands, GraphShortcutsDoNothingWithoutADocument) {
  child("Plain");
  const int beeps = wm().beepCount();
  press('2', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps);  // no Windows menu: an ordinary key
  EXPECT_EQ(keys, std::vector<std::string>{"2"});
}

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

TEST_F(Commands, ClipboardItemNeedsAPictureThere) {
  const int beeps = wm().beepCount();
  press('l', kCtrl);
  EXPECT_FALSE(JMenuItemEnabled(records_->newFromClipboard));
  EXPECT_EQ(wm().beepCount(), beeps + 1);
  EXPECT_EQ(OpenDocumentCount(), 0u);
}

TEST_F(Commands, QuitEndsTheLoop) {
  child("Any");
  press('q', kCtrl);
  EXPECT_FALSE(JEventLoopRunning());
}

TEST_F(Commands, ItemsOfWindowsNotBuiltYetAreDisabled) {
  JMenu* edit = JFindMenuByTitle(JGetMenuBar(), "Edit");
  ASSERT_NE(edit, nullptr);
  for (int16_t i = 0; i < 3; ++i) EXPECT_FALSE(JMenuItemEnabled(edit->items[i]));
  const int beeps = wm().beepCount();
  press('1', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps);  // no Windows menu yet
  Document d{};
  BindActiveDocument(&d);
  press('1', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps + 1);
}
