// The record walk and the bounding of plain metafiles on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/seed_corpus.h"
#include "platform/metafile/Metafile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(seeds::Metafiles(), "wmf-");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string reason;
  auto m = platform::wmf::Metafile::FromBits(data, size, &reason);
  if (!m) m = platform::wmf::Metafile::FromFile(data, size, &reason);
  if (!m) return 0;
  platform::wmf::Bounds bounds;
  if (!platform::wmf::BoundRecords(*m, &bounds, &reason) && reason.empty()) __builtin_trap();
  return 0;
}
