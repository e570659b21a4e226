// Small valid files the fuzz targets start from. Each target writes its own seeds when
// TINTWELL_WRITE_SEEDS names a folder, then stops (scripts/fuzz.sh does this first).
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/platform/dib/bmp_builder.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace seeds {

inline void Write(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = dir + "/" + name;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

inline std::vector<std::vector<uint8_t>> Bitmaps() {
  std::vector<std::vector<uint8_t>> out;
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    for (uint32_t compression : {0u, 1u, 2u, 3u}) {
      if ((compression == 1 && bpp != 8) || (compression == 2 && bpp != 4)) continue;
      if (compression == 3 && bpp != 16 && bpp != 32) continue;
      BmpSpec s;
      s.width = 5;
      s.height = 3;
      s.bitCount = bpp;
      s.compression = compression;
      if (compression == 3) {
        s.masks[0] = bpp == 16 ? 0xF800 : 0xFF0000;
        s.masks[1] = bpp == 16 ? 0x07E0 : 0x00FF00;
        s.masks[2] = bpp == 16 ? 0x001F : 0x0000FF;
      }
      if (bpp <= 8)
        for (int i = 0; i < (1 << bpp) && i < 6; ++i) s.palette.push_back(0x102030u * (i + 1));
      for (int i = 0; i < 15; ++i) s.pixels.push_back(bpp <= 8 ? i % s.palette.size() : 0x00A0B0C0u + i);
      out.push_back(BuildBmp(s));
      s.topDown = compression == 0;
      if (s.topDown) out.push_back(BuildBmp(s));
    }
  }
  return out;
}

inline std::vector<std::vector<uint8_t>> Metafiles() {
  std::vector<std::vector<uint8_t>> out;
  WmfBuilder shapes;
  shapes.pen(0, 2, 0xFF0000).brush(0, 0x00FF00).select(0).select(1);
  shapes.add(0x0103, {8}).add(0x020B, {0, 0}).add(0x020C, {100, 100});
  shapes.add(0x041B, {40, 40, 5, 5}).add(0x0418, {90, 90, 50, 50});
  shapes.add(0x061C, {8, 8, 95, 95, 60, 5}).add(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});
  shapes.add(0x0324, {3, 10, 10, 60, 10, 30, 60}).add(0x0538, {2, 3, 3, 0, 0, 9, 0, 0, 9, 20, 20, 29, 20, 20, 29});
  shapes.add(0x0214, {0, 0}).add(0x0213, {99, 99}).add(0x041F, {0xFF, 0, 3, 3});
  shapes.add(0x001E, {}).add(0x0416, {50, 50, 0, 0}).add(0x0127, {-1});
  shapes.brush(2, 0x0000FF, 3).select(2).add(0x0419, {0, 0, 70, 20});
  out.push_back(shapes.bits());
  out.push_back(shapes.placeable(0, 0, 100, 100));

  WmfBuilder text;
  std::vector<uint16_t> font(9 + 16, 0);
  font[0] = static_cast<uint16_t>(-12);
  font[4] = 700;
  text.addWords(0x02FB, font).select(0).add(0x0209, {0xFF, 0}).add(0x012E, {24});
  text.add(0x0521, {3, 'A' | 'b' << 8, 'c', 20, 5});
  text.add(0x0A32, {40, 5, 2, 6, 0, 30, 50, 45, 'X' | 'y' << 8, 7, 7});
  text.add(0x06FF, {0, 6, 0, 0, 40, 1, 2, 0, 0, 10, 10, 2, 0, 10, 0, 10, 2}).add(0x012C, {1});
  text.add(0x041B, {60, 60, 0, 0});
  out.push_back(text.placeable(0, 0, 64, 64));

  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.bitCount = 8;
  s.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  s.pixels = {0, 1, 2, 2, 1, 0};
  const std::vector<uint8_t> file = BuildBmp(s);
  std::vector<uint16_t> dib;
  for (size_t i = 14; i + 1 < file.size(); i += 2) dib.push_back(file[i] | file[i + 1] << 8);
  WmfBuilder bitmaps;
  std::vector<uint16_t> stretch = {0x0020, 0x00CC, 0, 2, 3, 0, 0, 20, 30, 0, 0};
  stretch.insert(stretch.end(), dib.begin(), dib.end());
  bitmaps.addWords(0x0F43, stretch);
  std::vector<uint16_t> blt = {0x0020, 0x00CC, 0, 0, 2, 3, 25, 25};
  blt.insert(blt.end(), dib.begin(), dib.end());
  bitmaps.addWords(0x0940, blt);
  std::vector<uint16_t> pattern = {5, 0};
  pattern.insert(pattern.end(), dib.begin(), dib.end());
  bitmaps.addWords(0x0142, pattern).select(0).add(0x061D, {0x21, 0xF0, 10, 10, 30, 30});
  bitmaps.add(0x00F7, {0x300, 1, 0xFF, 0}).add(0x0234, {1}).add(0x0035, {});
  out.push_back(bitmaps.bits());
  return out;
}

// Writes the seeds when asked to and ends the process; otherwise does nothing.
inline void WriteIfAsked(const std::vector<std::vector<uint8_t>>& files, const char* prefix) {
  const char* dir = std::getenv("TINTWELL_WRITE_SEEDS");
  if (!dir) return;
  for (size_t i = 0; i < files.size(); ++i) Write(dir, prefix + std::to_string(i), files[i]);
  std::exit(0);
}

}  // namespace seeds
