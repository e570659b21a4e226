// The JPEG reader on arbitrary bytes, seeded with baseline and progressive, grey and colour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/seed_corpus.h"
#include "platform/jpeg/JpegReader.h"
#include "tests/platform/jpeg/jpeg_builder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::vector<std::vector<uint8_t>> files;
  for (int components : {1, 3, 4})
    for (bool progressive : {false, true}) files.push_back(BuildJpeg(SmoothJpeg(19, 11, components, progressive)));
  seeds::WriteIfAsked(files, "jpeg-");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::jpeg::DecodeLimits limits;
  limits.maxPixels = 1 << 18;
  std::string reason;
  auto bitmap = platform::jpeg::DecodeFile(data, size, &reason, limits);
  if (!bitmap && reason.empty()) __builtin_trap();
  return 0;
}
