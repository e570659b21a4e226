// Writes PNG files of any colour type and bit depth with libpng, for the reader's tests
// and the fuzz seeds. Samples are given at the file's own depth, channels in file order.
#pragma once
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

struct PngSpec {
  int width = 1;
  int height = 1;
  int colourType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  std::vector<uint16_t> samples;      // width x height x channels, top row first
  std::vector<png_color> palette;     // for palette pictures
  std::vector<uint8_t> paletteAlpha;  // tRNS for palette pictures
  bool transparentKey = false;        // tRNS for grey and RGB pictures: this sample value
  png_color_16 key{};
  bool interlaced = false;
};

inline int PngChannels(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

inline void PngAppend(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

// Packs one row of samples into the file's bytes (big-endian, sub-byte samples leftmost first).
inline std::vector<uint8_t> PngPackRow(const PngSpec& s, int y) {
  const int values = s.width * PngChannels(s.colourType);
  std::vector<uint8_t> row((values * s.bitDepth + 7) / 8, 0);
  for (int i = 0; i < values; ++i) {
    const uint16_t v = s.samples[static_cast<size_t>(y) * values + i];
    if (s.bitDepth == 16) {
      row[2 * i] = static_cast<uint8_t>(v >> 8);
      row[2 * i + 1] = static_cast<uint8_t>(v);
    } else {
      const int bit = i * s.bitDepth;
      row[bit / 8] |= static_cast<uint8_t>(v << (8 - s.bitDepth - bit % 8));
    }
  }
  return row;
}

inline std::vector<uint8_t> BuildPng(const PngSpec& s) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<std::vector<uint8_t>> rows(s.height);
  std::vector<png_bytep> pointers(s.height);
  for (int y = 0; y < s.height; ++y) {
    rows[y] = PngPackRow(s, y);
    pointers[y] = rows[y].data();
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, PngAppend, nullptr);
  png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colourType,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (s.colourType == PNG_COLOR_TYPE_PALETTE)
    png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.paletteAlpha.empty())
    png_set_tRNS(png, info, s.paletteAlpha.data(), static_cast<int>(s.paletteAlpha.size()), nullptr);
  if (s.transparentKey) png_set_tRNS(png, info, nullptr, 0, &s.key);
  png_set_rows(png, info, pointers.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}
