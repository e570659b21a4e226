#include "app/graphs/FileSizeGraph.h"

#include "app/colour/ColourMaps.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "app/gif/SizeEstimate.h"
#include "app/graphs/GraphMapping.h"
#include "app/graphs/GraphWindow.h"
#include "app/shell/Document.h"
#include "app/shell/bit_reverse.h"
#include "jindep/memory.h"
#include "jwin/J_sched.h"

struct SizeSampling {
  uint32_t k;          // the next sample number
  uint32_t shift;
  uint32_t x;          // the number of colours being measured, 0 for none
  uint32_t pass;       // the last pass measured of x
  uint64_t bytes;      // the passes of x measured so far
  uint32_t remaining;  // values still to measure
  uint32_t* tally;     // the mapping for x colours (the document's own stays as it is)
  JScheduled* idle;
};

namespace {

GraphRecord* SizeGraph(const Document* d) { return d->graphs[kGraphFileSize - 1]; }

uint32_t Measurable(const Document* d, const GraphRecord* g) {
  const uint32_t last = d->useGlobalTable && g->xMax > 256 ? 256 : g->xMax;
  return last >= g->xMin ? last - g->xMin + 1 : 0;
}

void Schedule(Document* d, SizeSampling* s) {
  if (!s->idle && s->remaining > 0) s->idle = JSchedule(FileSizeSampleIdle, d, 0);
}

// The next sample number that can be measured now, within one period of the order.
bool NextSample(const Document* d, const GraphRecord* g, SizeSampling* s) {
  const uint64_t period = uint64_t{1} << (32 - s->shift);
  for (uint64_t tries = 0; tries < period; ++tries) {
    const uint32_t x = SampleColours(s->k++, s->shift);
    if (x < g->xMin || x > g->xMax || GraphHasValue(g, x) || (d->useGlobalTable && x > 256)) continue;
    s->x = x;
    s->pass = 0;
    s->bytes = 0;
    return true;
  }
  return false;
}

// The sampling tally for x colours. Mapping writes each colour's representative into the
// table, so the document's own mapping is put back at once: marking colours and drawing
// the preview read it between runs.
void MapSample(Document* d, SizeSampling* s) {
  MapForCount(d, s->tally, s->x);
  MapForCount(d, d->colourTable->tally, d->colourCount);
}

}  // namespace

uint32_t SampleShift(uint32_t n) {
  uint32_t span = n > 1 ? n - 1 : 0;
  uint32_t log2 = 0;
  while (span >>= 1) ++log2;
  return 31 - log2;
}

uint32_t SampleColours(uint32_t k, uint32_t shift) { return (ReverseBits32(k) >> shift) + 1; }

void StartFileSizeSampling(Document* d) {
  if (!d || !d->colourTable || d->colourTable->count == 0) return;
  GraphRecord* g = OpenGraph(d, kGraphFileSize);
  if (!g) return;
  const uint32_t n = d->colourTable->count;
  SetGraphData(g, 1, n);
  SizeSampling* s = static_cast<SizeSampling*>(JAlloc(sizeof(SizeSampling)));
  *s = SizeSampling{};
  s->tally = static_cast<uint32_t*>(JAlloc(sizeof(uint32_t) * n));
  s->shift = SampleShift(n);
  g->sampling = s;
  ResetFileSizeSamples(d);
}

void ResetFileSizeSamples(Document* d) {
  GraphRecord* g = SizeGraph(d);
  if (!g || !g->sampling) return;
  SizeSampling* s = g->sampling;
  const uint32_t n = d->colourTable->count;
  const uint32_t t = d->transparencyOn ? d->transparentList.count : 0;
  for (uint32_t k = g->dataFirst; k <= g->dataLast; ++k) g->values[k - g->dataFirst] = kNoGraphValue;
  s->x = 0;
  s->k = 1;  // coarse to fine again for the new settings
  // The vertical range is empty until measured sizes widen it.
  SetGraphRanges(g, 1, n > t ? n - t : 0, UINT64_MAX, 0);
  s->remaining = Measurable(d, g);
  Schedule(d, s);
}

void StopFileSizeSampling(GraphRecord* g) {
  SizeSampling* s = g->sampling;
  if (!s) return;
  JCancelSchedule(s->idle);
  JFree(s->tally);
  JFree(s);
  g->sampling = nullptr;
}

void FileSizeSampleIdle(void* data) {
  Document* d = static_cast<Document*>(data);
  GraphRecord* g = SizeGraph(d);
  if (!g || !g->sampling || d->closing) return;
  SizeSampling* s = g->sampling;
  s->idle = nullptr;
  if (s->x == 0) {
    if (!NextSample(d, g, s)) return;
    MapSample(d, s);
  }
  // One whole pass; other streams run only between passes.
  GifSinkBegin(nullptr, nullptr);
  const bool more = GifWritePass(d, s->tally, s->x, ++s->pass);
  s->bytes += GifSinkCount();
  if (!more) {
    const uint32_t x = s->x;
    s->x = 0;
    --s->remaining;
    SetGraphValue(g, x, s->bytes);
  }
  Schedule(d, s);
}

void RestartSizeEstimate(Document* d, bool alsoRestartGraph) {
  ResetSizeEstimate(d);
  if (alsoRestartGraph) ResetFileSizeSamples(d);
}
