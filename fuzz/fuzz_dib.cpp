// The bitmap reader on arbitrary bytes: whole files and packed bitmaps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/seed_corpus.h"
#include "platform/dib/DibReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(seeds::Bitmaps(), "bmp-");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::dib::DecodeLimits limits;
  limits.maxPixels = 1 << 18;
  std::string reason;
  auto bitmap = platform::dib::DecodeFile(data, size, &reason, limits);
  if (!bitmap && reason.empty()) __builtin_trap();
  if (size > 14) platform::dib::DecodePacked(data + 14, size - 14, &reason, limits);
  return 0;
}
