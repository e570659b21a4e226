// Raster throughput: a plain 32-bit copy blit, a 2x stretch blit and a full-screen solid
// fill, in megapixels per second and as a fraction of memcpy moving the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/raster/DeviceContext.h"

namespace {

using platform::Bitmap;
using platform::DeviceContext;

// Bytes per second of memcpy for a block of this size, timed like the benchmarks: the
// average of many back-to-back copies between two buffers.
double MemcpyBytesPerSecond(size_t bytes) {
  std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
  constexpr int kRuns = 300;
  const auto start = std::chrono::steady_clock::now();
  for (int run = 0; run < kRuns; ++run) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return static_cast<double>(bytes) * kRuns / seconds;
}

// Megapixels per second, and the speed as a fraction of memcpy moving the bytes written.
void Report(benchmark::State& state, double seconds, int64_t pixelsPerIteration, size_t bytesPerIteration) {
  const double iterations = static_cast<double>(state.iterations());
  const double pixelsPerSecond = static_cast<double>(pixelsPerIteration) * iterations / seconds;
  const double bytesPerSecond = static_cast<double>(bytesPerIteration) * iterations / seconds;
  state.counters["Mpixel_per_s"] = pixelsPerSecond / 1e6;
  state.counters["vs_memcpy"] = bytesPerSecond / MemcpyBytesPerSecond(bytesPerIteration);
}

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::unique_ptr<Bitmap> Noise(int w, int h) {
  auto b = Bitmap::Create(w, h, 32);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = b->row32(y);
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = seed >> 8;
    }
  }
  return b;
}

void BM_CopyBlit1024x768(benchmark::State& state) {
  auto src = Noise(1024, 768);
  auto dst = Bitmap::Create(1024, 768, 32);
  DeviceContext s(src.get()), d(dst.get());
  const auto start = Clock::now();
  for (auto _ : state) {
    d.bitBlt(0, 0, 1024, 768, s, 0, 0, platform::rop3::SrcCopy);
    benchmark::DoNotOptimize(dst->bits());
  }
  Report(state, Since(start), 1024 * 768, 1024 * 768 * 4);
}
BENCHMARK(BM_CopyBlit1024x768)->Unit(benchmark::kMillisecond);

void BM_StretchBlit2x(benchmark::State& state) {
  auto src = Noise(512, 384);
  auto dst = Bitmap::Create(1024, 768, 32);
  DeviceContext s(src.get()), d(dst.get());
  const auto start = Clock::now();
  for (auto _ : state) {
    d.stretchBlt(0, 0, 1024, 768, s, 0, 0, 512, 384, platform::rop3::SrcCopy);
    benchmark::DoNotOptimize(dst->bits());
  }
  Report(state, Since(start), 1024 * 768, 1024 * 768 * 4);
}
BENCHMARK(BM_StretchBlit2x)->Unit(benchmark::kMillisecond);

void BM_SolidFill1280x800(benchmark::State& state) {
  auto dst = Bitmap::Create(1280, 800, 32);
  DeviceContext d(dst.get());
  const platform::Brush brush = platform::Brush::Solid(0x336699);
  const auto start = Clock::now();
  for (auto _ : state) {
    d.fillRect({0, 0, 1280, 800}, brush);
    benchmark::DoNotOptimize(dst->bits());
  }
  Report(state, Since(start), 1280 * 800, 1280 * 800 * 4);
}
BENCHMARK(BM_SolidFill1280x800)->Unit(benchmark::kMillisecond);

}  // namespace
