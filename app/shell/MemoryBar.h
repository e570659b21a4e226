// The memory-usage bar's figures and geometry, apart from any window so they can be
// checked on their own.
#pragma once
#include <cstdint>

struct JMemStats;

struct MemoryFigures {
  uint64_t total;
  uint64_t used;
  uint64_t temporary;
  uint64_t free;
  uint64_t largest;  // the largest free block
};

// The figures as shown: `reserve` bytes (at most what is free) are taken off total and
// free, the largest free block is at most what is free, and temporary memory counts as used.
MemoryFigures ShownMemoryFigures(const JMemStats& stats, uint64_t reserve);

// The four segments of the bar, left to right: free (to the largest free block), the rest
// of free memory, temporary and used. Each covers x from `left` to `right` inclusive;
// empty when right < left. `bytes` is its size.
enum { kMemoryFree, kMemoryOtherFree, kMemoryTemporary, kMemoryUsed, kMemorySegments };
struct MemorySegment {
  int16_t left;
  int16_t right;
  uint64_t bytes;
};
// The bar spans `width` pixels from x = `barLeft`. False, with nothing to paint, when the
// total is 0.
bool MemoryBarSegments(const MemoryFigures& figures, int16_t barLeft, int16_t width,
                       MemorySegment segments[kMemorySegments]);
