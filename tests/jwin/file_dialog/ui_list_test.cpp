#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "jindep/Ji_tidge_std.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

int selects = 0;
int activations = 0;

class Lists : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    selects = activations = 0;
    window_ = JNewWindow(nullptr, "Lists", kJWindowDialog);
    JSizeWindow(window_, 300, 240);
    JShowAndActivateWindow(window_);
    list_ = JNewList(window_, nullptr, 20, 20, 200, 124);
    JShowWidget(list_);
    JSetListSelectAction(list_, [](JWidget*) { ++selects; });
    JSetListActivateAction(list_, [](JWidget*) { ++activations; });
    drain();
  }
  void rows(int n) {
    std::vector<std::string> text;
    for (int i = 0; i < n; ++i) text.push_back("row " + std::to_string(i));
    std::vector<const char*> p;
    for (const std::string& s : text) p.push_back(s.c_str());
    JSetListRows(list_, p.data(), n);
  }
  // A click on a row that is shown.
  void clickRow(int row) {
    const platform::Rect c = screenClient(window_);
    const int y = list_->y + 2 + (row - JListTopRow(list_)) * JListRowHeight(list_) + JListRowHeight(list_) / 2;
    input().click(c.left + list_->x + 20, c.top + y);
    drain();
  }
  int visible() const { return (list_->height - JListHeightForRows(list_, 0)) / JListRowHeight(list_); }
  JWidget* bar() const { return window_->widgets[window_->widgetCount - 1]; }

  JWindow* window_ = nullptr;
  JWidget* list_ = nullptr;
};

}  // namespace

// Random keys against a model of the selection (clamped to the rows; the select action runs
// only on a change), with the selected row always in view.
TEST_F(Lists, RandomKeysMoveTheSelectionAsTheModelAndKeepItShown) {
  std::mt19937 random(7);
  const uint16_t keys[] = {platform::wm::kKeyUp,     platform::wm::kKeyDown, platform::wm::kKeyHome,
                           platform::wm::kKeyEnd,    platform::wm::kKeyPageUp, platform::wm::kKeyPageDown};
  JSetFocus(window_, list_);
  for (int round = 0; round < 30; ++round) {
    const int n = static_cast<int>(random() % 60);
    rows(n);
    int want = -1;
    for (int i = 0; i < 12; ++i) {
      const int k = static_cast<int>(random() % 6), page = visible(), before = selects;
      key(keys[k]);
      const int s = JListSelection(list_), top = JListTopRow(list_);
      if (n == 0) {
        EXPECT_EQ(s, -1);
        continue;
      }
      const int to[] = {want < 0 ? 0 : want - 1, want + 1, 0, n - 1, want < 0 ? 0 : want - page,
                        want < 0 ? page - 1 : want + page};
      const int was = want;
      want = std::clamp(to[k], 0, n - 1);
      ASSERT_EQ(s, want) << "key " << k << " from " << was << " of " << n;
      ASSERT_EQ(selects - before, want != was ? 1 : 0);
      EXPECT_LE(top, s);
      EXPECT_LT(s, top + visible());
      EXPECT_LE(top, n > visible() ? n - visible() : 0);
    }
  }
  // A letter goes to the next row starting with it; Return activates the selection.
  rows(40);
  key(platform::wm::kKeyHome);
  key('r', 'r');
  EXPECT_EQ(JListSelection(list_), 1);
  EXPECT_EQ(activations, 0);
  key(platform::wm::kKeyReturn, '\r');
  EXPECT_EQ(activations, 1);
}

TEST_F(Lists, AScrollBarOnlyWhenTheRowsDoNotFitAndItScrollsThem) {
  rows(visible());
  drain();
  EXPECT_FALSE(JWidgetVisible(bar()));
  rows(visible() + 5);
  drain();
  ASSERT_TRUE(JWidgetVisible(bar()));
  EXPECT_EQ(bar()->x + bar()->width, list_->x + list_->width - 2);
  // The down arrow at the bar's foot scrolls one row.
  const platform::Rect c = screenClient(window_);
  input().click(c.left + bar()->x + 8, c.top + bar()->y + bar()->height - 8);
  drain();
  EXPECT_EQ(JListTopRow(list_), 1);
  JHideWidget(list_);
  EXPECT_FALSE(JWidgetVisible(bar()));
}

TEST_F(Lists, ClicksSelectAndAQuickSecondClickActivates) {
  rows(5);
  clickRow(2);
  EXPECT_EQ(JListSelection(list_), 2);
  EXPECT_EQ(JFocus(window_), list_);
  EXPECT_STREQ(JListSelectedRow(list_), "row 2");
  clock().advance(1000);
  clickRow(2);  // too late to pair with the first
  EXPECT_EQ(activations, 0);
  clickRow(2);
  EXPECT_EQ(activations, 1);
  clickRow(3);  // another row starts afresh
  clickRow(4);
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(selects, 3);
  // Below the last row nothing is hit.
  const platform::Rect c = screenClient(window_);
  input().click(c.left + list_->x + 20, c.top + list_->y + list_->height - 4);
  drain();
  EXPECT_EQ(JListSelection(list_), 4);
}

TEST_F(Lists, LongRowsStayInsideTheList) {
  const std::string longRow(300, 'W');
  const char* text[] = {"first", "second", longRow.c_str()};
  JSetListRows(list_, text, 3);
  JSetListSelection(list_, 1);
  JSetFocus(window_, list_);
  drain();
  wm().compose();
  const platform::Rect c = screenClient(window_);
  // The long row's text ends at the list's border: the window's face shows beyond it.
  const int longMiddle = list_->y + 2 + 2 * JListRowHeight(list_) + JListRowHeight(list_) / 2;
  for (int x = list_->x + list_->width + 1; x < list_->x + list_->width + 40; ++x)
    EXPECT_NE(wm().screen().pixel(c.left + x, c.top + longMiddle) & 0xFFFFFF, 0u) << x;
}
