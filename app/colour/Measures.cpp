#include "app/colour/Measures.h"

#include "app/colour/ColourTable.h"
#include "app/colour/MergeOrder.h"
#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "jindep/memory.h"

uint64_t QualityBudget(const Document* document) {
  return static_cast<uint64_t>(document->width) * 768 * static_cast<uint64_t>(document->height);
}

// With the colour at merge position 0 itself transparent, the walk meets one
// merge more than there are entries below c - 1: that last merge (which would
// leave no colour) is dropped rather than written before the array.
uint32_t ComputeMaximumError(const Document* document, uint32_t* values) {
  uint32_t c = 0;
  uint32_t t = 0;
  AvailableColours(document, &c, &t);
  const ColourTable* table = document->colourTable;
  const uint32_t n = table->count;
  for (uint32_t i = c; i < n; ++i) values[i] = kNoMaximumError;
  if (c == 0) return 0;
  const uint32_t* order = document->mergeOrder->order;
  uint32_t j = c - 1;
  values[j] = 0;
  uint32_t running = 0;
  for (uint32_t i = 1; i < n && j > 0; ++i) {
    const ColourRecord* x = &table->records[order[n - i]];
    if (document->transparencyOn && table->transparent[order[n - i]]) continue;
    uint32_t e = ColourDistance(x->colour, table->records[x->mergedInto].colour);
    if (e > running) running = e;
    values[--j] = running;
  }
  return c;
}

uint32_t ComputeQuality(Document* document, uint64_t* values) {
  uint32_t c = 0;
  uint32_t t = 0;
  AvailableColours(document, &c, &t);
  const ColourTable* table = document->colourTable;
  const uint32_t n = table->count;
  for (uint32_t i = c; i < n; ++i) values[i] = kNoQuality;
  if (c == 0) return 0;
  // The pixels each colour stands for, gathered along the merges as the graph did.
  uint32_t* weight = JAllocArray<uint32_t>(n);
  for (uint32_t i = 0; i < n; ++i) weight[i] = table->records[i].count;
  const uint32_t* order = document->mergeOrder->order;
  uint64_t budget = QualityBudget(document);
  uint32_t j = c - 1;
  values[j] = budget;
  for (uint32_t i = 1; i < n && j > 0; ++i) {
    const uint32_t xi = order[n - i];
    const ColourRecord* x = &table->records[xi];
    if (document->transparencyOn && table->transparent[xi]) continue;
    const uint32_t p = x->mergedInto;
    budget -= static_cast<uint64_t>(ColourDistance(x->colour, table->records[p].colour)) * weight[xi];
    weight[p] += weight[xi];
    values[--j] = budget;
  }
  JFree(weight);
  return c;
}
