// Reads arbitrary text as the system's memory figures.
#include <cstdint>

#include "jindep/memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  JMemStats stats;
  if (JMemStatsFromMeminfo(reinterpret_cast<const char*>(data), size, &stats)) {
    if (stats.used > stats.total || stats.percentFree + stats.percentUsed != 100) __builtin_trap();
  }
  return 0;
}
