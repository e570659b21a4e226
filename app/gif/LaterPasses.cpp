#include "app/gif/LaterPasses.h"

#include <cstring>

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/MergeOrder.h"
#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "app/gif/GifColourTable.h"
#include "app/gif/GifPixels.h"
#include "app/gif/GifWriter.h"
#include "app/gif/LzwEncoder.h"
#include "jindep/memory.h"

// Colours are named by their merge position throughout, so the walk down the tree
// never reads the colour records. Each colour's node holds what the walk reads of it in
// one place: its numbers of pixels and of kids (the colours merged into it), the pixels'
// places in writing order, then for each kid, latest position first, its position and
// where its node starts. The nodes of a pass's own colours lie one after the other.
struct LaterPassPixels {
  uint32_t colours;
  uint32_t pixelCount;
  uint32_t words;       // of `drawn`
  uint32_t summaryWords;
  bool interlaced;      // the writing order of the places
  uint32_t* nodeStart;  // colours + 1
  uint32_t* node;
  uint32_t* queue;      // the walk's nodes to visit, each with the entry it draws
  uint64_t* drawn;      // a bit per place: the pass draws it
  uint64_t* summary;    // a bit per word of `drawn`: some place in it is drawn
  uint8_t* value;       // the table entry of each drawn place
  // Reading the drawn places back as runs; `drawn` is emptied on the way.
  uint32_t at;          // the next place to hand out
  uint32_t next;        // the next drawn place at or after `at` (pixelCount: none)
  uint32_t word;
  uint64_t bits;        // bits of drawn[word] not read yet
};

namespace {

// The nodes, for the writing order of later passes (counting sorts by position).
void BuildNodes(LaterPassPixels* p, const Document* d) {
  const ColourRecord* records = d->colourTable->records;
  const uint32_t* order = d->mergeOrder->order;
  const IndexImage* image = d->indexImage;
  const uint32_t n = p->colours, width = image->width, height = image->height;
  p->interlaced = d->interlaceLater != 0;
  // Positions by colour index in an array of their own: the pixels look them up at random,
  // and the records are many times larger.
  uint32_t* pixels = JAllocArray<uint32_t>(3 * static_cast<size_t>(n));
  uint32_t* kids = pixels + n;
  uint32_t* positionOf = kids + n;
  uint32_t* fill = p->queue;
  memset(pixels, 0, sizeof(uint32_t) * 2 * n);
  for (uint32_t q = 0; q < n; ++q) positionOf[order[q]] = q;
  auto parentOf = [&](uint32_t q) { return positionOf[records[order[q]].mergedInto]; };
  for (uint32_t i = 0; i < p->pixelCount; ++i) ++pixels[positionOf[image->indices[i]]];
  for (uint32_t q = 1; q < n; ++q)
    if (parentOf(q) < q) ++kids[parentOf(q)];
  p->nodeStart[0] = 0;
  for (uint32_t q = 0; q < n; ++q) {
    const uint32_t at = p->nodeStart[q];
    p->nodeStart[q + 1] = at + 2 + pixels[q] + 2 * kids[q];
    p->node[at] = pixels[q];
    p->node[at + 1] = kids[q];
    fill[q] = at + 2;
  }
  uint32_t* rows = JAllocArray<uint32_t>(height ? height : 1);
  GifWritingRows(height, p->interlaced, rows);
  for (uint32_t r = 0; r < height; ++r) {
    const uint32_t* row = image->indices + static_cast<uint64_t>(rows[r]) * width;
    for (uint32_t x = 0; x < width; ++x) p->node[fill[positionOf[row[x]]]++] = r * width + x;
  }
  for (uint32_t q = n - 1; q >= 1; --q) {
    const uint32_t parent = parentOf(q);
    if (parent >= q) continue;
    p->node[fill[parent]++] = q;
    p->node[fill[parent]++] = p->nodeStart[q];
  }
  JFree(rows);
  JFree(pixels);
}

// Marks the places of positions before .. after - 1 and of every colour that stands for
// one of them, with the entry of the colour it shows. The nodes to visit are queued (with
// that entry) and fetched ahead when queued, since a kid's node lies anywhere.
void DrawPass(LaterPassPixels* p, uint32_t before, uint32_t after) {
  uint32_t* queue = p->queue;
  uint32_t tail = 0;
  for (uint32_t q = before; q < after; ++q) {
    queue[tail++] = p->nodeStart[q];
    queue[tail++] = q - before + 1;
  }
  for (uint32_t head = 0; head < tail; head += 2) {
    const uint32_t* at = p->node + queue[head];
    const uint8_t v = static_cast<uint8_t>(queue[head + 1]);
    const uint32_t pixels = at[0], kids = at[1];
    at += 2;
    for (const uint32_t* const end = at + pixels; at < end; ++at) {
      const uint32_t w = *at;
      p->drawn[w >> 6] |= uint64_t{1} << (w & 63);
      p->summary[w >> 12] |= uint64_t{1} << ((w >> 6) & 63);
      p->value[w] = v;
    }
    // Kids before `after` are shown themselves; the rest stand for this colour.
    for (const uint32_t* const end = at + 2 * kids; at < end && at[0] >= after; at += 2) {
      __builtin_prefetch(p->node + at[1]);
      queue[tail++] = at[1];
      queue[tail++] = v;
    }
  }
}

// The next drawn place; words of `drawn` are emptied as they are read.
uint32_t NextDrawn(LaterPassPixels* p) {
  while (p->bits == 0) {
    uint32_t w = p->word + 1, s = w >> 6;
    if (s >= p->summaryWords) return p->pixelCount;
    uint64_t marks = p->summary[s] & (~uint64_t{0} << (w & 63));
    while (marks == 0) {
      if (++s >= p->summaryWords) return p->pixelCount;
      marks = p->summary[s];
    }
    w = s * 64 + static_cast<uint32_t>(__builtin_ctzll(marks));
    p->word = w;
    p->bits = p->drawn[w];
    p->drawn[w] = 0;
  }
  const uint32_t w = p->word * 64 + static_cast<uint32_t>(__builtin_ctzll(p->bits));
  p->bits &= p->bits - 1;
  return w;
}

void StartRuns(LaterPassPixels* p) {
  p->at = 0;
  p->word = 0;
  p->bits = p->drawn[0];
  p->drawn[0] = 0;
  p->next = NextDrawn(p);
}

// A GifRunProc: transparent stretches and drawn places, equal neighbours joined.
uint32_t PassRuns(void* data, GifRun* out, uint32_t max) {
  auto* p = static_cast<LaterPassPixels*>(data);
  uint32_t n = 0;
  while (n < max && p->at < p->pixelCount) {
    if (p->next > p->at) {
      out[n++] = {p->next - p->at, 0};
      p->at = p->next;
      continue;
    }
    const uint8_t v = p->value[p->at];
    uint32_t length = 0;
    do {
      ++length;
      ++p->at;
      p->next = NextDrawn(p);
    } while (p->next == p->at && p->at < p->pixelCount && p->value[p->at] == v);
    out[n++] = {length, v};
  }
  return n;
}

}  // namespace

