// The large photograph as a bitmap file. bench/run.sh renders it as PPM only (the
// whole-process comparison takes every bitmap of the data folder), so the bitmap is
// written out once, in a folder below it, for the benchmarks that open files.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_data.h"
#include "platform/Bitmap.h"
#include "platform/dib/BmpWriter.h"

// The bitmap's name in the bench data folder; it is there unless the PPM is missing.
inline std::string LargePhotoBmp() {
  const std::string name = "large/photo_6000x4000.bmp", path = BenchDataDir() + "/" + name;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    return name;
  }
  const BenchPhoto photo = LoadBenchPhoto("photo_6000x4000.ppm");
  if (!photo.ok()) return name;
  auto bitmap = platform::Bitmap::Create(photo.width, photo.height, 32);
  for (int y = 0; y < photo.height; ++y) {
    const uint8_t* in = photo.rgb.data() + static_cast<size_t>(y) * photo.width * 3;
    uint32_t* row = bitmap->row32(y);
    for (int x = 0; x < photo.width; ++x, in += 3) row[x] = uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
  }
  std::system(("mkdir -p '" + BenchDataDir() + "/large'").c_str());
  platform::dib::WriteBmpFile(*bitmap, path, 24);
  return name;
}
