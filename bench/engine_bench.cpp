// The colour engine on the benchmark pictures and on a picture of every 24-bit colour:
// distinct colours, milliseconds per pipeline stage, the cost of changing the
// number of colours, and peak memory per pixel and per distinct colour; for the
// photographs, the time to write the GIF of all their colours.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/colour/BlockPool.h"
#include "app/colour/ColourGraph.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/HelperThread.h"
#include "app/colour/Histogram.h"
#include "app/colour/Pipeline.h"
#include "app/colour/Preview.h"
#include "app/document/Document.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifStream.h"
#include "app/gif/GifWriter.h"
#include "bench/bench_data.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

// Stages that run on one thread are timed in processor time, so that other work on
// a shared machine does not count. The histogram, the index image (for large
// pictures) and the graph's first searches run on two threads: they are given as
// wall time, with the processor time of the whole process (both threads) beside.
struct Clock {
  std::chrono::steady_clock::time_point wall;
  double cpu;
  double processCpu;
};
double CpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
Clock Now() {
  return {std::chrono::steady_clock::now(), CpuMs(CLOCK_THREAD_CPUTIME_ID), CpuMs(CLOCK_PROCESS_CPUTIME_ID)};
}
double CpuMsSince(const Clock& start) { return CpuMs(CLOCK_THREAD_CPUTIME_ID) - start.cpu; }
double ProcessCpuMsSince(const Clock& start) { return CpuMs(CLOCK_PROCESS_CPUTIME_ID) - start.processCpu; }
double WallMsSince(const Clock& start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start.wall).count();
}

// A document whose working buffer holds the picture, filled row by row by `pixel`.
template <typename PixelProc>
Document* MakeDocument(int width, int height, PixelProc pixel) {
  Document* document = static_cast<Document*>(JAlloc(sizeof(Document)));
  std::memset(document, 0, sizeof(Document));
  document->width = static_cast<int16_t>(width);
  document->height = static_cast<int16_t>(height);
  document->workingBuffer = JPixelBufferNew(width, height);
  document->pictureMap = JPixMapNewDirect(document->width, document->height, 32);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = JPixelBufferRow(document->workingBuffer, static_cast<uint32_t>(height - 1 - y));
    for (int x = 0; x < width; ++x) {
      uint32_t key = pixel(x, y);
      row[3 * x] = static_cast<uint8_t>(key);
      row[3 * x + 1] = static_cast<uint8_t>(key >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(key >> 16);
    }
  }
  JPixelBufferPut(document->workingBuffer, 0, height, document->pictureMap, 0);
  document->firstPassBits = 8;
  document->laterPassBits = 8;
  return document;
}

// A fingerprint of everything the ranking and the index image decided, printed
// so that a faster engine can be seen to give the same results on large pictures.
uint32_t ResultCheck(const Document* document) {
  uint32_t h = 2166136261u;
  auto mix = [&h](uint32_t v) {
    for (int i = 0; i < 4; ++i) h = (h ^ ((v >> (8 * i)) & 0xFFu)) * 16777619u;
  };
  const ColourTable* table = document->colourTable;
  for (uint32_t i = 0; i < table->count; ++i) {
    mix(table->records[i].colour);
    mix(table->records[i].count);
    mix(table->records[i].mergedInto);
    mix(document->mergeOrder->order[i]);
  }
  const size_t pixels = static_cast<size_t>(document->indexImage->width) * document->indexImage->height;
  for (size_t i = 0; i < pixels; ++i) mix(document->indexImage->indices[i]);
  return h;
}

void FreeDocument(Document* document) {
  FreeColourResults(document);
  JPixMapFree(document->pictureMap);
  JPixelBufferFree(document->workingBuffer);
  JFree(document);
}

