#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "jindep/Ji_tidge.h"
#include "jwin/J_alert.h"
#include "jwin/J_menu.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

JAlertLayout Layout(int mw, int mh, int fw, int fh, int sw, int sh) {
  JAlertLayout l;
  JAlertComputeLayout(32, 32, static_cast<int16_t>(mw), static_cast<int16_t>(mh), static_cast<int16_t>(fw),
                      static_cast<int16_t>(fh), static_cast<int16_t>(sw), static_cast<int16_t>(sh), &l);
  return l;
}

std::vector<int> answers;
void Answer(void* data, bool first) { answers.push_back(first ? 1 : 0); *static_cast<int*>(data) += 1; }

class Alerts : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    answers.clear();
  }
  int calls_ = 0;
};

}  // namespace

// Every size of message and buttons: the parts stay inside the window and apart,
// clear of the icon, and the buttons sit centred with their gaps equal.
TEST(AlertLayout, PartsStayInsideApartAndCentredForManySizes) {
  for (int mw = 0; mw < 400; mw += 37)
    for (int mh = 8; mh < 80; mh += 13)
      for (int fw = 30; fw < 150; fw += 29)
        for (int sw : {0, 40, 95}) {
          const JAlertLayout l = Layout(mw, mh, fw, 26, sw, sw ? 26 : 0);
          const std::vector<JRect> parts = sw ? std::vector<JRect>{l.icon, l.message, l.first, l.second}
                                              : std::vector<JRect>{l.icon, l.message, l.first};
          for (const JRect& r : parts) {
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, l.width);
            EXPECT_LE(r.bottom, l.height);
          }
          EXPECT_LE(l.message.bottom, l.first.top);  // the message never runs under a button
          EXPECT_GE(l.message.left, l.icon.right);
          if (sw) {
            // Two buttons share the width in three equal gaps, the remainder between them.
            const int left = l.second.left, between = l.first.left - l.second.right;
            EXPECT_EQ(left, l.width - l.first.right);
            EXPECT_GE(between, left);
            EXPECT_LE(between - left, 2);
          } else {
            // One button is centred in the room right of the icon.
            EXPECT_GE(l.first.left, l.icon.right + 4);
            EXPECT_LE(std::abs((l.first.left - l.icon.right) - (l.width - l.first.right)), 1);
          }
        }
}

TEST_F(Alerts, ReturnAnswersTheFirstButtonEscapeTheSecondAndNothingOnOne) {
  struct Case {
    const char* second;
    std::vector<std::pair<uint16_t, uint32_t>> keys;
    bool answer;
  };
  const Case cases[] = {
      {"No", {{platform::wm::kKeyEscape, 27}}, false},
      {"No", {{platform::wm::kKeyReturn, '\r'}}, true},
      {nullptr, {{platform::wm::kKeyEscape, 27}, {platform::wm::kKeyReturn, '\r'}}, true},
  };
  for (const Case& c : cases) {
    for (auto [code, character] : c.keys) input().key(code, character);
    EXPECT_EQ(JAlert(nullptr, kJIconNote, "Overwrite?", "Yes", c.second), c.answer);
  }
  EXPECT_FALSE(JModalLoopRunning());
  // Modeless: Escape leaves a one-button alert open; a click answers the button under it.
  JWindow* one = JAlertModeless(nullptr, kJIconNote, "Done.", "Ok", nullptr, Answer, &calls_);
  EXPECT_EQ(JAlertButton(one, false), nullptr);
  key(platform::wm::kKeyEscape, 27);
  EXPECT_FALSE(one->state & kJWindowClosed);
  key(platform::wm::kKeyReturn, '\r');
  JWindow* two = JAlertModeless(nullptr, kJIconNote, "Keep the colours?", "Keep", "Drop", Answer, &calls_);
  const platform::Rect r = screenClient(two);
  JWidget* drop = JAlertButton(two, false);
  input().click(r.left + drop->x + 5, r.top + drop->y + 5);
  drain();
  EXPECT_EQ(answers, (std::vector<int>{1, 0}));
  EXPECT_EQ(calls_, 2);
}

TEST_F(Alerts, ShortcutsWaitWhileAModalAlertIsUp) {
  int quits = 0;
  installQuitMenu(&quits);
  input().key('q', 'q', platform::wm::kCtrl);
  input().key(platform::wm::kKeyReturn, '\r');
  EXPECT_TRUE(JAlert(nullptr, kJIconNote, "Busy", "Ok", nullptr));
  EXPECT_EQ(quits, 0);
  input().key('q', 'q', platform::wm::kCtrl);
  drain();
  EXPECT_EQ(quits, 1);
  JMenuShutdown();
}

TEST_F(Alerts, AnAlertLeftOpenIsFreedWithItsWindow) {
  JNote("Still open at the end", "Ok");
  // The toolkit's shut-down disposes the window; the leak checker sees the rest.
}