bool LaterPassesApply(const Document* d) { return !d->useGlobalTable && !d->transparencyOn; }

namespace {

LaterPassPixels* LaterPassPixelsCreate(const Document* d) {
  auto* p = static_cast<LaterPassPixels*>(JAlloc(sizeof(LaterPassPixels)));
  *p = LaterPassPixels{};
  p->colours = d->mergeOrder->count;
  p->pixelCount = static_cast<uint32_t>(d->indexImage->width) * d->indexImage->height;
  p->words = p->pixelCount / 64 + 1;
  p->summaryWords = p->words / 64 + 1;
  const uint32_t slots = p->colours ? p->colours : 1;
  p->nodeStart = JAllocArray<uint32_t>(slots + 1);
  p->node = JAllocArray<uint32_t>(static_cast<size_t>(p->pixelCount) + 4 * static_cast<size_t>(slots));
  p->queue = JAllocArray<uint32_t>(2 * static_cast<size_t>(slots));
  p->drawn = JAllocArray<uint64_t>(p->words);
  memset(p->drawn, 0, sizeof(uint64_t) * p->words);
  p->summary = JAllocArray<uint64_t>(p->summaryWords);
  memset(p->summary, 0, sizeof(uint64_t) * p->summaryWords);
  p->value = JAllocArray<uint8_t>(p->pixelCount ? p->pixelCount : 1);
  if (p->colours > 0) BuildNodes(p, d);
  return p;
}

}  // namespace

void ReleaseLaterPasses(Document* d) {
  LaterPassPixels* p = d->laterPasses;
  if (!p) return;
  JFree(p->nodeStart);
  JFree(p->node);
  JFree(p->queue);
  JFree(p->drawn);
  JFree(p->summary);
  JFree(p->value);
  JFree(p);
  d->laterPasses = nullptr;
}

bool PrepareLaterPasses(Document* d) {
  if (!d->laterPasses) {
    d->laterPasses = LaterPassPixelsCreate(d);
    return true;
  }
  if ((d->interlaceLater != 0) == d->laterPasses->interlaced) return false;
  BuildNodes(d->laterPasses, d);
  return true;
}

bool GifWriteLaterPass(Document* d, uint32_t n, uint32_t k) {
  const uint32_t before = ColoursForPasses(d, k - 1);
  if (before >= n) return false;
  uint32_t after = ColoursForPasses(d, k);
  const bool last = after >= n;
  if (last) after = n;
  PrepareLaterPasses(d);
  LaterPassPixels* p = d->laterPasses;

  uint8_t rgb[kGifMaxTableEntries * 3];
  GifLaterPassTable(d, before, after, rgb);
  const GifImageFrame frame = {true, 0, d->interlaceLater != 0, true, GifTableBits(after - before + 1), rgb};
  const uint32_t codeSize = GifWriteImageHead(d, &frame);
  DrawPass(p, before, after < p->colours ? after : p->colours);
  StartRuns(p);
  LzwCompressRuns(static_cast<int>(codeSize) + 1, p->pixelCount, PassRuns, p);
  // The encoder takes every place, which empties `drawn`; a short image would leave some.
  if (p->at < p->pixelCount) memset(p->drawn, 0, sizeof(uint64_t) * p->words);
  memset(p->summary, 0, sizeof(uint64_t) * p->summaryWords);
  GifWriteImageTail(last);
  return !last;
}
