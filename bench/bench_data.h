// Test pictures for the benchmarks: bench/run.sh renders them as binary PPM files
// into build/bench-data/ so that no large file lives in the tree.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct BenchPhoto {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // red, green, blue per pixel, rows top-down
  bool ok() const { return width > 0 && height > 0; }
};

inline std::string BenchDataDir() {
  const char* dir = std::getenv("TINTWELL_BENCH_DATA");
  return dir ? dir : "build/bench-data";
}

// Reads a binary (P6, 8-bit) PPM from the bench data folder; an empty photo when it is absent.
inline BenchPhoto LoadBenchPhoto(const std::string& name) {
  BenchPhoto photo;
  const std::string path = BenchDataDir() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    std::fprintf(stderr, "bench: %s is missing (run bench/run.sh), skipped\n", path.c_str());
    return photo;
  }
  int w = 0, h = 0, maxval = 0;
  if (std::fscanf(f, "P6 %d %d %d", &w, &h, &maxval) == 3 && maxval == 255 && w > 0 && h > 0 &&
      std::fgetc(f) != EOF) {
    photo.rgb.resize(static_cast<size_t>(w) * h * 3);
    if (std::fread(photo.rgb.data(), 1, photo.rgb.size(), f) == photo.rgb.size()) {
      photo.width = w;
      photo.height = h;
    }
  }
  std::fclose(f);
  if (!photo.ok()) std::fprintf(stderr, "bench: %s is not a binary PPM, skipped\n", path.c_str());
  return photo;
}
