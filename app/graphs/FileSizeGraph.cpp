#include "app/graphs/FileSizeGraph.h"

#include "app/colour/ColourMaps.h"
#include "app/document/BitReverse.h"
#include "app/document/Document.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "app/gif/LaterPasses.h"
#include "app/gif/SizeEstimate.h"
#include "app/graphs/GraphMapping.h"
#include "app/graphs/GraphWindow.h"
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
  bool mapped;         // tally holds the mapping for x
  // Sizes of whole passes that are not the last of their stream. Without the global table
  // and transparency such a pass is the same for every number of colours it does not
  // end, so it is measured once; then each sample costs its last pass, and that pass
  // costs the pixels it draws (LaterPasses.h).
  uint64_t* fullPasses;  // kNoGraphValue: not measured yet
  uint32_t fullPassSlots;
  JScheduled* idle;
};

namespace {

GraphRecord* SizeGraph(const Document* d) { return d->graphs[kGraphFileSize - 1]; }

uint32_t Measurable(const Document* d, const GraphRecord* g) {
  const uint32_t last = d->useGlobalTable && g->xMax > kGlobalTableColours ? kGlobalTableColours : g->xMax;
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
    if (x < g->xMin || x > g->xMax || GraphHasValue(g, x) || (d->useGlobalTable && x > kGlobalTableColours)) continue;
    s->x = x;
    s->pass = 0;
    s->bytes = 0;
    s->mapped = false;
    return true;
  }
  return false;
}

// Passes of x whose size is known are added without writing them; answers the pass to write.
void SkipKnownPasses(const Document* d, SizeSampling* s, uint32_t passes) {
  if (!LaterPassesApply(d)) return;
  while (s->pass + 1 < passes && s->pass + 1 < s->fullPassSlots && s->fullPasses[s->pass + 1] != kNoGraphValue)
    s->bytes += s->fullPasses[++s->pass];
}

// The sampling tally for x colours. Without transparency the first x colours of the merge
// order stand for themselves and every other colour for one of them, and the writer only
// asks whether a colour has pixels of its own: that is read off the order without mapping.
// Mapping writes each colour's representative into the table, so with transparency the
// document's own mapping is put back at once: marking colours and drawing the preview
// read it between runs.
void MapSample(Document* d, SizeSampling* s) {
  if (d->transparencyOn) {
    MapForCount(d, s->tally, s->x);
    MapForCount(d, d->colourTable->tally, d->colourCount);
    return;
  }
  const uint32_t* order = d->mergeOrder->order;
  const uint32_t n = d->colourTable->count;
  for (uint32_t i = 0; i < n; ++i) s->tally[order[i]] = i < s->x ? 1 : 0;
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
  AttachFileSizeSampling(d, g);
  ResetFileSizeSamples(d);
}

void AttachFileSizeSampling(Document* d, GraphRecord* g) {
  const uint32_t n = d->colourTable->count;
  SetGraphData(g, 1, n);
  SizeSampling* s = static_cast<SizeSampling*>(JAlloc(sizeof(SizeSampling)));
  *s = SizeSampling{};
  s->tally = static_cast<uint32_t*>(JAlloc(sizeof(uint32_t) * n));
  s->shift = SampleShift(n);
  g->sampling = s;
}

void ResetFileSizeSamples(Document* d) {
  GraphRecord* g = SizeGraph(d);
  if (g) ResetSizeSamples(d, g);
}

void ResetSizeSamples(Document* d, GraphRecord* g) {
  if (!g->sampling) return;
  SizeSampling* s = g->sampling;
  const uint32_t n = d->colourTable->count;
  const uint32_t t = d->transparencyOn ? d->transparentList.count : 0;
  for (uint32_t k = g->dataFirst; k <= g->dataLast; ++k) g->values[k - g->dataFirst] = kNoGraphValue;
  s->x = 0;
  s->k = 1;  // coarse to fine again for the new settings
  s->fullPassSlots = GifStreamPasses(d, n) + 1;
  s->fullPasses = static_cast<uint64_t*>(JRealloc(s->fullPasses, sizeof(uint64_t) * s->fullPassSlots));
  for (uint32_t p = 0; p < s->fullPassSlots; ++p) s->fullPasses[p] = kNoGraphValue;
  // The vertical range is empty until measured sizes widen it.
  SetGraphRanges(g, 1, n > t ? n - t : 0, UINT64_MAX, 0);
  s->remaining = Measurable(d, g);
  if (g->graphWindow) Schedule(d, s);
}

void StopFileSizeSampling(GraphRecord* g) {
  SizeSampling* s = g->sampling;
  if (!s) return;
  JCancelSchedule(s->idle);
  JFree(s->tally);
  JFree(s->fullPasses);
  JFree(s);
  g->sampling = nullptr;
  ReleaseLaterPasses(g->document);
}

bool StepFileSizeSampling(Document* d, GraphRecord* g, bool* completed) {
  SizeSampling* s = g->sampling;
  if (completed) *completed = false;
  if (s->x == 0) {
    if (s->remaining == 0 || !NextSample(d, g, s)) return false;
  }
  const uint32_t passes = GifStreamPasses(d, s->x);
  SkipKnownPasses(d, s, passes);
  const bool fast = s->pass >= 1 && LaterPassesApply(d);
  if (fast && PrepareLaterPasses(d)) return true;  // that was this run's work
  // One whole pass; other streams run only between passes.
  GifSinkBegin(nullptr, nullptr);
  ++s->pass;
  if (!fast && !s->mapped) {
    MapSample(d, s);
    s->mapped = true;
  }
  const bool more = fast ? GifWriteLaterPass(d, s->x, s->pass) : GifWritePass(d, s->tally, s->x, s->pass);
  const uint64_t bytes = GifSinkCount();
  s->bytes += bytes;
  if (more && LaterPassesApply(d) && s->pass < s->fullPassSlots) s->fullPasses[s->pass] = bytes;
  if (!more) {
    const uint32_t x = s->x;
    s->x = 0;
    --s->remaining;
    if (completed) *completed = true;
    SetGraphValue(g, x, s->bytes);
  }
  return s->remaining > 0;
}

void FileSizeSampleIdle(void* data) {
  Document* d = static_cast<Document*>(data);
  GraphRecord* g = SizeGraph(d);
  if (!g || !g->sampling || d->closing) return;
  g->sampling->idle = nullptr;
  StepFileSizeSampling(d, g);
  Schedule(d, g->sampling);
}

void RestartSizeEstimate(Document* d, bool alsoRestartGraph) {
  ResetSizeEstimate(d);
  if (alsoRestartGraph) ResetFileSizeSamples(d);
}
