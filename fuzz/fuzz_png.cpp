// The PNG reader on arbitrary bytes, seeded with every colour type and bit depth.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/seed_corpus.h"
#include "platform/png/PngReader.h"
#include "tests/platform/png/png_builder.h"

namespace {

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> out;
  const int kinds[][2] = {{PNG_COLOR_TYPE_GRAY, 1}, {PNG_COLOR_TYPE_GRAY, 16},   {PNG_COLOR_TYPE_PALETTE, 4},
                          {PNG_COLOR_TYPE_RGB, 8},  {PNG_COLOR_TYPE_RGB, 16},    {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
                          {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16}};
  for (const auto& kind : kinds) {
    for (bool interlaced : {false, true}) {
      PngSpec s;
      s.width = 7;
      s.height = 5;
      s.colourType = kind[0];
      s.bitDepth = kind[1];
      s.interlaced = interlaced;
      const int top = (1 << s.bitDepth) - 1;
      if (s.colourType == PNG_COLOR_TYPE_PALETTE) {
        s.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        s.paletteAlpha = {0, 128};
      }
      for (int i = 0; i < s.width * s.height * PngChannels(s.colourType); ++i)
        s.samples.push_back(static_cast<uint16_t>(s.colourType == PNG_COLOR_TYPE_PALETTE ? i % 3 : i * 37 % (top + 1)));
      out.push_back(BuildPng(s));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(Seeds(), "png-");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::png::DecodeLimits limits;
  limits.maxPixels = 1 << 18;
  platform::png::Alpha alpha;
  std::string reason;
  auto bitmap = platform::png::DecodeFile(data, size, &alpha, &reason, limits);
  if (!bitmap && reason.empty()) __builtin_trap();
  return 0;
}
