// Progress reports: when the window appears, where, and what the bar shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/document/Progress.h"

namespace {

// A host with a virtual clock that records what the reports ask of it.
struct FakeHost {
  uint32_t now = 1000;
  int cursorOn = 0;
  int cursorOff = 0;
  int windowsMade = 0;
  int repaints = 0;
  int closes = 0;
  int saves = 0;
  int restores = 0;
  uint32_t barValue = 0;
  std::vector<JWindow*> nearWindows;
  std::vector<std::string> labels;
  std::vector<int> showsSeen;
  uint32_t closedAt = 0;
  ProgressHost host{};

  FakeHost() {
    host.data = this;
    host.tickCount = [](void* d) { return static_cast<FakeHost*>(d)->now; };
    host.sleep = [](void* d, uint32_t ms) { static_cast<FakeHost*>(d)->now += ms; };
    host.busyCursor = [](void* d, bool on) { ++(on ? static_cast<FakeHost*>(d)->cursorOn : static_cast<FakeHost*>(d)->cursorOff); };
    host.createWindow = [](void* d, ProgressReport* r, JWindow* nearWindow) {
      FakeHost* h = static_cast<FakeHost*>(d);
      ++h->windowsMade;
      h->nearWindows.push_back(nearWindow);
      r->window = reinterpret_cast<JWindow*>(static_cast<uintptr_t>(h->windowsMade * 16));
      h->barValue = r->done;
      h->labels.push_back(r->label);
    };
    host.showWindow = [](void* d, ProgressReport*) { static_cast<FakeHost*>(d)->showsSeen.push_back(1); };
    host.advanceBar = [](void* d, ProgressReport*, uint32_t n) { static_cast<FakeHost*>(d)->barValue += n; };
    host.repaintNow = [](void* d, ProgressReport*) { ++static_cast<FakeHost*>(d)->repaints; };
    host.labelChanged = [](void* d, ProgressReport* r) { static_cast<FakeHost*>(d)->labels.push_back(r->label); };
    host.saveDrawingState = [](void* d) { ++static_cast<FakeHost*>(d)->saves; };
    host.restoreDrawingState = [](void* d) { ++static_cast<FakeHost*>(d)->restores; };
    host.closeWindow = [](void* d, ProgressReport*) {
      FakeHost* h = static_cast<FakeHost*>(d);
      ++h->closes;
      h->closedAt = h->now;
    };
    ProgressSetHost(&host);
  }
  ~FakeHost() { ProgressSetHost(nullptr); }
};

// When the window appears: at 2 s unless two thirds are done, then at 3 s; never for a
// report ended sooner. Steps never take done past the total.
TEST(Progress, TheWindowAppearsByTimeAndShare) {
  const struct {
    uint32_t total, done, elapsed;
    int windows;
  } cases[] = {
      {100, 10, 1999, 0}, {100, 10, 2000, 1}, {100, 66, 2000, 1}, {100, 67, 2999, 0},
      {100, 67, 3000, 1}, {0, 0, 2000, 1},    {50, 60, 1000, 0},  {50, UINT32_MAX, 1000, 0},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    ProgressBegin("Working", c.total);
    EXPECT_EQ(fake.cursorOn, 1);
    ProgressStep(c.done);
    EXPECT_EQ(ProgressCurrent()->done, std::min(c.done, c.total));
    fake.now += c.elapsed;
    ProgressStep(0);
    EXPECT_EQ(fake.windowsMade, c.windows) << c.done << " done at " << c.elapsed;
    EXPECT_EQ(fake.saves, fake.restores);
    ProgressEnd();
    EXPECT_EQ(fake.cursorOff, 1);
    EXPECT_EQ(ProgressCurrent(), nullptr);
  }
}

TEST(Progress, AShownReportCallsBackFollowsItsLabelAndFillsTheBarAtTheEnd) {
  FakeHost fake;
  static int shown = 0;
  ProgressBegin("Reading File", 100);
  ProgressOnShow([](JWindow*, void* data) { ++*static_cast<int*>(data); }, &shown);
  ProgressStep(10);
  fake.now += 2000;
  ProgressStep(5);
  ASSERT_EQ(fake.windowsMade, 1);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(fake.labels.back(), "Reading File");
  EXPECT_EQ(fake.barValue, 15u) << "the bar follows done";
  ProgressSetLabel("Next Stage");
  EXPECT_EQ(fake.labels.back(), "Next Stage");
  const uint32_t endAt = fake.now;
  ProgressEnd();
  EXPECT_EQ(fake.barValue, 100u);
  EXPECT_EQ(fake.closes, 1);
  EXPECT_GE(fake.closedAt - endAt, 150u) << "kept visible a moment";
}

TEST(Progress, NestedReportsStackAndTheInnerWindowIsPlacedByTheOuter) {
  FakeHost fake;
  ProgressBegin("Outer", 10);
  fake.now += 2000;
  ProgressStep(1);
  ASSERT_EQ(fake.windowsMade, 1);
  ProgressReport* outer = ProgressCurrent();
  ProgressBegin("Inner", 10);
  EXPECT_EQ(ProgressBusyDepth(), 2u);
  EXPECT_EQ(fake.cursorOn, 1) << "the cursor is saved once";
  ProgressStep(1);
  EXPECT_EQ(ProgressCurrent()->done, 1u);
  EXPECT_EQ(outer->done, 1u) << "steps go to the innermost report";
  fake.now += 3000;
  ProgressStep(1);
  ASSERT_EQ(fake.windowsMade, 2);
  EXPECT_EQ(fake.nearWindows[0], nullptr);
  EXPECT_EQ(fake.nearWindows[1], outer->window);
  ProgressEnd();
  EXPECT_EQ(ProgressCurrent(), outer);
  EXPECT_EQ(fake.cursorOff, 0);
  ProgressEnd();
  EXPECT_EQ(fake.cursorOff, 1);
}

TEST(Progress, ForcedRepaintsAtMostOnceASecond) {
  FakeHost fake;
  ProgressBegin("Working", 1000);
  fake.now += 2000;
  for (int i = 0; i < 100; ++i) {
    fake.now += 100;
    ProgressStep(1);
  }
  EXPECT_GE(fake.repaints, 9);
  EXPECT_LE(fake.repaints, 11);
  ProgressEnd();
}

}  // namespace
