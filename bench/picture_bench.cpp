// Opening and drawing a 6000 x 4000 24-bit bitmap file into a 32-bit pixel map, next to
// the limit: read() of the same file and a memcpy of its pixel bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "bench/large_photo.h"
#include "jwin/J_file.h"
#include "jwin/picture.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "platform/dib/BmpWriter.h"

namespace {

// The photograph bench/run.sh renders, or a synthetic one of the same size when absent.
std::string PhotoPath() {
  const std::string path = BenchDataDir() + "/" + LargePhotoBmp();
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    return path;
  }
  const std::string made = "/tmp/tintwell-bench-photo_6000x4000.bmp";
  if (FILE* f = std::fopen(made.c_str(), "rb")) {
    std::fclose(f);
    return made;
  }
  auto bitmap = platform::Bitmap::Create(6000, 4000, 32);
  uint32_t seed = 7;
  for (int y = 0; y < 4000; ++y) {
    uint32_t* row = bitmap->row32(y);
    for (int x = 0; x < 6000; ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = ((x * 255 / 6000) << 16 | (y * 255 / 4000) << 8 | ((x + y) & 0xFF)) ^ (seed >> 29);
    }
  }
  platform::dib::WriteBmpFile(*bitmap, made, 24);
  std::fprintf(stderr, "picture_bench: %s not found, using a synthetic photograph\n", path.c_str());
  return made;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// read() of the whole file and memcpy of its pixel bytes, the best a reader can do. With
// `fresh`, both buffers are new each time, so the first touch of their pages is paid as a
// reader that makes a new picture must.
double LimitSeconds(const std::string& path, bool fresh) {
  std::vector<uint8_t> file, pixels;
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    if (fresh) {
      std::vector<uint8_t>().swap(file);
      std::vector<uint8_t>().swap(pixels);
    }
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    file.resize(size);
    size_t done = 0;
    while (done < file.size()) {
      const ssize_t n = ::read(fd, file.data() + done, file.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::close(fd);
    pixels.resize(file.size() - 54);
    std::memcpy(pixels.data(), file.data() + 54, pixels.size());
    benchmark::DoNotOptimize(pixels.data());
    best = std::min(best, Seconds(start));
  }
  return best;
}

void Report(benchmark::State& state, double total, int64_t rounds, double limit) {
  if (rounds == 0) return;
  const double ms = 1000 * total / rounds;
  state.counters["draw_ms"] = ms;
  state.counters["limit_ms"] = 1000 * limit;
  state.counters["times_limit"] = ms / (1000 * limit);
}

// The whole road: open, a new 32-bit map of the picture's size, decode into it.
void BM_ReadFileIntoNewMap(benchmark::State& state) {
  const std::string path = PhotoPath();
  const double limit = LimitSeconds(path, true);
  double total = 0;
  int64_t rounds = 0;
  char reason[200];
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    JPixMap* map = JPictureReadFile(path.c_str(), reason, sizeof reason);
    if (!map) {
      state.SkipWithError(reason);
      break;
    }
    benchmark::DoNotOptimize(map->bitmap->bits());
    total += Seconds(start);
    ++rounds;
    JPixMapFree(map);
  }
  Report(state, total, rounds, limit);
}
BENCHMARK(BM_ReadFileIntoNewMap)->Unit(benchmark::kMillisecond)->Iterations(6);

// Open and draw into a map that already exists, against read() and memcpy into buffers
// that already exist.
void BM_OpenAndDrawIntoMap(benchmark::State& state) {
  const std::string path = PhotoPath();
  const double limit = LimitSeconds(path, false);
  JFileSpec* fileSpec = JFileSpecFromPath(path.c_str());
  fileSpec->type.row = kJFileTypeBitmap;  // no type table is loaded in this program
  JPixMap* map = JPixMapNewDirect(6000, 4000, 32);
  double total = 0;
  int64_t rounds = 0;
  char reason[200];
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    JPicture* picture = JPictureOpenWithReason(fileSpec, kJFileRead, reason, sizeof reason);
    if (picture) {
      JPictureDrawInto(picture, map, 0, 0, 4000, 6000, reason, sizeof reason);
      JPictureClose(picture);
    }
    if (!picture) {
      state.SkipWithError(reason);
      break;
    }
    benchmark::DoNotOptimize(map->bitmap->bits());
    total += Seconds(start);
    ++rounds;
  }
  JPixMapFree(map);
  JFileSpecFree(fileSpec);
  Report(state, total, rounds, limit);
}
BENCHMARK(BM_OpenAndDrawIntoMap)->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace
