// The ranking of a picture's colours by how long they survive the nearest-colour
// merges. The palette for k colours is order[0 .. k - 1]; every other colour is
// represented through its record's mergedInto chain, which always leads to an
// earlier position and ends at order[0] (merged into itself).
#pragma once
#include <cstdint>

struct MergeOrder {
  uint32_t count;   // n, the number of colours
  uint32_t* order;  // colour indices; order[0] survives longest
};

void MergeOrderFree(MergeOrder* mergeOrder);
