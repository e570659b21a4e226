#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "jwin/J_clock.h"
#include "jwin/J_sched.h"
#include "toolkit_fixture.h"

namespace {

std::string order;
void Note(void* data) { order += static_cast<char>(reinterpret_cast<uintptr_t>(data)); }
void* Tag(char c) { return reinterpret_cast<void*>(static_cast<uintptr_t>(c)); }

// Runs every call that is due now.
void RunDue() {
  while (JRunTimedCalls()) {
  }
}

class TimedCalls : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    order.clear();
  }
};

}  // namespace

TEST_F(TimedCalls, RunInOrderOfDueTickNewestFirstOnEqualTicksAndNeverInsideSchedule) {
  drain();  // the start-up messages go first: timed calls run when the queue is dry
  clock().set(1000);
  JSchedule(Note, Tag('c'), 30);
  JSchedule(Note, Tag('a'), 10);
  JSchedule(Note, Tag('1'), 20);
  JSchedule(Note, Tag('2'), 20);
  JSchedule(Note, Tag('z'), 0);
  EXPECT_EQ(order, "");
  clock().advance(1);
  JEventStep(nullptr, false);  // the event loop runs at most one call per step
  EXPECT_EQ(order, "z");
  clock().set(1100);
  RunDue();
  EXPECT_EQ(order, "za21c");
  EXPECT_FALSE(JAnythingScheduled());
}

namespace {

struct Ticker {
  JScheduled* handle = nullptr;
  int runs = 0;
  int limit = 0;
  JScheduled* handleSeenInside = reinterpret_cast<JScheduled*>(1);
};

void Tick(void* data) {
  Ticker* t = static_cast<Ticker*>(data);
  t->handleSeenInside = t->handle;  // cleared before the call runs
  if (++t->runs < t->limit) JSchedule(Tick, t, 10, &t->handle);
}

}  // namespace

// The owner's handle is cleared before the call runs, so a call that reschedules itself
// keeps the new handle, and a finished or cancelled chain leaves none.
TEST_F(TimedCalls, SelfReschedulingCallKeepsItsOwnersHandleCurrent) {
  for (const int cancelAfter : {0, 1}) {
    Ticker t;
    t.limit = cancelAfter ? 100 : 5;
    JSchedule(Tick, &t, 10, &t.handle);
    for (int i = 0; i < 10 && t.handle; ++i) {
      clock().advance(11);
      RunDue();
      EXPECT_EQ(t.handleSeenInside, nullptr);
      if (t.handle) {
        EXPECT_EQ(JScheduleDueTick(t.handle), clock().ticks() + 10);
      }
      if (cancelAfter && i + 1 == cancelAfter) JCancelSchedule(t.handle);
    }
    clock().advance(1000);
    RunDue();
    EXPECT_EQ(t.runs, cancelAfter ? 1 : 5);
    EXPECT_EQ(t.handle, nullptr);
  }
}

namespace {

struct Call {
  int64_t due = 0;
  int64_t ranAt = -1;
  int runs = 0;
  bool cancelled = false;
  JScheduled* handle = nullptr;
};
std::vector<Call>* calls = nullptr;
int64_t virtualNow = 0;  // the test's own unwrapped clock

void Record(void* data) {
  Call& c = (*calls)[reinterpret_cast<uintptr_t>(data)];
  c.ranAt = virtualNow;
  ++c.runs;
}

}  // namespace

TEST_F(TimedCalls, EveryCallRunsOnceAndNeverEarlyAcrossTheTickWrap) {
  std::mt19937 rng(1234);
  for (uint32_t start : {0xFFFF0000u, 0x7FFF8000u, 0u}) {
    std::vector<Call> all(4000);
    calls = &all;
    clock().set(start);
    JTickCount64();  // the toolkit sees the new clock before anything is scheduled
    virtualNow = 0;
    size_t next = 0;
    while (next < all.size() || JAnythingScheduled()) {
      const int action = static_cast<int>(rng() % 10);
      if (action < 4 && next < all.size()) {
        const int32_t delay = static_cast<int32_t>(rng() % 3000) - 5;  // a few negative delays
        Call& c = all[next];
        c.due = virtualNow + delay;
        JSchedule(Record, reinterpret_cast<void*>(static_cast<uintptr_t>(next)), delay, &c.handle);
        ++next;
      } else if (action == 4 && next > 0) {
        Call& c = all[rng() % next];
        if (c.handle) {
          JCancelSchedule(c.handle);
          c.cancelled = true;
        }
      } else if (action < 8) {
        const uint32_t step = rng() % 40;
        clock().advance(step);
        virtualNow += step;
      } else {
        JRunTimedCalls();
      }
      if (next == all.size()) {
        clock().advance(7);
        virtualNow += 7;
      }
    }
    for (size_t i = 0; i < all.size(); ++i) {
      const Call& c = all[i];
      ASSERT_EQ(c.runs, c.cancelled ? 0 : 1) << "call " << i << " from " << start;
      ASSERT_EQ(c.handle, nullptr);  // run or cancelled, no owner keeps a handle
      if (!c.cancelled) {
        ASSERT_GT(c.ranAt, c.due) << "call " << i << " ran early, from " << start;
      }
    }
  }
  calls = nullptr;
}
