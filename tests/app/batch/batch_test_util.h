// Pictures written to disk for the batch-mode tests, and a way to run the batch
// mode in-process with its input, output and messages captured.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/batch/BatchMode.h"
#include "tests/app/gif/gif_test_util.h"
#include "tests/platform/dib/bmp_builder.h"

namespace batchtest {

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top first
};

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline void WriteBmp(const std::string& path, const Picture& p) {
  BmpSpec bmp;
  bmp.width = p.width;
  bmp.height = p.height;
  bmp.pixels = p.pixels;
  WriteFile(path, BuildBmp(bmp));
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

struct TempDir {
  std::string path;
  TempDir() {
    char name[] = "/tmp/tintwell-batch-XXXXXX";
    path = mkdtemp(name) ? name : "/tmp";
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

struct RunResult {
  int status = -1;
  std::string out, err;
};

inline std::string ReadBack(FILE* f) {
  std::string text;
  rewind(f);
  for (int c; (c = fgetc(f)) != EOF;) text.push_back(static_cast<char>(c));
  fclose(f);
  return text;
}

// Runs the batch mode with `input` as its standard input.
inline RunResult RunBatch(std::vector<std::string> args, const std::vector<uint8_t>& input = {}) {
  args.insert(args.begin(), "tintwell-batch");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  FILE *in = tmpfile(), *out = tmpfile(), *err = tmpfile();
  if (!input.empty()) fwrite(input.data(), 1, input.size(), in);
  rewind(in);
  RunResult r;
  r.status = BatchRun(static_cast<int>(args.size()), argv.data(), BatchStreams{in, out, err});
  fclose(in);
  fflush(out);
  fflush(err);
  r.out = ReadBack(out);
  r.err = ReadBack(err);
  return r;
}

inline int Lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// Blocks of `colours` distinct colours scattered over the picture, in runs as real pictures have.
inline Picture Blocks(int width, int height, int colours, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> palette;
  std::set<uint32_t> seen;
  while (static_cast<int>(palette.size()) < colours)
    if (uint32_t c = rng() & 0xFFFFFF; seen.insert(c).second) palette.push_back(c);
  Picture p{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  for (size_t i = 0; i < p.pixels.size(); ++i)
    p.pixels[i] = i < palette.size() ? palette[i] : palette[rng() % palette.size()];
  for (size_t i = palette.size(); i + 1 < p.pixels.size(); ++i)
    if (rng() % 3) p.pixels[i + 1] = p.pixels[i];
  return p;
}

// Smooth red and green ramps with a little blue noise: thousands of colours.
inline Picture Ramp(int width, int height) {
  Picture p{width, height, {}};
  std::mt19937 rng(77);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels.push_back(uint32_t(x * 255 / (width - 1)) << 16 | uint32_t(y * 255 / (height - 1)) << 8 |
                         (rng() % 4));
  return p;
}

inline std::set<uint32_t> ColoursOf(const std::vector<uint32_t>& pixels) {
  return std::set<uint32_t>(pixels.begin(), pixels.end());
}

// The text after "label: " on the report's line of that label.
inline std::string ReportValue(const std::string& report, const std::string& label) {
  size_t at = report.find(label + ": ");
  if (at == std::string::npos) return "";
  at += label.size() + 2;
  return report.substr(at, report.find('\n', at) - at);
}

inline giftest::Screen Decode(const std::string& path) { return giftest::DecodeScreen(ReadFile(path)); }

}  // namespace batchtest
