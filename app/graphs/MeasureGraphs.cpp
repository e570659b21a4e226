#include "app/graphs/MeasureGraphs.h"

#include "app/colour/ColourTable.h"
#include "app/colour/Measures.h"
#include "app/document/Document.h"
#include "app/graphs/GraphWindow.h"
#include "jindep/memory.h"

// Horizontal 1 .. c; vertical from the quality with one colour to the budget.
void ComputeQualityGraph(Document* d, GraphRecord* g) {
  const uint32_t c = ComputeQuality(d, g->values);
  if (c == 0) {
    SetGraphRanges(g, 1, 0, 0, 0);
    return;
  }
  SetGraphRanges(g, 1, c, g->values[0], g->values[c - 1]);
}

// Horizontal 1 .. c; vertical from no error (all colours) to the largest.
void ComputeMaximumErrorGraph(Document* d, GraphRecord* g) {
  const uint32_t n = d->colourTable->count;
  uint32_t* errors = static_cast<uint32_t*>(JAlloc(sizeof(uint32_t) * n));
  const uint32_t c = ComputeMaximumError(d, errors);
  for (uint32_t i = 0; i < n; ++i) g->values[i] = errors[i] == kNoMaximumError ? kNoGraphValue : errors[i];
  JFree(errors);
  if (c == 0) {
    SetGraphRanges(g, 1, 0, 0, 0);
    return;
  }
  SetGraphRanges(g, 1, c, g->values[c - 1], g->values[0]);
}

namespace {

void Open(Document* d, GraphKind kind, void (*compute)(Document*, GraphRecord*)) {
  if (!d || !d->colourTable || d->colourTable->count == 0) return;
  GraphRecord* g = OpenGraph(d, kind);
  if (!g) return;
  SetGraphData(g, 1, d->colourTable->count);
  compute(d, g);
}

}  // namespace

void OpenQualityGraph(Document* d) { Open(d, kGraphQuality, ComputeQualityGraph); }
void OpenMaximumErrorGraph(Document* d) { Open(d, kGraphMaximumError, ComputeMaximumErrorGraph); }

void RefreshQuality(Document* d) {
  if (GraphRecord* g = d->graphs[kGraphQuality - 1]) ComputeQualityGraph(d, g);
}

void RefreshMaximumError(Document* d) {
  if (GraphRecord* g = d->graphs[kGraphMaximumError - 1]) ComputeMaximumErrorGraph(d, g);
}
