// The toolkit's standard Edit menu working on text fields: enabling that follows the
// focused field and the clipboard, and Cut, Copy and Paste through the menu strip and
// through their shortcuts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "jindep/Ji_tidge_std.h"
#include "jwin/J_menu.h"
#include "platform/clipboard/Clipboard.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

namespace clip = platform::clipboard;
using platform::wm::kCtrl;
using platform::wm::kShift;


class EditMenu : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    clip::Reset();
    JMenuInit("0");
    JSetStandardMenuTexts("FFile", "EEdit", "XCCut", "CCCopy", "VPPaste");
    bar_ = JNewMenuBar();
    JMenu* file = JNewStandardFileMenu();
    JAppendMenuItem(file, JNewMenuItemFromText("QQQuit"));
    JAppendMenu(bar_, file);
    edit_ = JMakeStandardEditMenu(bar_);
    JSetMenuBar(bar_);
    JMenuBarSync();
    window_ = JNewWindow(nullptr, "Fields", kJWindowSizable);
    JSizeWindow(window_, 400, 200);
    first_ = JNewTextField(window_, nullptr, 20, 20, "hello world");
    second_ = JNewTextField(window_, nullptr, 20, 60, "");
    JSizeWidget(first_, 200, first_->height);
    JSizeWidget(second_, 200, second_->height);
    JShowWidget(first_);
    JShowWidget(second_);
    JShowAndActivateWindow(window_);
    drain();
  }
  void TearDown() override {
    JMenuShutdown();
    clip::Reset();
    ToolkitTest::TearDown();
  }
  JMenuItem* cut() { return edit_->items[0]; }
  JMenuItem* copy() { return edit_->items[1]; }
  JMenuItem* paste() { return edit_->items[2]; }
  // Which of Cut, Copy and Paste are enabled, as "XCV" with '-' for a disabled one.
  std::string enabled() {
    JRunMenuUpdate();
    std::string s;
    s += JMenuItemEnabled(cut()) ? 'X' : '-';
    s += JMenuItemEnabled(copy()) ? 'C' : '-';
    s += JMenuItemEnabled(paste()) ? 'V' : '-';
    return s;
  }
  void clickField(JWidget* f) {
    const platform::Rect c = screenClient(window_);
    input().click(c.left + f->x + f->width - 3, c.top + f->y + f->height / 2);
    drain();
  }
  // Opens the Edit menu from the bar and chooses one of its items.
  void choose(int item) {
    const platform::Rect f = wm().screenFrame(*wm().window(wm().mainFrame()));
    const platform::Rect t = wm().menuTitleRects()[1].translated(f.left, f.top);
    input().click(t.left + t.width() / 2, t.top + t.height() / 2);
    drain();
    ASSERT_TRUE(wm().popup().isOpen());
    const platform::Rect r = wm().popup().itemRects()[static_cast<size_t>(item)];
    input().click(r.left + r.width() / 2, r.top + r.height() / 2);
    drain();
  }

  JMenuBar* bar_ = nullptr;
  JMenu* edit_ = nullptr;
  JWindow* window_ = nullptr;
  JWidget* first_ = nullptr;
  JWidget* second_ = nullptr;
};

}  // namespace

TEST_F(EditMenu, ItemsAreEnabledExactlyWhenTheyApplyToTheFocusedField) {
  ASSERT_EQ(edit_->itemCount, 3);
  // No field has the focus: nothing applies and the menu's title is greyed.
  EXPECT_EQ(enabled(), "---");
  EXPECT_FALSE(JMenuEnabled(edit_));
  clickField(first_);
  EXPECT_EQ(enabled(), "---");  // a caret, no selection, an empty clipboard
  key(platform::wm::kKeyLeft, 0, kShift);
  EXPECT_EQ(enabled(), "XC-");
  EXPECT_TRUE(JMenuEnabled(edit_));
  putOnClipboard("words");
  EXPECT_EQ(enabled(), "XCV");
  // The menu shown has the same states.
  choose(0);  // Cut: the field loses its last character
  EXPECT_STREQ(JGetFieldText(first_), "hello worl");
  EXPECT_EQ(enabled(), "--V");
  // A field of a window that is not active does not count.
  JWindow* other = JNewWindow(nullptr, "Other", kJWindowSizable);
  JShowAndActivateWindow(other);
  drain();
  EXPECT_EQ(enabled(), "---");
  JSelectWindow(window_);
  drain();
  EXPECT_EQ(enabled(), "--V");
  // Nor does a hidden one.
  JHideWidget(first_);
  EXPECT_EQ(enabled(), "---");
}

TEST_F(EditMenu, CopyFromTheMenuStripThenPasteIntoAnotherFieldWithTheShortcut) {
  clickField(first_);
  for (int i = 0; i < 5; ++i) key(platform::wm::kKeyLeft, 0, kShift);
  choose(1);  // Copy
  EXPECT_EQ(clipboardText(), "world");
  EXPECT_STREQ(JGetFieldText(first_), "hello world");
  EXPECT_TRUE(JFieldHasSelection(first_));  // the field keeps its selection
  clickField(second_);
  key('v', 'v', kCtrl);
  EXPECT_STREQ(JGetFieldText(second_), "world");
  key('v', 'v', kCtrl);
  EXPECT_STREQ(JGetFieldText(second_), "worldworld");
  // Cut with the shortcut, paste from the menu strip over a selection.
  key('a', 'a', kCtrl);
  key('x', 'x', kCtrl);
  EXPECT_STREQ(JGetFieldText(second_), "");
  EXPECT_EQ(clipboardText(), "worldworld");
  clickField(first_);
  key(platform::wm::kKeyHome, 0, kShift);
  choose(2);  // Paste
  EXPECT_STREQ(JGetFieldText(first_), "worldworld");
  EXPECT_EQ(JFieldCaret(first_), 10u);
}

TEST_F(EditMenu, AShortcutOfADisabledItemBeepsAndTouchesNothing) {
  putOnClipboard("kept");
  clickField(first_);  // a caret, nothing selected
  const int beeps = wm().beepCount();
  key('c', 'c', kCtrl);
  key('x', 'x', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps + 2);
  EXPECT_EQ(clipboardText(), "kept");
  EXPECT_STREQ(JGetFieldText(first_), "hello world");
  // Without a focused field even Paste is disabled.
  JSetFocus(window_, nullptr);
  key('v', 'v', kCtrl);
  EXPECT_EQ(wm().beepCount(), beeps + 3);
  EXPECT_STREQ(JGetFieldText(first_), "hello world");
  EXPECT_STREQ(JGetFieldText(second_), "");
  // Updating after the Edit menu is gone is harmless.
  JDisposeMenu(edit_);
  JRunMenuUpdate();
}

TEST_F(EditMenu, CtrlASelectsAllOnlyWhenNoMenuShortcutTakesIt) {
  clickField(first_);
  key('a', 'a', kCtrl);
  EXPECT_EQ(enabled(), "XC-");
  size_t start = 0, end = 0;
  JFieldSelection(first_, &start, &end);
  EXPECT_EQ(end - start, std::strlen("hello world"));
  static int chosen = 0;
  chosen = 0;
  JMenuItem* all = JNewMenuItemFromText("AAAll Windows");
  JSetMenuItemProc(all, [](JMenuItem*, void*) { ++chosen; }, nullptr);
  JAppendMenuItem(edit_, all);
  key(platform::wm::kKeyEnd, 0, 0);
  key('a', 'a', kCtrl);
  EXPECT_EQ(chosen, 1);
  EXPECT_FALSE(JFieldHasSelection(first_));
}
