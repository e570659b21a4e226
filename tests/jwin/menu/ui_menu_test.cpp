#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jindep/memory.h"
#include "jwin/J_menu.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

using platform::wm::kAlt;
using platform::wm::kCtrl;
using platform::wm::kShift;

std::vector<std::string> calls;

void Record(JMenuItem* item, void*) { calls.push_back(item->label); }
void WindowKey(JWindow*, JKeyEvent* k) { calls.push_back(std::string("key ") + static_cast<char>(k->character)); }

std::string Label(const char* label, uint8_t mnemonic, uint8_t shortcut) {
  char* s = JMenuPlatformLabel(label, mnemonic, shortcut);
  std::string out(s);
  JFree(s);
  return out;
}

class Menus : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    JMenuInit("0");
    calls.clear();
    bar_ = JNewMenuBar();
    apple_ = JNewMenuFromText(" Apple");
    about_ = Add(apple_, " AAbout...");
    JAppendMenu(bar_, apple_);
    file_ = JNewMenuFromText("FFile");
    open_ = Add(file_, "OOOpen...");
    JAppendMenuItem(file_, JNewMenuSeparator());
    save_ = Add(file_, "SSSave as...");
    quit_ = Add(file_, "QQQuit");
    JAppendMenu(bar_, file_);
    edit_ = JNewMenuFromText("EEdit");
    cut_ = Add(edit_, "XCCut");
    copy_ = Add(edit_, "CCCopy");
    JAppendMenu(bar_, edit_);
    JSetMenuBar(bar_);
    JMenuBarSync();
    window_ = JNewWindow(nullptr, "Doc", kJWindowSizable);
    JSetHandler(window_, kJSlotKeyDown, WindowKey);
    JShowAndActivateWindow(window_);
    drain();
  }
  void TearDown() override {
    JMenuShutdown();
    ToolkitTest::TearDown();
  }
  static JMenuItem* Add(JMenu* menu, const char* text) {
    JMenuItem* item = JNewMenuItemFromText(text);
    JSetMenuItemProc(item, Record, nullptr);
    JAppendMenuItem(menu, item);
    return item;
  }
  void press(char c, uint8_t mods) {
    input().key(static_cast<uint16_t>(c), static_cast<uint32_t>(c), mods);
    drain();
  }
  platform::Rect frameOf(uint32_t id) { return wm().screenFrame(*wm().window(id)); }
  // The screen rectangle of a bar title.
  platform::Rect title(int index) {
    const platform::Rect f = frameOf(wm().mainFrame());
    return wm().menuTitleRects()[static_cast<size_t>(index)].translated(f.left, f.top);
  }
  void clickAt(const platform::Rect& r) {
    input().click(r.left + r.width() / 2, r.top + r.height() / 2);
    drain();
  }

  JMenuBar* bar_ = nullptr;
  JMenu *apple_ = nullptr, *file_ = nullptr, *edit_ = nullptr;
  JMenuItem *about_ = nullptr, *open_ = nullptr, *save_ = nullptr, *quit_ = nullptr, *cut_ = nullptr,
            *copy_ = nullptr;
  JWindow* window_ = nullptr;
};

}  // namespace

// Item texts are a shortcut character, a keyboard letter and the label; the label shown
// marks the first occurrence of the letter in any case and doubles a literal ampersand.
TEST(MenuText, ItemTextsGiveShortcutMnemonicAndPlatformLabel) {
  const struct {
    const char* text;
    const char* label;
    const char* shown;
  } items[] = {
      {"XCCut", "Cut", "&Cut\tCtrl+X"},
      {"  Show Magnifier", "Show Magnifier", "Show Magnifier"},
      {" ASave as...", "Save as...", "S&ave as..."},
      {"2MMaximum Error vs Number of Colours", "Maximum Error vs Number of Colours",
       "&Maximum Error vs Number of Colours\tCtrl+2"},
      {" zQuit", "Quit", "Quit"},  // a letter not in the label marks nothing
      {" WBlack & White", "Black & White", "Black && &White"},
      {"Q", "", "\tCtrl+Q"},  // too short for its key characters: an empty item, no read past the end
  };
  for (const auto& c : items) {
    JMenuItem* item = JNewMenuItemFromText(c.text);
    EXPECT_STREQ(item->label, c.label) << c.text;
    EXPECT_EQ(Label(item->label, item->mnemonic, item->shortcut), c.shown) << c.text;
    JDisposeMenuItem(item);
  }
  JMenu* apple = JNewMenuFromText(" Apple");
  EXPECT_STREQ(apple->title, "Apple");
  EXPECT_EQ(apple->mnemonic, 0);
  JDisposeMenu(apple);
  JSetAlternateShortcuts(true);
  EXPECT_EQ(Label("Cut", 'C', 'X'), "&Cut\tAlt+Ctrl+X");
  JSetAlternateShortcuts(false);
}

TEST(MenuModel, MenusShowDisabledExactlyWhileNoItemIsEnabled) {
  JMenu* m = JNewMenu("Edit");
  EXPECT_FALSE(JMenuEnabled(m));  // nothing to choose yet
  JAppendMenuItem(m, JNewMenuSeparator());
  EXPECT_FALSE(JMenuEnabled(m));  // separators start disabled
  JMenuItem* a = JNewMenuItem("Cut");
  JMenuItem* b = JNewMenuItem("Copy");
  JAppendMenuItem(m, a);
  JAppendMenuItem(m, b);
  EXPECT_TRUE(JMenuEnabled(m));
  JEnableMenuItem(a, false);
  EXPECT_TRUE(JMenuEnabled(m));
  JEnableMenuItem(b, false);
  EXPECT_FALSE(JMenuEnabled(m));
  EXPECT_EQ(m->flags & kJMenuSuppressed, kJMenuSuppressed);
  JEnableMenuItem(b, true);
  EXPECT_TRUE(JMenuEnabled(m));
  EXPECT_EQ(m->flags & kJMenuSuppressed, 0);
  // Removing the last enabled item disables the menu too.
  JRemoveMenuItem(b);
  EXPECT_FALSE(JMenuEnabled(m));
  JDisposeMenuItem(b);
  JDisposeMenu(m);
}

