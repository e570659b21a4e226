// The size estimate and the file-size graph measured in the headless program: how long
// a key can wait while the estimate of a 6000 x 4000 picture runs (at most the idle run under
// way, one pass or the preparing of the later passes: the longest run; keys arriving between
// runs are handled before the next), and
// how long the whole file-size curve of a 1024 x 768 photograph takes, every number of colours.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <string>

#include "app/colour/BlockPool.h"
#include "app/colour/ColourTable.h"
#include "app/document/BitReverse.h"
#include "app/document/Document.h"
#include "app/document/DocumentList.h"
#include "app/gif/LzwEncoder.h"
#include "app/gif/SizeEstimate.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/GraphRecord.h"
#include "app/shell/Documents.h"
#include "bench/bench_data.h"
#include "bench/large_photo.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_platform.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

platform::backend::HeadlessBackend& Input() {
  return static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
}

// The headless program with one document open, or null when the picture is missing.
Document* OpenProgram(const std::string& picture) {
  static char program[] = "tintwell";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 1280, 800, 1, argv, 0, 0};
  if (!JToolkitInit(&v)) return nullptr;
  BuildBitReverseTable();
  LzwInit();
  DocumentsInit();
  EngineInit();
  const std::string path = BenchDataDir() + "/" + picture;
  OpenDocumentFile(JFileSpecFromPath(path.c_str()));
  // The new windows' messages (activation binds the document).
  for (int i = 0; i < 100; ++i) JEventStep(nullptr, false);
  return ActiveDocument();
}

void CloseProgram() {
  CloseAllDocuments();
  JToolkitShutdown();
}

// One step of the loop with the virtual clock moved on, so idle calls come due.
void Step() {
  Input().virtualClock().advance(1);
  JEventStep(nullptr, false);
}

Clock::time_point keyHandled;

bool KeyArrived(void*, JKeyEvent*) {
  keyHandled = Clock::now();
  return false;
}

// The first pass draws the whole picture, the run after it prepares the later passes, and the
// second pass still draws many pixels; later ones leave most pixels clear. The first kPasses
// passes show the longest run.
constexpr uint32_t kPasses = 40;

void BM_KeyDuringSizeEstimate(benchmark::State& state) {
  for (auto _ : state) {
    Document* d = OpenProgram(LargePhotoBmp());
    if (!d) {
      state.SkipWithError("photo_6000x4000.ppm is missing (run bench/run.sh)");
      CloseProgram();
      return;
    }
    JSetKeyFilter(KeyArrived, nullptr);
    ResetSizeEstimate(d);
    double longestRun = 0, longestKey = 0;
    uint32_t longestRunAfter = 0;
    int keys = 0;
    while (d->estimating && d->estimatePass < kPasses) {
      // A key arrives before every other idle run: it is handled before the next pass.
      if ((d->estimatePass & 1) == 0) {
        const Clock::time_point posted = Clock::now();
        Input().key('a', 'a');
        keyHandled = {};
        while (keyHandled == Clock::time_point{}) Step();
        longestKey = std::max(longestKey, Ms(keyHandled - posted));
        while (Input().pendingInput() > 0 || JInputWaiting()) Step();
        ++keys;
      }
      const Clock::time_point start = Clock::now();
      Step();
      // Every run counts, also the one that prepares the later passes without measuring one.
      const double ms = Ms(Clock::now() - start);
      if (ms > longestRun) {
        longestRun = ms;
        longestRunAfter = d->estimatePass;
      }
    }
    JSetKeyFilter(nullptr, nullptr);
    state.counters["colours"] = d->colourTable->count;
    state.counters["passes_timed"] = d->estimatePass;
    state.counters["longest_run_ms"] = longestRun;
    state.counters["longest_run_after_pass"] = longestRunAfter;
    state.counters["keys"] = keys;
    state.counters["longest_key_ms"] = longestKey;
    CloseProgram();
  }
}
BENCHMARK(BM_KeyDuringSizeEstimate)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WholeFileSizeCurve(benchmark::State& state) {
  for (auto _ : state) {
    Document* d = OpenProgram("photo_1024x768.bmp");
    if (!d) {
      state.SkipWithError("photo_1024x768.bmp is missing (run bench/run.sh)");
      CloseProgram();
      return;
    }
    StartFileSizeSampling(d);
    GraphRecord* g = d->graphs[kGraphFileSize - 1];
    const uint32_t all = g->xMax;
    // Ten minutes at most (TINTWELL_BENCH_SECONDS sets another limit): the figure is then
    // the share measured and the rate.
    const char* limitText = std::getenv("TINTWELL_BENCH_SECONDS");
    const double limit = limitText ? std::atof(limitText) : 600.0;
    const Clock::time_point start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    uint32_t measured = 0;
    double seconds = 0;
    for (uint64_t steps = 1;; ++steps) {
      Step();
      if (steps % 256 != 0) continue;
      measured = 0;
      for (uint32_t k = g->dataFirst; k <= g->dataLast; ++k) measured += g->values[k - 1] != kNoGraphValue;
      seconds = std::chrono::duration<double>(Clock::now() - start).count();
      if (measured >= all || seconds > limit) break;
    }
    // On a shared machine the processor time is the steadier figure; the whole curve is
    // extrapolated from the share measured (the samples are spread over the range).
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    state.counters["colours"] = all;
    state.counters["measured"] = measured;
    state.counters["seconds"] = seconds;
    state.counters["cpu_seconds"] = cpu;
    state.counters["samples_per_s"] = measured / seconds;
    state.counters["curve_s"] = seconds * all / measured;
    state.counters["curve_cpu_s"] = cpu * all / measured;
    CloseProgram();
  }
}
BENCHMARK(BM_WholeFileSizeCurve)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
