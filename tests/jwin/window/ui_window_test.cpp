#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"
#include "jwin/J_clock.h"
#include "jwin/J_hleven.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"
#include "jwin/J_winproc.h"
#include "platform/wm/Metrics.h"
#include "toolkit_fixture.h"

namespace {

// What the handlers saw, in order, as short words.
std::string trail;
void Say(const std::string& s) { trail += trail.empty() ? s : " " + s; }

void OnDown(JWindow*, int16_t x, int16_t y, uint8_t) { Say("down@" + std::to_string(x) + "," + std::to_string(y)); }
void OnUp(JWindow*, int16_t, int16_t, uint8_t) { Say("up"); }
void OnPressEnded(JWindow*) { Say("ended"); }
bool AllowClose(JWindow*) {
  Say("query");
  return true;
}
bool RefuseClose(JWindow*) {
  Say("refuse");
  return false;
}
void OnClosing(JWindow*) { Say("closing"); }
void OnResized(JWindow*) { Say("resized"); }
void OnMoved(JWindow*) { Say("moved"); }
void OnActive(JWindow* w) { Say(std::string("active:") + w->title); }
void OnInactive(JWindow* w) { Say(std::string("inactive:") + w->title); }
void OnKey(JWindow*, JKeyEvent* k) {
  Say("key" + std::to_string(k->character) + "/" + std::to_string(k->modifiers));
}

class Windows : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    trail.clear();
  }

  JWindow* open(const char* title, uint16_t flags = kJWindowSizable) {
    JWindow* w = JNewWindow(nullptr, title, flags);
    JSetHandler(w, kJSlotMouseDown, OnDown);
    JSetHandler(w, kJSlotMouseUp, OnUp);
    JSetHandler(w, kJSlotPressEnded, OnPressEnded);
    JSetHandler(w, kJSlotCloseQuery, AllowClose);
    JSetHandler(w, kJSlotClosing, OnClosing);
    JSetHandler(w, kJSlotResized, OnResized);
    JSetHandler(w, kJSlotMoved, OnMoved);
    JSetHandler(w, kJSlotKeyDown, OnKey);
    JShowAndActivateWindow(w);
    drain();
    return w;
  }
};

}  // namespace

TEST_F(Windows, ClickingTheCloseBoxAsksClosesAndDisposes) {
  JWindow* w = open("Doc");
  const uint32_t id = w->platformWindow;
  const platform::Rect f = screenFrame(w);
  const platform::Rect box = wm().window(id)->closeBoxRect().translated(f.left, f.top);
  JHoldWindow(w);  // keep the record readable after disposal for the checks below
  input().click(box.left + 4, box.top + 4);
  drain();
  EXPECT_EQ(trail, "query closing");
  EXPECT_TRUE(w->state & kJWindowClosed);
  EXPECT_EQ(wm().window(id), nullptr);
  EXPECT_EQ(JWindowFromPlatform(id), nullptr);
  // Closed: nothing reaches it any more, and disposing again is harmless.
  trail.clear();
  JRequestClose(w);
  EXPECT_EQ(trail, "");
  JDisposeWindow(w);
  JDisposeWindow(nullptr);
  JReleaseWindow(w);
  // A window that refuses stays open.
  JWindow* v = open("Other");
  JSetHandler(v, kJSlotCloseQuery, RefuseClose);
  trail.clear();
  JRequestClose(v);
  EXPECT_EQ(trail, "refuse");
  EXPECT_FALSE(v->state & kJWindowClosed);
  EXPECT_TRUE(JWindowVisible(v));
}

TEST_F(Windows, MouseReachesSlotsInLocalCoordinates) {
  JWindow* w = open("Doc");
  JSetWindowOrigin(w, -5, 10);
  const platform::Rect c = screenClient(w);
  input().click(c.left + 20, c.top + 30);
  drain();
  EXPECT_EQ(trail, "down@25,20 up");
}

TEST_F(Windows, APressEndedWithoutReleaseCallsSlotThree) {
  JWindow* a = open("A");
  JSetHandler(a, kJSlotDeactivated, OnInactive);
  const platform::Rect c = screenClient(a);
  input().mouseDown(c.left + 10, c.top + 10);
  drain();
  trail.clear();
  // Another window becomes active while the button is still down.
  JWindow* b = JNewWindow(nullptr, "B", 0);
  JSetHandler(b, kJSlotActivated, OnActive);
  JShowAndActivateWindow(b);
  drain();
  EXPECT_EQ(trail, "ended inactive:A active:B");  // the old window hears it first
  // A press on the frame (not the content) ends a pending press as well.
  trail.clear();
  JSelectWindow(a);
  drain();
  input().mouseDown(c.left + 10, c.top + 10);
  const platform::Rect f = screenFrame(a);
  input().mouseDown(f.left + 30, f.top + 8);
  drain();
  EXPECT_EQ(trail, "down@10,10 ended");
}