TEST_F(Menus, ShortcutsReachTheirItemsInAnyCase) {
  press('o', kCtrl);
  press('Q', kCtrl | kShift);
  EXPECT_EQ(calls, (std::vector<std::string>{"Open...", "Quit"}));
  // Without the command combination the letter is an ordinary key for the window.
  press('o', 0);
  EXPECT_EQ(calls.back(), "key o");
  // No item has K: the window gets the key.
  press('k', kCtrl);
  EXPECT_EQ(calls.back(), "key k");
  // With the alternate setting the command combination is Alt with Ctrl.
  JSetAlternateShortcuts(true);
  press('o', kCtrl);
  EXPECT_EQ(calls.back(), "key o");
  press('o', kCtrl | kAlt);
  EXPECT_EQ(calls.back(), "Open...");
  JSetAlternateShortcuts(false);
}

TEST_F(Menus, PlatformBarFollowsTheModelAtTheNextStep) {
  const std::vector<platform::wm::Menu>& shown = wm().menus();
  ASSERT_EQ(shown.size(), 2u);  // the Apple menu is not in the bar
  EXPECT_EQ(shown[1].title, "&Edit");
  ASSERT_EQ(shown[0].items.size(), 4u);
  EXPECT_TRUE(shown[0].items[1].separator);
  JEnableMenuItem(cut_, false);
  JEnableMenuItem(copy_, false);
  EXPECT_TRUE(wm().menus()[1].enabled);  // not before the next event step
  JEventStep(nullptr, false);
  EXPECT_FALSE(wm().menus()[1].enabled);
  EXPECT_FALSE(wm().menus()[1].items[0].enabled);
  JEnableMenuItem(copy_, true);
  JEventStep(nullptr, false);
  EXPECT_TRUE(wm().menus()[1].enabled);
  // A menu appended to the installed bar shows at its right end.
  JMenu* windows = JNewMenuFromText("WWindows");
  Add(windows, "1QQuality");
  JAppendMenu(bar_, windows);
  JEventStep(nullptr, false);
  ASSERT_EQ(wm().menus().size(), 3u);
  EXPECT_EQ(wm().menus()[2].title, "&Windows");
  JRemoveMenu(bar_, windows);
  JEventStep(nullptr, false);
  EXPECT_EQ(wm().menus().size(), 2u);
  JDisposeMenu(windows);
}

TEST_F(Menus, TheUpdateProcedureRunsBeforeAMenuOpensAndAppleItemsAreInTheSystemMenu) {
  static JMenuItem* target = nullptr;
  target = quit_;
  JSetMenuUpdateProc([](void*) { JEnableMenuItem(target, false); }, nullptr);
  clickAt(title(0));
  ASSERT_TRUE(wm().popup().isOpen());
  EXPECT_FALSE(wm().popup().items()[3].enabled);  // already greyed in the menu shown
  clickAt(wm().popup().itemRects()[3]);
  EXPECT_TRUE(calls.empty());
  // The Apple items go to the main window's system menu, after a separator.
  wm().openSystemMenu(wm().mainFrame());
  ASSERT_GE(wm().popup().items().size(), 3u);
  EXPECT_EQ(wm().popup().items().back().label, "&About...");
  EXPECT_TRUE(wm().popup().items()[wm().popup().items().size() - 2].separator);
  clickAt(wm().popup().itemRects().back());
  EXPECT_EQ(calls, std::vector<std::string>{"About..."});
  // The update runs before that menu opens too.
  target = about_;
  wm().openSystemMenu(wm().mainFrame());
  EXPECT_FALSE(wm().popup().items().back().enabled);
}

TEST_F(Menus, AltWithAMnemonicOpensItsMenuForTheKeyboard) {
  press('e', kAlt);
  ASSERT_TRUE(wm().popup().isOpen());
  EXPECT_EQ(wm().popup().barIndex(), 1);
  input().key(platform::wm::kKeyDown);
  input().key(platform::wm::kKeyDown);
  input().key(platform::wm::kKeyReturn, '\r');
  drain();
  EXPECT_EQ(calls, std::vector<std::string>{"Copy"});
  // In an open menu an item's keyboard letter chooses it.
  press('f', kAlt);
  ASSERT_TRUE(wm().popup().isOpen());
  press('q', 0);
  EXPECT_EQ(calls.back(), "Quit");
  EXPECT_FALSE(wm().popup().isOpen());
  // Also when the backend types the letter separately and the key carries only its code.
  press('f', kAlt);
  input().key('o');
  drain();
  EXPECT_EQ(calls.back(), "Open...");
  // A letter no title has is an ordinary key.
  press('z', kAlt);
  EXPECT_FALSE(wm().popup().isOpen());
  EXPECT_EQ(calls.back(), "key z");
}

TEST_F(Menus, CommandsForDisabledOrUnknownItemsAreDropped) {
  JEnableMenuItem(quit_, false);
  input().command(quit_->id);
  input().command(0x7000);
  drain();
  EXPECT_TRUE(calls.empty());
  input().command(open_->id);
  drain();
  EXPECT_EQ(calls, std::vector<std::string>{"Open..."});
}

