// Writes JPEG files with libjpeg for the reader's tests and the fuzz seeds.
#pragma once
#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

struct JpegSpec {
  int width = 8;
  int height = 8;
  int components = 3;  // 1 grey, 3 RGB, 4 CMYK
  bool progressive = false;
  int quality = 95;
  std::vector<uint8_t> samples;  // width x height x components, top row first
};

inline std::vector<uint8_t> BuildJpeg(const JpegSpec& s) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = s.width;
  info.image_height = s.height;
  info.input_components = s.components;
  info.in_color_space = s.components == 1 ? JCS_GRAYSCALE : s.components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, s.quality, TRUE);
  if (s.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(s.samples.data()) +
                   static_cast<size_t>(info.next_scanline) * s.width * s.components;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

// A smooth picture, JPEG's own kind: each channel a gradient of its own direction.
inline JpegSpec SmoothJpeg(int width, int height, int components, bool progressive) {
  JpegSpec s;
  s.width = width;
  s.height = height;
  s.components = components;
  s.progressive = progressive;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < components; ++c)
        s.samples.push_back(static_cast<uint8_t>(c % 2 ? 20 + x * 200 / width : 230 - y * 200 / height - c * 10));
  return s;
}
