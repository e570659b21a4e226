// Whole picture files read as the program reads them: the file checks, the pixel limit
// (set here as --max-pixels sets it, so that claimed sizes beyond it are refused by the
// program's own check, not capped by the fuzzer), the compressed-bits walk and drawing.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/seed_corpus.h"
#include "jwin/J_file.h"
#include "jwin/picture.h"
#include "jwin/picture_limit.h"
#include "jwin/pixel_map.h"

namespace {
std::string gPath;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto seedsOfBoth = seeds::Bitmaps();
  for (auto& m : seeds::Metafiles()) seedsOfBoth.push_back(m);
  seeds::WriteIfAsked(seedsOfBoth, "picture-");
  gPath = "/tmp/tintwell-fuzz-picture-" + std::to_string(getpid());
  JFileTypesInit();
  JPictureSetMaxPixels(uint64_t{1} << 22);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fopen(gPath.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  char reason[200] = "";
  JPixMap* map = JPictureReadFile(gPath.c_str(), reason, sizeof reason);
  if (!map && reason[0] == '\0') __builtin_trap();  // every refusal says why
  JPixMapFree(map);
  return 0;
}
