#include "app/colour/ColourMaps.h"

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourTree.h"
#include "app/colour/IndexImage.h"
#include "app/colour/Preview.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

void MergeOrderFree(MergeOrder* mergeOrder) {
  if (!mergeOrder) return;
  JFree(mergeOrder->order);
  JFree(mergeOrder);
}

MergeOrder* ComputeColourMaps(ColourGraph* graph, ColourTable* table, uint32_t root) {
  const uint32_t n = table->count;
  ProgressSetLabel(JStr(kStrComputingColourMaps));
  const uint32_t groups = static_cast<uint32_t>((static_cast<uint64_t>(n) + 127) >> 7);
  const uint32_t step = groups ? (1u << 24) / groups : 0;
  // Each colour's merge position waits in its representative field, which no
  // mapping needs yet, so that the order array is made only once the graph and
  // the tree are gone and does not add to the merging's peak memory.
  ColourRecord* records = table->records;
  for (uint32_t s = 0; s < n; ++s) {
    uint32_t removed = 0;
    uint32_t into = 0;
    MergeStep(graph, table, root, &removed, &into);
    records[removed].mergedInto = into;
    records[removed].representative = n - s - 1;
    if ((s & 127) == 0) ProgressStep(step);
  }
  ColourTreeFree(root);
  ColourGraphFree(graph);

  MergeOrder* mergeOrder = static_cast<MergeOrder*>(JAlloc(sizeof(MergeOrder)));
  mergeOrder->count = n;
  mergeOrder->order = JAllocArray<uint32_t>(n ? n : 1);
  for (uint32_t i = 0; i < n; ++i) {
    mergeOrder->order[records[i].representative] = i;
    records[i].representative = i;
  }
  return mergeOrder;
}

void MapColours(ColourTable* table, const MergeOrder* mergeOrder, uint32_t k) {
  const uint32_t n = mergeOrder->count;
  if (k == 0 || n == 0) return;
  if (k > n) k = n;
  ColourRecord* records = table->records;
  const uint32_t* order = mergeOrder->order;
  for (uint32_t p = 0; p < k; ++p) records[order[p]].representative = order[p];
  for (uint32_t p = k; p < n; ++p) {
    ColourRecord* record = &records[order[p]];
    record->representative = records[record->mergedInto].representative;
  }
}

void CountMembers(const ColourTable* table, uint32_t* tally, bool skipTransparent) {
  const uint32_t n = table->count;
  for (uint32_t i = 0; i < n; ++i) tally[i] = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (skipTransparent && table->transparent[i]) continue;
    ++tally[table->records[i].representative];
  }
}

uint32_t CountUsedRepresentatives(const ColourTable* table, uint32_t* tally) {
  CountMembers(table, tally, true);
  uint32_t used = 0;
  for (uint32_t i = 0; i < table->count; ++i) used += tally[i] != 0;
  return used;
}

void MapColoursSkippingTransparent(ColourTable* table, uint32_t* tally, const MergeOrder* mergeOrder, uint32_t k,
                                   uint32_t t) {
  if (k == 0) return;
  // m moves by the shortfall (or excess) of used representatives; the used count
  // changes by at most one per palette position, so m approaches from one side.
  // The bounds keep a caller's k above the non-transparent colours from looping.
  const uint32_t n = mergeOrder->count;
  uint32_t m = k;
  int64_t d = t;
  for (;;) {
    int64_t next = static_cast<int64_t>(m) + d;
    if (next < 1) next = 1;
    if (next > n) next = n;
    bool stuck = static_cast<uint32_t>(next) == m && d != 0;
    m = static_cast<uint32_t>(next);
    MapColours(table, mergeOrder, m);
    d = static_cast<int64_t>(k) - CountUsedRepresentatives(table, tally);
    if (d == 0 || stuck) break;
  }
}

void MapForCount(Document* document, uint32_t* tally, uint32_t k) {
  ColourTable* table = document->colourTable;
  if (document->transparencyOn) {
    MapColoursSkippingTransparent(table, tally, document->mergeOrder, k, document->transparentList.count);
  } else if (k != 0) {
    MapColours(table, document->mergeOrder, k);
    CountMembers(table, tally, false);
  }
}

void ApplyColourCount(Document* document) {
  MapForCount(document, document->colourTable->tally, document->colourCount);
  RenderPreview(document);
}