// Runs the stages one by one (as the pipeline does) to time each of them.
void RunStages(benchmark::State& state, const char* name, Document* document) {
  EngineInit();
  const double pixels = static_cast<double>(document->width) * document->height;
  for (auto _ : state) {
    FreeColourResults(document);
    JMemResetPeak();
    const uint64_t base = JMemBytesInUse();

    Clock t = Now();
    JPixelBuffer* indices = JPixelBufferNew(document->width, document->height);
    uint32_t root = BuildHistogram(document, indices);
    const double histogram = WallMsSince(t);
    const double histogramCpu = ProcessCpuMsSince(t);
    ColourTable* table = document->colourTable;
    const uint32_t n = table->count;

    t = Now();
    document->indexImage = MakeIndexImage(indices);
    JPixelBufferFree(indices);
    const double indexImage = WallMsSince(t);
    const double indexCpu = ProcessCpuMsSince(t);

    const uint64_t beforeRanking = JMemBytesInUse();
    JMemResetPeak();
    t = Now();
    ColourGraph* graph = BuildColourGraph(table, root);
    const double graphMs = WallMsSince(t);
    const double graphCpuMs = ProcessCpuMsSince(t);
    t = Now();
    document->mergeOrder = ComputeColourMaps(graph, table, root);
    const double orderMs = CpuMsSince(t);
    const uint64_t rankingPeak = JMemPeakBytes() - beforeRanking;
    // What the document keeps: per pixel the working buffer, the picture map and
    // the index image; per colour the table (with its spare capacity) and the order.
    const uint64_t perPixel = static_cast<uint64_t>(document->workingBuffer->rowBytes) * document->height +
                              document->pictureMap->footprint + 4ull * document->width * document->height;
    const uint64_t perColour = JMemBytesInUse() - base - 4ull * document->width * document->height;

    // The first change of k after opening costs more than those after it: both are printed,
    // the median of five changes being what a user trying one k after another waits.
    const uint32_t k = n < 256 ? n : 256;
    document->colourCount = k;
    t = Now();
    ApplyColourCount(document);
    const double firstApply = CpuMsSince(t);
    double applies[5];
    for (int i = 0; i < 5; ++i) {
      document->colourCount = (i % 2 == 1 && k > 1) ? k - 1 : k;  // ends on k for the results check
      t = Now();
      ApplyColourCount(document);
      applies[i] = CpuMsSince(t);
    }
    std::sort(applies, applies + 5);
    const double apply = applies[2];

    const double total = histogram + indexImage + graphMs + orderMs;
    const double totalCpu = histogramCpu + indexCpu + graphCpuMs + orderMs;
    state.counters["colours"] = n;
    state.counters["histogram_ms"] = histogram;
    state.counters["histogram_cpu_ms"] = histogramCpu;
    state.counters["index_ms"] = indexImage;
    state.counters["index_cpu_ms"] = indexCpu;
    state.counters["graph_ms"] = graphMs;
    state.counters["graph_cpu_ms"] = graphCpuMs;
    state.counters["order_ms"] = orderMs;
    state.counters["pipeline_ms"] = total;
    state.counters["pipeline_cpu_ms"] = totalCpu;
    state.counters["k256_ms"] = apply;
    state.counters["hist_ns_px"] = histogram * 1e6 / pixels;
    state.counters["rank_us_colour"] = (graphMs + orderMs) * 1e3 / n;
    state.counters["rank_B_colour"] = static_cast<double>(rankingPeak) / n;
    state.counters["pixel_B_px"] = static_cast<double>(perPixel) / pixels;
    state.counters["table_B_colour"] = static_cast<double>(perColour) / n;
    std::printf("%s: %u colours; histogram %.1f ms (%.2f ns/pixel, %.1f ms processor time), index image %.1f ms "
                "(%.1f ms processor time), graph %.1f ms (%.1f ms processor time), "
                "merge order %.1f ms (ranking %.3f us/colour), pipeline %.1f ms (%.1f ms processor time); "
                "k=256 map+preview %.1f ms (median of 5 changes; the first after opening %.1f ms); "
                "ranking peak %.1f B/colour; kept %.2f B/pixel and %.1f B/colour; results %08x\n",
                name, n, histogram, histogram * 1e6 / pixels, histogramCpu, indexImage, indexCpu, graphMs, graphCpuMs,
                orderMs, (graphMs + orderMs) * 1e3 / n, total, totalCpu, apply, firstApply, static_cast<double>(rankingPeak) / n,
                static_cast<double>(perPixel) / pixels, static_cast<double>(perColour) / n, ResultCheck(document));
  }
}

