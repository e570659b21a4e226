#include <gtest/gtest.h>

#include <string>

#include "jindep/Ji_tempm.h"
#include "jindep/Ji_tidge.h"
#include "jwin/J_window.h"
#include "jwin/J_winproc.h"
#include "toolkit_fixture.h"

namespace {

std::string log;
void Say(const JWidget* w, const char* what) {
  if (!log.empty()) log += ' ';
  log += what;
  log += ':';
  log += static_cast<char>(w->word1);
}

void Construct(JWidget* w) { Say(w, "new"); }
void Destruct(JWidget* w) { Say(w, "gone"); }
void Down(JWidget* w, int16_t, int16_t, uint8_t) {
  Say(w, "down");
  if (w->word2) JSetFocus(w->window, w);  // word2 marks widgets that take the focus
}
void Up(JWidget* w, int16_t, int16_t, uint8_t) { Say(w, "up"); }
void Show(JWidget* w, bool) { Say(w, "show"); }
void Hide(JWidget* w, bool) { Say(w, "hide"); }
void Activate(JWidget* w) { Say(w, "on"); }
void Deactivate(JWidget* w) { Say(w, "off"); }
bool Key(JWidget* w, JKeyEvent* k) {
  Say(w, "key");
  return k->character != 'x';  // declines x
}

void WindowDown(JWindow*, int16_t, int16_t, uint8_t) { log += log.empty() ? "window" : " window"; }
void WindowKey(JWindow*, JKeyEvent*) { log += log.empty() ? "windowkey" : " windowkey"; }

class Widgets : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    log.clear();
    cls_ = JNewWidgetClass();
    cls_->construct = Construct;
    cls_->destruct = Destruct;
    cls_->mouseDown = Down;
    cls_->mouseUp = Up;
    cls_->show = Show;
    cls_->hide = Hide;
    cls_->activate = Activate;
    cls_->deactivate = Deactivate;
    cls_->key = Key;
    window_ = JNewWindow(nullptr, "W", kJWindowSizable);
    JSetHandler(window_, kJSlotMouseDown, WindowDown);
    JSetHandler(window_, kJSlotKeyDown, WindowKey);
    JShowAndActivateWindow(window_);
    drain();
  }
  void TearDown() override {
    ToolkitTest::TearDown();
    JDisposeWidgetClass(cls_);
  }

  JWidget* make(char name, int16_t x, int16_t y, int16_t w, int16_t h) {
    JTempMark();
    JWidget* widget = JNewWidget(cls_, window_, nullptr, x, y);
    JTempRelease();
    widget->word1 = static_cast<uintptr_t>(name);
    JSizeWidget(widget, w, h);
    JShowWidget(widget);
    return widget;
  }
  // A screen point at a local point of the window.
  void clickAt(int x, int y) {
    const platform::Rect c = screenClient(window_);
    input().click(c.left + x, c.top + y);
    drain();
  }

  JWidgetClass* cls_ = nullptr;
  JWindow* window_ = nullptr;
};

}  // namespace

TEST_F(Widgets, AClickLandsOnTheTopmostVisibleWidget) {
  make('a', 10, 10, 100, 100);
  JWidget* b = make('b', 50, 50, 100, 100);
  log.clear();
  clickAt(60, 60);  // inside both
  EXPECT_EQ(log, "down:b up:b");
  log.clear();
  clickAt(20, 20);  // only a
  EXPECT_EQ(log, "down:a up:a");
  log.clear();
  JHideWidget(b);
  clickAt(60, 60);
  EXPECT_EQ(log, "hide:b down:a up:a");
  log.clear();
  clickAt(300, 200);  // no widget: the window's own slot
  EXPECT_EQ(log, "window");
  // An inactive widget takes the press without acting on it.
  JWidget* c = make('c', 200, 10, 30, 30);
  JActivateWidget(c, false);
  log.clear();
  clickAt(210, 20);
  EXPECT_EQ(log, "");
}

TEST_F(Widgets, FocusTakesKeysAndMovesOnClick) {
  JWidget* a = make('a', 10, 10, 50, 50);
  JWidget* b = make('b', 100, 10, 50, 50);
  a->word2 = b->word2 = 1;
  clickAt(20, 20);
  log.clear();
  input().type("kx");
  drain();
  EXPECT_EQ(log, "key:a key:a windowkey");  // a declines x: the window gets it
  clickAt(110, 20);
  EXPECT_EQ(JFocus(window_), b);
  // An inactive focused widget gets no keys, and a disposed one leaves no focus behind.
  JActivateWidget(b, false);
  log.clear();
  input().type("k");
  drain();
  EXPECT_EQ(log, "windowkey");
  JTempMark();
  JDisposeWidget(b);
  JTempRelease();
  EXPECT_EQ(JFocus(window_), nullptr);
}

namespace {
uint16_t stateSeen = 0;
void DisposeSelf(JWidget* w, int16_t, int16_t, uint8_t) {
  JDisposeWidget(w);
  JDisposeWidget(w);  // twice: nothing more
  stateSeen = w->state;  // still readable until the end of the step
}
}  // namespace

TEST_F(Widgets, AWidgetDisposingItselfStaysReadableUntilTheStepEnds) {
  JWidget* a = make('a', 10, 10, 50, 50);
  cls_->mouseDown = DisposeSelf;
  log.clear();
  clickAt(20, 20);
  EXPECT_TRUE(stateSeen & kJWidgetDisposing);
  EXPECT_EQ(log, "gone:a");  // disposed once; the release found no widget and no handler
  EXPECT_EQ(window_->widgetCount, 0);
  (void)a;
}

TEST_F(Widgets, DisposingTheWindowDisposesItsWidgets) {
  make('a', 10, 10, 50, 50);
  make('b', 60, 10, 50, 50);
  log.clear();
  JDisposeWindow(window_);
  JEventStep(nullptr, false);
  EXPECT_EQ(log, "gone:b gone:a");
}
