#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jindep/Ji_tempm.h"
#include "jindep/Ji_tidge_std.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"
#include "toolkit_fixture.h"

namespace {

std::vector<std::string> events;
void Note(const std::string& s) { events.push_back(s); }

void WindowKey(JWindow*, JKeyEvent* k) { Note("windowkey" + std::to_string(k->character)); }

class StandardWidgets : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    events.clear();
    window_ = JNewWindow(nullptr, "Panel", kJWindowSizable);
    JSetHandler(window_, kJSlotKeyDown, WindowKey);
    JShowAndActivateWindow(window_);
    drain();
  }
  platform::Rect client() { return screenClient(window_); }
  void press(const JWidget* w, int dx, int dy) {
    input().click(client().left + w->x + dx, client().top + w->y + dy);
    drain();
  }
  JWindow* window_ = nullptr;
};

}  // namespace

TEST_F(StandardWidgets, AButtonActsOnAReleaseOverIt) {
  JWidget* ok = JNewButton(window_, nullptr, 20, 20, "Ok");
  JSetButtonAction(ok, [](JWidget*) { Note("ok"); });
  JShowWidget(ok);
  press(ok, 5, 5);
  EXPECT_EQ(events, std::vector<std::string>{"ok"});
  JActivateWidget(ok, false);
  JPressButton(ok);
  EXPECT_EQ(events.size(), 1u);
  JActivateWidget(ok, true);
  JPressButton(ok);
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(StandardWidgets, ATogglesStateChangesOnlyWhenItReallyChanges) {
  JWidget* t = JNewToggle(window_, nullptr, 20, 60, "Interlace");
  JSetToggleAction(t, [](JWidget* w) { Note("state" + std::to_string(JToggleState(w))); });
  JShowWidget(t);
  press(t, 3, 3);
  press(t, 3, 3);
  EXPECT_EQ(events, (std::vector<std::string>{"state1", "state0"}));
  events.clear();
  JSetToggleState(t, 0, true);  // unchanged
  JSetToggleState(t, 1, false);  // changed, not notified
  EXPECT_TRUE(events.empty());
  JForceToggle(t);
  JSetToggleState(t, 1, true);  // unchanged but forced
  JSetToggleState(t, 1, true);  // the force was used up
  EXPECT_EQ(events, std::vector<std::string>{"state1"});
}

// Editing itself is tested with the text field; here, who gets the keys.
TEST_F(StandardWidgets, ATextFieldTakesKeysOnlyWithTheFocusAndPassesReturnOn) {
  JWidget* f = JNewTextField(window_, nullptr, 20, 100, "ab");
  JSetFieldAction(f, [](JWidget*) { Note("changed"); });
  JShowWidget(f);
  input().type("c");
  drain();
  EXPECT_STREQ(JGetFieldText(f), "ab");
  EXPECT_EQ(events, std::vector<std::string>{"windowkey99"});
  press(f, f->width - 4, 4);
  events.clear();
  input().type("z");
  input().key(platform::wm::kKeyReturn, 13);
  drain();
  EXPECT_STREQ(JGetFieldText(f), "abz");
  EXPECT_EQ(events, (std::vector<std::string>{"changed", "windowkey13"}));
}

namespace {
void Scrolled(JWidget* bar, int16_t action, int32_t amount) {
  Note(std::to_string(action) + ":" + std::to_string(amount));
  if (action == kJScrollTo) JSetScrollValue(bar, amount);
}
}  // namespace

TEST_F(StandardWidgets, AScrollBarTurnsClicksIntoActions) {
  JWidget* bar = JNewScrollBar(window_, nullptr, 300, 10, 200, true);
  for (int16_t a = 0; a < 4; ++a) JSetScrollAction(bar, a, Scrolled);
  JShowWidget(bar);
  JSetScrollMaximum(bar, -5);
  EXPECT_EQ(JScrollMaximum(bar), 0);
  JSetScrollMaximum(bar, 100);
  JSetScrollValue(bar, 150);
  EXPECT_EQ(JScrollValue(bar), 100);
  JSetScrollMaximum(bar, 50);
  EXPECT_EQ(JScrollValue(bar), 50);  // moved to the new maximum
  JSetScrollValue(bar, 0);
  press(bar, 8, 3);    // the upper arrow
  press(bar, 8, 196);  // the lower arrow
  press(bar, 8, 150);  // the track below the thumb
  EXPECT_EQ(events, (std::vector<std::string>{"0:-1", "0:1", "1:1"}));
  events.clear();
  // Dragging the thumb (at the top, value 0) to the bottom of the track.
  const int x = client().left + bar->x + 8, top = client().top + bar->y;
  input().drag(x, top + 16 + 8, x, top + 200, 4);
  drain();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "3:50");
  EXPECT_EQ(JScrollValue(bar), 50);
  // Each arrow's triangle points the way it scrolls: its widest row lies away from its tip.
  drain();
  auto inkRow = [&](int y) {
    int n = 0;
    for (int dx = 0; dx < 16; ++dx) n += (wm().screen().pixel(x - 8 + dx, top + y) & 0xFFFFFF) == 0;
    return n;
  };
  EXPECT_LT(inkRow(6), inkRow(9));              // the upper arrow's tip is at its top
  EXPECT_GT(inkRow(200 - 16 + 6), inkRow(200 - 16 + 9));  // the lower arrow's at its bottom
}

TEST_F(StandardWidgets, HoldingAScrollArrowRepeatsUntilReleased) {
  JWidget* bar = JNewScrollBar(window_, nullptr, 300, 10, 200, true);
  JSetScrollAction(bar, kJScrollLine, Scrolled);
  JSetScrollMaximum(bar, 100);
  JShowWidget(bar);
  drain();
  const int x = client().left + bar->x + 8, y = client().top + bar->y + 196;  // the lower arrow
  input().mouseMove(x, y);
  input().mouseDown(x, y);
  drain();
  EXPECT_EQ(events.size(), 1u);
  // Idle steps let the virtual clock run: one pause, then a step every 50 ms.
  for (int i = 0; i < 40; ++i) JEventStep(nullptr, true);
  const size_t held = events.size();
  EXPECT_GE(held, 5u);
  for (const std::string& e : events) EXPECT_EQ(e, "0:1");
  input().mouseUp(x, y);
  drain();
  for (int i = 0; i < 40; ++i) JEventStep(nullptr, true);
  EXPECT_EQ(events.size(), held);  // released: no more steps, and no call left behind
  EXPECT_FALSE(JAnythingScheduled());
  // Disposing a bar while its arrow is held leaves no timed call behind either.
  input().mouseDown(x, y);
  drain();
  EXPECT_TRUE(JAnythingScheduled());
  JEventStep(nullptr, false);
  JTempMark();
  JDisposeWidget(bar);
  JTempRelease();
  EXPECT_FALSE(JAnythingScheduled());
}
