// The window manager's compositor and dirty-rectangle bookkeeping, and the toolkit's
// event step and timed calls: the costs every frame and every step pay.
#include <benchmark/benchmark.h>

#include <random>

#include "jwin/J_event.h"
#include "jwin/J_sched.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/wm/Desktop.h"
#include "platform/wm/WindowManager.h"

using namespace platform;
using namespace platform::wm;

namespace {

// A 1280 x 800 desktop: the main frame and eight overlapping documents.
struct Desk {
  backend::HeadlessBackend backend;
  WindowManager wm{backend, 1280, 800};
  std::vector<WindowId> docs;
  Desk() {
    WindowStyle s;
    s.sizable = s.maximizeBox = s.minimizeBox = true;
    wm.show(wm.createWindow(WindowKind::MainFrame, s, "Main", {0, 0, 1280, 800}), true);
    for (int i = 0; i < 8; ++i) {
      const WindowId d = wm.createWindow(WindowKind::Document, s, "Document", {40 * i, 30 * i, 40 * i + 600, 30 * i + 420});
      wm.show(d, true);
      docs.push_back(d);
    }
    Message m;
    while (wm.nextMessage(&m, 0, true)) {
    }
    wm.compose();
  }
};

void BM_ComposeWholeScreen(benchmark::State& state) {
  Desk desk;
  for (auto _ : state) {
    for (WindowId d : desk.docs) desk.wm.contentChanged(d, {0, 0, 2000, 2000});
    desk.wm.contentChanged(desk.wm.mainFrame(), {0, 0, 2000, 2000});
    desk.wm.compose();
  }
  state.counters["Mpixel/s"] = benchmark::Counter(1280.0 * 800 * static_cast<double>(state.iterations()) / 1e6,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComposeWholeScreen)->Unit(benchmark::kMillisecond);

void BM_ComposeSmallChange(benchmark::State& state) {
  Desk desk;
  for (auto _ : state) {
    desk.wm.contentChanged(desk.docs.back(), {100, 100, 132, 132});
    desk.wm.compose();
  }
}
BENCHMARK(BM_ComposeSmallChange)->Unit(benchmark::kMicrosecond);

void BM_DirtyRegionAdd(benchmark::State& state) {
  std::mt19937 rng(3);
  std::vector<Rect> rects;
  for (int i = 0; i < 1000; ++i) {
    const int x = static_cast<int>(rng() % 1200), y = static_cast<int>(rng() % 760);
    rects.push_back({x, y, x + 1 + static_cast<int>(rng() % 80), y + 1 + static_cast<int>(rng() % 40)});
  }
  for (auto _ : state) {
    DirtyRegion r;
    for (const Rect& rect : rects) r.add(rect);
    benchmark::DoNotOptimize(r.rects().size());
  }
  state.counters["rects/s"] = benchmark::Counter(1000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DirtyRegionAdd)->Unit(benchmark::kMicrosecond);

void Nothing(void*) {}

void BM_TimedCallsScheduleAndRun(benchmark::State& state) {
  static char program[] = "bench";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 640, 480, 1, argv, 0, 0};
  JToolkitInit(&v);
  auto& clock = static_cast<backend::HeadlessBackend&>(Desktop::Current()->backend()).virtualClock();
  std::mt19937 rng(5);
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) JSchedule(Nothing, nullptr, static_cast<int32_t>(rng() % 10000));
    clock.advance(10001);
    while (JRunTimedCalls()) {
    }
  }
  state.counters["calls/s"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
  JToolkitShutdown();
}
BENCHMARK(BM_TimedCallsScheduleAndRun)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_IdleEventStep(benchmark::State& state) {
  static char program[] = "bench";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 640, 480, 1, argv, 0, 0};
  JToolkitInit(&v);
  for (auto _ : state) JEventStep(nullptr, false);
  JToolkitShutdown();
}
BENCHMARK(BM_IdleEventStep)->Unit(benchmark::kMicrosecond);

}  // namespace