bool HashBytes(void* data, const uint8_t* bytes, size_t count) {
  uint32_t* h = static_cast<uint32_t*>(data);
  for (size_t i = 0; i < count; ++i) *h = (*h ^ bytes[i]) * 16777619u;
  return true;
}

// The GIF of every colour (a pass for each 255 colours after the first 256), as the batch
// mode writes it: the later passes from the pixels they draw; and, as with transparency
// on, whole passes written ahead on a second thread and on one thread alone, whose bytes
// (their checksum) must be the same.
void WriteAllColours(const char* name, Document* document) {
  const uint32_t n = document->colourTable->count;
  document->colourCount = n;
  MapForCount(document, document->colourTable->tally, n);
  const struct {
    const char* how;
    bool transparency, helpers;
  } ways[] = {{"later passes from their pixels", false, true},
              {"whole passes (transparency on) on two threads", true, true},
              {"whole passes (transparency on) on one thread", true, false}};
  for (const auto& way : ways) {
    document->transparencyOn = way.transparency;
    HelperThreadsAllow(way.helpers);
    uint32_t hash = 2166136261u;
    GifSinkBegin(HashBytes, &hash);
    const Clock t = Now();
    GifWriteStream(document, document->colourTable->tally, n, false);
    const double wall = WallMsSince(t), cpu = ProcessCpuMsSince(t);
    std::printf("%s: GIF of all %u colours (%u passes), %s: %.0f ms (%.0f ms processor time), %llu bytes, "
                "bytes %08x\n",
                name, n, GifStreamPasses(document, n), way.how, wall, cpu,
                static_cast<unsigned long long>(GifSinkCount()), hash);
  }
  document->transparencyOn = false;
  HelperThreadsAllow(true);
  GifSinkBegin(nullptr, nullptr);
}

void PhotoBench(benchmark::State& state, const char* file) {
  BenchPhoto photo = LoadBenchPhoto(file);
  if (!photo.ok()) {
    state.SkipWithError("picture missing");
    return;
  }
  Document* document = MakeDocument(photo.width, photo.height, [&](int x, int y) {
    const uint8_t* p = &photo.rgb[(static_cast<size_t>(y) * photo.width + x) * 3];
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
  });
  photo.rgb.clear();
  photo.rgb.shrink_to_fit();
  RunStages(state, file, document);
  if (std::strncmp(file, "photo_", 6) == 0) WriteAllColours(file, document);
  FreeDocument(document);
}

// The pictures of the whole-process comparison (bench/pictures.sh).
const char* const kPictures[] = {"flat8_1024x768.ppm",    "gradient_1024x768.ppm", "licorice_1024x768.ppm",
                                 "photo_1024x768.ppm",    "photo_3000x2000.ppm",   "truchet_1024x768.ppm"};

const bool kRegistered = [] {
  for (const char* picture : kPictures) {
    benchmark::RegisterBenchmark(picture, PhotoBench, picture)->Unit(benchmark::kMillisecond)->Iterations(1);
  }
  return true;
}();

// Every 24-bit colour once, in a scattered order (multiplying by an odd number
// permutes the colours modulo 2^24).
void BM_AllColours4096(benchmark::State& state) {
  Document* document = MakeDocument(4096, 4096, [](int x, int y) {
    uint32_t i = static_cast<uint32_t>(y) * 4096 + static_cast<uint32_t>(x);
    return (i * 2654435761u) & 0xFFFFFFu;
  });
  RunStages(state, "all colours 4096x4096", document);
  FreeDocument(document);
}

}  // namespace

BENCHMARK(BM_AllColours4096)->Unit(benchmark::kMillisecond)->Iterations(1);
