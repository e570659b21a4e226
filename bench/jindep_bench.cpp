// Figures for the independent toolkit layer: formatting, scanning, temporary
// memory and the containers, per operation.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "jindep/Ji_at_ar.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"

static void BM_FormatTempLabel(benchmark::State& state) {
  int i = 0;
  JTempMark();
  for (auto _ : state) {
    benchmark::DoNotOptimize(JFormatTemp("Size: %d%x%d% (%s%)", 1024 + (i & 255), 768, "3.0M"));
    if ((++i & 1023) == 0) {
      JTempRelease();
      JTempMark();
    }
  }
  JTempRelease();
  state.counters["strings/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormatTempLabel);

static void BM_FormatIntoPercent(benchmark::State& state) {
  char buffer[64];
  double v = 0;
  for (auto _ : state) {
    JFormatInto(buffer, "%f1,3.2,2%%%%", v);
    v += 0.37;
    if (v > 100) v = 0;
    benchmark::DoNotOptimize(buffer);
  }
  state.counters["strings/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FormatIntoPercent);

static void BM_ScanRange(benchmark::State& state) {
  int32_t a, b;
  for (auto _ : state) benchmark::DoNotOptimize(JScan("1000 1099", "%dl% %dl%", &a, &b));
  state.counters["scans/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScanRange);

static void BM_TempAllocRelease(benchmark::State& state) {
  for (auto _ : state) {
    JTempMark();
    for (int i = 0; i < 100; ++i) benchmark::DoNotOptimize(JTempAlloc(32));
    JTempRelease();
  }
  state.counters["blocks/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 100, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TempAllocRelease);

static void BM_VectorAppendMillion(benchmark::State& state) {
  for (auto _ : state) {
    JVector v;
    JVectorInit(&v, sizeof(void*), 4096);
    for (uint32_t i = 0; i < 1000000; ++i) {
      void* p = &v;
      JVectorAppend(&v, &p);
    }
    benchmark::DoNotOptimize(v.block);
    JVectorFree(&v);
  }
  state.counters["appends/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VectorAppendMillion);
