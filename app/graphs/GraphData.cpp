// The data side of a graph record, shared by the windows and the batch mode's pictures.
#include "app/graphs/GraphMapping.h"
#include "app/graphs/GraphWindow.h"
#include "jindep/memory.h"

void SetGraphData(GraphRecord* g, uint32_t first, uint32_t last) {
  JFree(g->values);
  g->dataFirst = first;
  g->dataLast = last < first ? first : last;
  const size_t count = static_cast<size_t>(g->dataLast - g->dataFirst) + 1;
  g->values = static_cast<uint64_t*>(JAlloc(sizeof(uint64_t) * count));
  for (size_t i = 0; i < count; ++i) g->values[i] = kNoGraphValue;
}

void PlaceGraphCursor(GraphRecord* g) {
  if (g->cursorX < 0) return;
  if (!g->valid || !GraphHasValue(g, g->cursorK)) {
    g->cursorX = -1;
    return;
  }
  g->cursorX = GraphXForK(g, g->cursorK);
  g->cursorY = GraphYForValue(g, GraphValue(g, g->cursorK));
}

void SetGraphRanges(GraphRecord* g, uint32_t xMin, uint32_t xMax, uint64_t yMin, uint64_t yMax) {
  g->xMin = xMin;
  g->xMax = xMax;
  g->yMin = yMin;
  g->yMax = yMax;
  g->valid = xMin < xMax && yMin < yMax;
  ComputeGraphMapping(g);
  PlaceGraphCursor(g);
  RedrawGraph(g);
}

void SetGraphValue(GraphRecord* g, uint32_t k, uint64_t v) {
  if (!g->values || k < g->dataFirst || k > g->dataLast) return;
  g->values[k - g->dataFirst] = v;
  if (v == kNoGraphValue) return;
  if (v < g->yMin || v > g->yMax) {
    SetGraphRanges(g, g->xMin, g->xMax, v < g->yMin ? v : g->yMin, v > g->yMax ? v : g->yMax);
    return;
  }
  PlotGraphPointNow(g, k);
}

void SetGraphScale(GraphRecord* g, bool horizontal, bool linear) {
  (horizontal ? g->xLinear : g->yLinear) = linear;
  ComputeGraphMapping(g);
  PlaceGraphCursor(g);
  RedrawGraph(g);
}
