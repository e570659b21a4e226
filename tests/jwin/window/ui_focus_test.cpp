// Focus and presses inside boxes, and the end of a text field's edit, driven by input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jindep/Ji_tidge_popup.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "toolkit_fixture.h"

namespace {

std::vector<std::string> events;

class BoxedWidgets : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    events.clear();
    window_ = JNewWindow(nullptr, "Boxed", kJWindowSizable);
    window_->state |= kJWindowTabFocus;
    outer_ = JNewBox(window_, nullptr, 10, 10);
    field1_ = JNewTextField(window_, outer_, 0, 0, "1");
    button1_ = JNewButton(window_, outer_, 0, 0, "One");
    button2_ = JNewButton(window_, outer_, 0, 0, "Two");
    inner_ = JNewBox(window_, outer_, 0, 0);
    JBoxSetHorizontal(inner_, false);
    field2_ = JNewTextField(window_, inner_, 0, 0, "2");
    popup_ = JNewPopup(window_, inner_, 0, 0);
    for (JWidget* w : {field1_, button1_, button2_, field2_, popup_, inner_, outer_}) JShowWidget(w);
    JSizeWidget(inner_, 0, 0);
    JSizeWidget(outer_, 0, 0);
    JSetButtonAction(button1_, [](JWidget*) { events.push_back("one"); });
    JSetButtonAction(button2_, [](JWidget*) { events.push_back("two"); });
    for (JWidget* f : {field1_, field2_})
      JSetFieldEndAction(f, [](JWidget* w) { events.push_back(std::string("end ") + JGetFieldText(w)); });
    JShowAndActivateWindow(window_);
    drain();
  }
  platform::Point at(const JWidget* w) {
    return {screenClient(window_).left + w->x + w->width / 2, screenClient(window_).top + w->y + w->height / 2};
  }
  JWindow* window_ = nullptr;
  JWidget *outer_, *inner_, *field1_, *button1_, *button2_, *field2_, *popup_;
};

// Pressed on one button, released on the other: neither acts, and the first is not left
// pressed (before, the release went to the widget under it and the first kept its press).
TEST_F(BoxedWidgets, AReleaseGoesToTheWidgetThatWasPressed) {
  input().drag(at(button1_).x, at(button1_).y, at(button2_).x, at(button2_).y);
  drain();
  input().mouseMove(at(button1_).x, at(button1_).y);
  drain();
  const uint32_t corner = wm().screen().pixel(screenClient(window_).left + button1_->x,
                                              screenClient(window_).top + button1_->y + 2);
  EXPECT_EQ(corner & 0xFFFFFF, 0xFFFFFFu) << "drawn raised";
  input().click(at(button2_).x, at(button2_).y);
  input().drag(at(button1_).x, at(button1_).y, at(button1_).x + 3, at(button1_).y + 2);
  drain();
  EXPECT_EQ(events, (std::vector<std::string>{"two", "one"}));
}

TEST_F(BoxedWidgets, TabVisitsTheWidgetsInsideBoxesInOrder) {
  JHideWidget(field2_);
  JSetFocus(window_, field1_);
  std::vector<JWidget*> seen;
  for (int i = 0; i < 5; ++i) {
    key(platform::wm::kKeyTab, 9);
    seen.push_back(JFocus(window_));
  }
  // Push buttons take no keys; the hidden field is passed over.
  EXPECT_EQ(seen, (std::vector<JWidget*>{popup_, field1_, popup_, field1_, popup_}));
  JShowWidget(field2_);
  key(platform::wm::kKeyTab, 9, platform::wm::kShift);
  EXPECT_EQ(JFocus(window_), field2_);
}

// A changed text is committed once: by Return, by the focus leaving, by a menu shortcut
// other than Cut, Copy and Paste, and by a command key no menu item has.
TEST_F(BoxedWidgets, EditingEndsBeforeCommandsAndWhenTheFocusLeaves) {
  int quits = 0;
  JMenuInit("0");
  JMenuBar* bar = JNewMenuBar();
  JMenu* menu = JNewMenuFromText("FFile");
  for (const char* text : {"QQQuit", "CCCopy"}) {
    JMenuItem* item = JNewMenuItemFromText(text);
    JSetMenuItemProc(item, [](JMenuItem*, void* count) { if (count) ++*static_cast<int*>(count); }, text[0] == 'Q' ? &quits : nullptr);
    JAppendMenuItem(menu, item);
  }
  JAppendMenu(bar, menu);
  JSetMenuBar(bar);
  input().click(at(field1_).x, at(field1_).y);
  drain();
  const struct {
    const char* typed;
    uint16_t code;
    uint32_t character;
    uint8_t mods;
    const char* expected;  // the events after the key
  } steps[] = {
      {"2", platform::wm::kKeyReturn, 13, 0, "end 12"},
      {"", platform::wm::kKeyReturn, 13, 0, ""},  // nothing changed: nothing to commit
      {"3", 'c', 'c', platform::wm::kCtrl, ""},   // Copy keeps the edit going
      {"", 'q', 'q', platform::wm::kCtrl, "end 123,quit"},
      {"4", 'k', 'k', platform::wm::kCtrl, "end 1234"},
      {"5", platform::wm::kKeyTab, 9, 0, "end 12345"},
  };
  for (const auto& s : steps) {
    events.clear();
    const int before = quits;
    input().type(s.typed);
    key(s.code, s.character, s.mods);
    std::string got;
    for (const auto& e : events) got += (got.empty() ? "" : ",") + e;
    if (quits > before) got += got.empty() ? "quit" : ",quit";
    EXPECT_EQ(got, s.expected) << s.typed << " then key " << s.code;
  }
  EXPECT_EQ(JFocus(window_), field2_);
  JMenuShutdown();
}

}  // namespace
