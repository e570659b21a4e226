// Progress reports: when the window appears, where, and what the bar shows.
#include <gtest/gtest.h>

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

TEST(Progress, AReportEndedWithinTwoSecondsNeverShowsAWindow) {
  FakeHost fake;
  ProgressBegin("Working", 10);
  EXPECT_EQ(fake.cursorOn, 1);
  for (int i = 0; i < 10; ++i) {
    fake.now += 199;
    ProgressStep(1);
  }
  ProgressEnd();
  EXPECT_EQ(fake.windowsMade, 0);
  EXPECT_EQ(fake.cursorOff, 1);
  EXPECT_EQ(ProgressCurrent(), nullptr);
}

TEST(Progress, AReportMostlyDoneWaitsUntilThreeSeconds) {
  FakeHost fake;
  ProgressBegin("Working", 100);
  ProgressStep(70);
  fake.now += 2500;
  ProgressStep(1);
  EXPECT_EQ(fake.windowsMade, 0) << "70% done at 2.5 s";
  fake.now += 500;
  ProgressStep(1);
  EXPECT_EQ(fake.windowsMade, 1);
  EXPECT_EQ(fake.saves, fake.restores);
  ProgressEnd();
}

TEST(Progress, AReportLittleDoneAppearsAtTwoSecondsWithLabelAndOnShow) {
  FakeHost fake;
  static int shown = 0;
  ProgressBegin("Reading File", 100);
  ProgressOnShow([](JWindow*, void* data) { ++*static_cast<int*>(data); }, &shown);
  ProgressStep(10);
  fake.now += 1999;
  ProgressStep(1);
  EXPECT_EQ(fake.windowsMade, 0);
  fake.now += 1;
  ProgressStep(5);
  ASSERT_EQ(fake.windowsMade, 1);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(fake.labels.back(), "Reading File");
  EXPECT_EQ(fake.barValue, 16u) << "the bar follows done";
  ProgressSetLabel("Next Stage");
  EXPECT_EQ(fake.labels.back(), "Next Stage");
  ProgressEnd();
}

TEST(Progress, StepsNeverTakeDonePastTotal) {
  FakeHost fake;
  ProgressBegin("Working", 50);
  ProgressStep(30);
  ProgressStep(30);
  EXPECT_EQ(ProgressCurrent()->done, 50u);
  ProgressStep(UINT32_MAX);
  EXPECT_EQ(ProgressCurrent()->done, 50u);
  ProgressEnd();
}

TEST(Progress, TotalZeroShowsAfterTwoSeconds) {
  FakeHost fake;
  ProgressBegin("Working", 0);
  fake.now += 2000;
  ProgressStep(0);
  EXPECT_EQ(fake.windowsMade, 1);
  ProgressEnd();
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

TEST(Progress, EndingAShownReportFillsTheBarAndKeepsItVisibleFor150ms) {
  FakeHost fake;
  ProgressBegin("Working", 100);
  fake.now += 2000;
  ProgressStep(10);
  const uint32_t endAt = fake.now;
  ProgressEnd();
  EXPECT_EQ(fake.barValue, 100u);
  EXPECT_EQ(fake.closes, 1);
  EXPECT_GE(fake.closedAt - endAt, 150u);
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

TEST(Progress, WithoutAHostNothingAppears) {
  ProgressSetHost(nullptr);
  ProgressBegin("Batch", 10);
  ProgressStep(4);
  EXPECT_EQ(ProgressCurrent()->done, 4u);
  EXPECT_EQ(ProgressCurrent()->window, nullptr);
  ProgressEnd();
  EXPECT_EQ(ProgressBusyDepth(), 0u);
}

TEST(Progress, WindowSizeFollowsTheBoxOrTheMainWindow) {
  int w = 0, h = 0;
  ProgressWindowSize(100, 40, 1280, 800, &w, &h);
  EXPECT_EQ(w, 512);
  EXPECT_EQ(h, 160);
  ProgressWindowSize(800, 200, 1280, 800, &w, &h);
  EXPECT_EQ(w, 1000);
  EXPECT_EQ(h, 250);
}

}  // namespace
