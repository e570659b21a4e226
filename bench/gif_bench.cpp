// GIF output figures: encoding and writing time, encoder speed and file size for
// the benchmark photographs at several numbers of colours, and, where the tools
// are installed, ImageMagick's quantised GIF (time, bytes, quality) and gifsicle's
// re-compression of our file beside them. The closing lines say where each aim stands.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/batch/BatchMode.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/Measures.h"
#include "app/colour/Passes.h"
#include "app/colour/Pipeline.h"
#include "app/document/Document.h"
#include "app/gif/GifFile.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "bench/bench_data.h"
#include "jwin/pixel_buffer.h"
#include "tests/app/gif/gif_test_util.h"

namespace {

struct Photo {
  std::string name;
  BenchPhoto pixels;
  Document doc;
  bool ok = false;
};

const char* const kPhotoNames[2] = {"photo_1024x768", "photo_6000x4000"};

// Reads the photograph and runs the colour pipeline once per run.
Photo* LoadPhoto(int which) {
  static Photo photos[2];
  Photo& p = photos[which];
  if (p.ok || !p.name.empty()) return p.ok ? &p : nullptr;
  p.name = kPhotoNames[which];
  p.pixels = LoadBenchPhoto(p.name + ".ppm");
  if (!p.pixels.ok()) return nullptr;
  memset(&p.doc, 0, sizeof p.doc);
  p.doc.width = static_cast<int16_t>(p.pixels.width);
  p.doc.height = static_cast<int16_t>(p.pixels.height);
  p.doc.workingBuffer = JPixelBufferNew(p.pixels.width, p.pixels.height);
  if (!p.doc.workingBuffer) return nullptr;
  for (int y = 0; y < p.pixels.height; ++y) {
    uint8_t* row = JPixelBufferRow(p.doc.workingBuffer, static_cast<uint32_t>(p.pixels.height - 1 - y));
    const uint8_t* rgb = &p.pixels.rgb[static_cast<size_t>(y) * p.pixels.width * 3];
    for (int x = 0; x < p.pixels.width; ++x) {
      row[3 * x] = rgb[3 * x + 2];
      row[3 * x + 1] = rgb[3 * x + 1];
      row[3 * x + 2] = rgb[3 * x];
    }
  }
  auto start = std::chrono::steady_clock::now();
  if (!RunColourPipeline(&p.doc)) return nullptr;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %u colours, colour pipeline %.0f ms\n", p.name.c_str(), p.doc.colourTable->count, seconds * 1e3);
  p.doc.firstPassBits = 8;
  p.doc.laterPassBits = 8;
  p.doc.backgroundColour = {65535, 65535, 65535};
  p.ok = true;
  return &p;
}

void UseColours(Document* doc, uint32_t k) {
  if (k > doc->colourTable->count) k = doc->colourTable->count;
  doc->colourCount = k;
  MapForCount(doc, doc->colourTable->tally, k);
}

// Files written by the benchmarks, removed by the summary at the end.
std::string gTempDir;
std::vector<std::string> gTempFiles;

std::string TempPath(const std::string& tail) {
  if (gTempDir.empty()) {
    char name[] = "/tmp/tintwell-gif-bench-XXXXXX";
    gTempDir = mkdtemp(name) ? name : "/tmp";
  }
  gTempFiles.push_back(gTempDir + "/" + tail);
  return gTempFiles.back();
}

void RemoveTempFiles() {
  for (const std::string& path : gTempFiles) unlink(path.c_str());
  if (gTempDir != "/tmp") rmdir(gTempDir.c_str());
}

uint64_t FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<uint64_t>(in.tellg()) : 0;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

bool HaveTool(const char* name) {
  std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

// The ImageMagick program itself, not a shell stand-in, so its time is its own.
std::string ConvertTool() {
  if (access("/usr/bin/convert", X_OK) == 0) return "/usr/bin/convert";
  return HaveTool("convert") ? "convert" : "";
}

double ChildrenCpuMs() {
  rusage u;
  getrusage(RUSAGE_CHILDREN, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-3;
}

// Wall time of a command in milliseconds (-1 when it failed); *cpuMs gets the
// processor time it used.
double RunTimed(const std::string& command, double* cpuMs = nullptr) {
  double cpuBefore = ChildrenCpuMs();
  auto start = std::chrono::steady_clock::now();
  int status = std::system((command + " >/dev/null 2>&1").c_str());
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (cpuMs) *cpuMs = ChildrenCpuMs() - cpuBefore;
  return status == 0 ? ms : -1;
}

struct Fidelity {
  double psnr = 0;
  int maxError = -1;  // largest |dR| + |dG| + |dB| of any pixel
};

Fidelity Compare(const std::vector<uint8_t>& gif, const BenchPhoto& photo) {
  Fidelity f;
  giftest::Screen s = giftest::DecodeScreen(gif);
  if (!s.ok || s.width != photo.width || s.height != photo.height) return f;
  double squares = 0;
  for (size_t i = 0; i < s.pixels.size(); ++i) {
    uint32_t c = s.pixels[i];
    int d[3] = {int(c >> 16 & 0xFF) - photo.rgb[3 * i], int(c >> 8 & 0xFF) - photo.rgb[3 * i + 1],
                int(c & 0xFF) - photo.rgb[3 * i + 2]};
    squares += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    int e = std::abs(d[0]) + std::abs(d[1]) + std::abs(d[2]);
    if (e > f.maxError) f.maxError = e;
  }
  double mse = squares / (3.0 * s.pixels.size());
  f.psnr = mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99;
  return f;
}

// Figures kept for the closing summary, by photo and k.
struct Figures {
  double writeMs = 0, writeCpuMs = 0, encoderMps = 0, imMs = -1, imCpuMs = -1, psnr = 0, imPsnr = 0, batchMs = -1, batchCpuMs = -1;
  uint64_t bytes = 0, imBytes = 0, gifsicleBytes = 0;
  int maxError = -1, imMaxError = -1;
  uint32_t passes = 0;
};
std::map<std::pair<int, int>, Figures> gFigures;

void BM_EncodeAndWrite(benchmark::State& state) {
  int which = static_cast<int>(state.range(0));
  uint32_t k = static_cast<uint32_t>(state.range(1));
  Photo* p = LoadPhoto(which);
  if (!p) {
    state.SkipWithError("photograph missing");
    return;
  }
  UseColours(&p->doc, k);
  std::string path = TempPath(p->name + "_" + std::to_string(k) + ".gif");
  GifSaveResult result{};
  double totalMs = 0, cpuSeconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    double cpuStart = ThreadSeconds();
    WriteGifFile(&p->doc, path.c_str(), &result);
    cpuSeconds += ThreadSeconds() - cpuStart;
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  Figures& f = gFigures[{which, static_cast<int>(k)}];
  f.bytes = result.bytes;
  f.passes = GifStreamPasses(&p->doc, p->doc.colourCount);
  f.writeMs = totalMs / static_cast<double>(state.iterations());
  f.writeCpuMs = cpuSeconds * 1e3 / static_cast<double>(state.iterations());
  state.counters["bytes"] = static_cast<double>(result.bytes);
  state.counters["passes"] = f.passes;
  state.counters["ms"] = f.writeMs;
  state.SetLabel(p->name + " k=" + std::to_string(k));
}

// The encoder alone: the stream written into the counting sink.
void BM_Encoder(benchmark::State& state) {
  int which = static_cast<int>(state.range(0));
  uint32_t k = static_cast<uint32_t>(state.range(1));
  Photo* p = LoadPhoto(which);
  if (!p) {
    state.SkipWithError("photograph missing");
    return;
  }
  UseColours(&p->doc, k);
  uint32_t passes = GifStreamPasses(&p->doc, p->doc.colourCount);
  double cpuSeconds = 0;
  for (auto _ : state) {
    double start = ThreadSeconds();
    GifSinkBegin(nullptr, nullptr);
    for (uint32_t pass = 1; GifWritePass(&p->doc, p->doc.colourTable->tally, p->doc.colourCount, pass); ++pass) {
    }
    benchmark::DoNotOptimize(GifSinkCount());
    cpuSeconds += ThreadSeconds() - start;
  }
  double pixels = double(p->pixels.width) * p->pixels.height * passes;
  state.counters["MP/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  // Processor time, not wall time: the figure should not depend on what else the machine runs.
  gFigures[{which, static_cast<int>(k)}].encoderMps = pixels / 1e6 * static_cast<double>(state.iterations()) / cpuSeconds;
  state.SetLabel(p->name + " k=" + std::to_string(k));
}

// Written once: our file's quality beside ImageMagick's GIF at the same k, and
// gifsicle's best re-compression of our file. ImageMagick writes at most 256
// colours, so it is not asked for more than the brief's figures need.
void BM_CompareTools(benchmark::State& state) {
  int which = static_cast<int>(state.range(0));
  uint32_t k = static_cast<uint32_t>(state.range(1));
  Photo* p = LoadPhoto(which);
  if (!p) {
    state.SkipWithError("photograph missing");
    return;
  }
  Figures& f = gFigures[{which, static_cast<int>(k)}];
  std::string ours = TempPath(p->name + "_" + std::to_string(k) + ".gif");
  std::string theirs = TempPath(p->name + "_" + std::to_string(k) + "_im.gif");
  std::string optimised = TempPath(p->name + "_" + std::to_string(k) + "_O3.gif");
  std::string input = BenchDataDir() + "/" + p->name + ".ppm";
  for (auto _ : state) {
    UseColours(&p->doc, k);
    GifSaveResult result{};
    WriteGifFile(&p->doc, ours.c_str(), &result);
    Fidelity mine = Compare(ReadAll(ours), p->pixels);
    f.psnr = mine.psnr;
    f.maxError = mine.maxError;
    const std::string convert = ConvertTool();
    if (!convert.empty() && k <= 1000) {
      f.imMs = RunTimed(convert + " " + input + " -dither None -colors " + std::to_string(k) + " " + theirs,
                        &f.imCpuMs);
      f.imBytes = FileSize(theirs);
      Fidelity im = Compare(ReadAll(theirs), p->pixels);
      f.imPsnr = im.psnr;
      f.imMaxError = im.maxError;
    }
    if (HaveTool("gifsicle") && RunTimed("gifsicle -O3 " + ours + " -o " + optimised) >= 0)
      f.gifsicleBytes = FileSize(optimised);
  }
  state.counters["psnr"] = f.psnr;
  state.counters["max_err"] = f.maxError;
  state.counters["im_ms"] = f.imMs;
  state.counters["im_bytes"] = static_cast<double>(f.imBytes);
  state.counters["im_psnr"] = f.imPsnr;
  state.counters["im_max_err"] = f.imMaxError;
  state.counters["O3_bytes"] = static_cast<double>(f.gifsicleBytes);
  state.SetLabel(p->name + " k=" + std::to_string(k));
}

// The whole batch program on the 1024 x 768 bitmap: reading, colour pipeline,
// settings and writing, as a script would run it.
void BM_BatchRun(benchmark::State& state) {
  const uint32_t k = static_cast<uint32_t>(state.range(0));
  std::string input = BenchDataDir() + "/" + kPhotoNames[0] + ".bmp";
  if (FileSize(input) == 0) {
    state.SkipWithError("photograph missing");
    return;
  }
  std::string output = TempPath("batch.gif");
  std::string colours = std::to_string(k);
  std::vector<std::string> args = {"tintwell-batch", input, output, "--colours", colours};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  FILE* quiet = fopen("/dev/null", "w");
  double totalMs = 0, cpuSeconds = 0;
  int status = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    double cpuStart = ThreadSeconds();
    status |= BatchRun(static_cast<int>(argv.size()), argv.data(), BatchStreams{stdin, quiet, quiet});
    cpuSeconds += ThreadSeconds() - cpuStart;
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  fclose(quiet);
  if (status != 0) state.SkipWithError("the batch run failed");
  gFigures[{0, static_cast<int>(k)}].batchMs = totalMs / static_cast<double>(state.iterations());
  gFigures[{0, static_cast<int>(k)}].batchCpuMs = cpuSeconds * 1e3 / static_cast<double>(state.iterations());
  state.counters["ms"] = totalMs / static_cast<double>(state.iterations());
  state.SetLabel(std::string(kPhotoNames[0]) + ".bmp k=" + colours);
}

const char* Verdict(bool met) { return met ? "met" : "NOT met"; }

void BM_Summary(benchmark::State& state) {
  for (auto _ : state) {
  }
  RemoveTempFiles();
  std::printf("\nFigures (wall times include syncing the file to disk; processor times show the work itself):\n");
  for (auto& [key, f] : gFigures) {
    std::printf("  %s k=%d: %u passes, encode and write %.1f ms (%.1f ms processor), encoder %.1f MP/s, %llu bytes",
                kPhotoNames[key.first], key.second, f.passes, f.writeMs, f.writeCpuMs, f.encoderMps,
                static_cast<unsigned long long>(f.bytes));
    if (f.maxError >= 0) std::printf(", PSNR %.2f dB, max error %d", f.psnr, f.maxError);
    if (f.gifsicleBytes) std::printf(", gifsicle -O3 %llu bytes", static_cast<unsigned long long>(f.gifsicleBytes));
    if (f.imMs >= 0)
      std::printf("; ImageMagick %.0f ms (%.0f ms processor), %llu bytes, PSNR %.2f dB, max error %d", f.imMs,
                  f.imCpuMs, static_cast<unsigned long long>(f.imBytes), f.imPsnr, f.imMaxError);
    if (f.batchMs >= 0) std::printf("; whole batch run %.0f ms (%.0f ms processor)", f.batchMs, f.batchCpuMs);
    std::printf("\n");
  }
  std::printf("\nWhere the aims stand:\n");
  for (auto& [key, f] : gFigures) {
    const char* photo = kPhotoNames[key.first];
    if (f.encoderMps > 0)
      std::printf("  encoder >= 65 MP/s, %s k=%d: %.1f MP/s, %s\n", photo, key.second, f.encoderMps,
                  Verdict(f.encoderMps >= 65));
    if (f.gifsicleBytes && f.bytes)
      std::printf("  within 1%% of gifsicle -O3, %s k=%d: ours %+.2f%%, %s\n", photo, key.second,
                  100.0 * (double(f.bytes) - double(f.gifsicleBytes)) / double(f.gifsicleBytes),
                  Verdict(double(f.bytes) <= double(f.gifsicleBytes) * 1.01));
    if (f.batchMs >= 0 && f.imMs > 0)
      std::printf("  whole batch run at most half of ImageMagick's, %s k=%d: %.0f ms against %.0f ms wall (%.2fx), "
                  "%.0f ms against %.0f ms processor (%.2fx), %s\n",
                  photo, key.second, f.batchMs, f.imMs, f.batchMs / f.imMs, f.batchCpuMs, f.imCpuMs,
                  f.batchCpuMs / f.imCpuMs, Verdict(f.batchMs <= f.imMs / 2));
  }
  for (int which = 0; which < 2; ++which) {
    auto a = gFigures.find({which, 256}), b = gFigures.find({which, 1024});
    if (a == gFigures.end() || b == gFigures.end() || !a->second.bytes || a->second.writeMs <= 0) continue;
    const Figures &f256 = a->second, &f1024 = b->second;
    double bytes = double(f1024.bytes) / double(f256.bytes), time = f1024.writeMs / f256.writeMs;
    double cpu = f1024.writeCpuMs / f256.writeCpuMs;
    std::printf("  k=1024 (%u passes) against k=256, %s: %.2fx the bytes (aim <= 3), %.2fx the processor time "
                "(%.2fx wall; aim <= 4), PSNR %.2f against %.2f dB (aim: better): %s\n",
                f1024.passes, kPhotoNames[which], bytes, cpu, time, f1024.psnr, f256.psnr,
                Verdict(bytes <= 3 && cpu <= 4 && f1024.psnr > f256.psnr));
  }
}

void PhotoArgs(benchmark::internal::Benchmark* b) {
  for (int which = 0; which < 2; ++which)
    for (int k : {16, 256, 1000, 1024}) b->Args({which, k});
}

}  // namespace

BENCHMARK(BM_EncodeAndWrite)->Apply(PhotoArgs)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(BM_Encoder)->Apply(PhotoArgs)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_CompareTools)->Apply(PhotoArgs)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BatchRun)->Arg(16)->Arg(256)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Summary)->Iterations(1);