namespace {
char* tempText = nullptr;
size_t depthInHandler = 0;
void MakeTemp(JWindow*, int16_t, int16_t, uint8_t) {
  tempText = static_cast<char*>(JTempAlloc(32));
  std::strcpy(tempText, "temporary");
  depthInHandler = JTempDepth();
}
void ReadTemp(JWindow*, int16_t, int16_t, uint8_t) {
  // Same step as the press: the text is still there.
  EXPECT_STREQ(tempText, "temporary");
}
}  // namespace

TEST_F(Windows, TemporaryMemoryLivesUntilTheEndOfTheStep) {
  JWindow* w = open("Doc");
  JSetHandler(w, kJSlotMouseDown, MakeTemp);
  JSetHandler(w, kJSlotMouseUp, ReadTemp);
  const size_t depthBefore = JTempDepth();
  const uint64_t bytesBefore = JMemBytesInUse();
  const platform::Rect c = screenClient(w);
  input().mouseDown(c.left + 3, c.top + 3);
  wm().pumpInput();
  JEventStep(nullptr, false);
  EXPECT_GT(depthInHandler, depthBefore);
  EXPECT_EQ(JTempDepth(), depthBefore);  // released with the step
  EXPECT_EQ(JMemBytesInUse(), bytesBefore);
}

namespace {
void DisposeOnClick(JWindow* w, int16_t, int16_t, uint8_t) { JDisposeWindow(w); }
}  // namespace

TEST_F(Windows, AModalLoopEndsInTheStepThatDisposesItsWindow) {
  JWindow* w = open("Dialog", kJWindowDialog);
  JSetHandler(w, kJSlotMouseDown, DisposeOnClick);
  const platform::Rect c = screenClient(w);
  input().mouseDown(c.left + 3, c.top + 3);
  input().command(77);
  JModalLoop(w, false);
  // The command that followed the disposing press is still waiting: no further step ran.
  platform::wm::Message m;
  EXPECT_TRUE(wm().queue().peek(&m, [](const platform::wm::Message& q) {
    return q.type == platform::wm::MessageType::Command;
  }));
  // And a modal loop on a window disposed by a timed call ends too.
  JWindow* v = open("Other", kJWindowDialog);
  drain();
  JSchedule([](void* data) { JDisposeWindow(static_cast<JWindow*>(data)); }, v, 100);
  JModalLoop(v, false);  // idle waits move the virtual clock
  EXPECT_GE(clock().ticks(), 100u);
}

namespace {
int quits = 0;
void CountQuit(void*, const char*) { ++quits; }
}  // namespace

TEST_F(Windows, TheMainWindowsCloseBoxIsAQuitRequest) {
  quits = 0;
  JSetHighLevelHandler(kJRequestQuit, CountQuit, nullptr);
  const platform::wm::Window* frame = wm().window(wm().mainFrame());
  const platform::Rect box = frame->closeBoxRect().translated(frame->frame().left, frame->frame().top);
  input().click(box.left + 3, box.top + 3);
  drain();
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(JEventLoopRunning());
  // Without a handler the request clears the running flag.
  JSetHighLevelHandler(kJRequestQuit, nullptr, nullptr);
  input().requestClose();
  drain();
  EXPECT_FALSE(JEventLoopRunning());
}

TEST_F(Windows, ControlF4ClosesAndControlF6CyclesTheDocuments) {
  JWindow* a = open("A");
  JWindow* b = open("B");
  JWindow* c = open("C");
  EXPECT_EQ(JActiveWindow(), c);
  input().key(platform::wm::kKeyF1 + 5, 0, platform::wm::kCtrl);
  drain();
  EXPECT_EQ(JActiveWindow(), a);
  input().key(platform::wm::kKeyF1 + 5, 0, platform::wm::kCtrl);
  drain();
  EXPECT_EQ(JActiveWindow(), b);
  trail.clear();
  JHoldWindow(b);
  input().key(platform::wm::kKeyF1 + 3, 0, platform::wm::kCtrl);
  drain();
  EXPECT_EQ(trail, "query closing");
  EXPECT_TRUE(b->state & kJWindowClosed);
  JReleaseWindow(b);
  EXPECT_EQ(JActiveWindow(), a);  // the topmost remaining document
  (void)c;
}

