#include "app/colour/Histogram.h"

#include "app/colour/ColourHash.h"
#include "app/colour/ColourTree.h"
#include "app/colour/HelperThread.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"

namespace {

// Pixels (or colours) between a slot's prefetch and its probe: enough to cover a miss to memory.
constexpr uint32_t kPrefetchAhead = 16;
// Colours the count table has room for before it first grows, at most.
constexpr uint64_t kPresizedColours = 786432;
// Pictures from this size on are counted on two threads. Below it, merging the two
// threads' colours costs about what the second thread saves (1024x768 photographs).
constexpr uint64_t kTwoThreadPixels = uint64_t{1} << 21;

// The distinct colours of some rows in order of first appearance, each with its pixels.
struct ColourCounts {
  ColourHash counts;  // colour key -> pixels
  uint32_t* order;    // keys in order of first appearance
  uint32_t orderCapacity;
};

// Room from the start for a quarter as many colours as pixels (up to 2^20 slots): a
// photograph's colours run to a good share of its pixels, and every growth of the
// table on the way there would rehash all the colours found so far.
void InitCounts(ColourCounts* c, uint64_t pixels) {
  ColourHashInit(&c->counts, static_cast<uint32_t>(pixels / 4 < kPresizedColours ? pixels / 4 : kPresizedColours));
  c->orderCapacity = static_cast<uint32_t>(ColourHashCapacity(c->counts.bits));
  c->order = JAllocArray<uint32_t>(c->orderCapacity);
}

void FreeCounts(ColourCounts* c) {
  ColourHashFree(&c->counts);
  JFree(c->order);
}

// Where a count of rows stands; lines count from the top of the picture.
struct RowScan {
  const JPixelBuffer* buffer;
  uint32_t line;     // the line being counted
  uint32_t x;        // its next pixel
  uint32_t endLine;  // one past the last line to count
};

// Adds a colour not yet in `c` at the end of its order; null when the tables are full
// and may not grow (on a helper thread, which allocates nothing).
inline ColourHashSlot* AddColour(ColourCounts* c, uint32_t key, bool mayGrow) {
  if (c->counts.count == c->orderCapacity) {
    if (!mayGrow) return nullptr;
    c->orderCapacity *= 2;
    c->order = static_cast<uint32_t*>(JRealloc(c->order, static_cast<size_t>(c->orderCapacity) * sizeof(uint32_t)));
  }
  c->order[c->counts.count] = key;
  return ColourHashAdd(&c->counts, key, 0);
}

// Counts the pixels from the scan's place to its end line. Without `mayGrow` it stops at
// a pixel whose colour finds no room and leaves the scan there; true when it got to the end.
bool CountRows(RowScan* scan, ColourCounts* result, bool mayGrow, uint32_t progressStep) {
  const JPixelBuffer* buffer = scan->buffer;
  ColourHash* counts = &result->counts;
  // The last key seen is remembered: runs of one colour skip the probe.
  uint32_t lastKey = kNoColourKey;
  ColourHashSlot* last = nullptr;
  for (; scan->line < scan->endLine; ++scan->line, scan->x = 0) {
    const uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - scan->line) + 3 * scan->x;
    for (uint32_t x = scan->x; x < buffer->width; ++x, p += 3) {
      // A probe is one cache miss that depends on nothing before it, so the
      // slot of a pixel a little ahead is fetched now and the misses overlap.
      if (x + kPrefetchAhead < buffer->width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        ColourHashPrefetch(counts, ColourKey(ahead[2], ahead[1], ahead[0]));
      }
      const uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        last = ColourHashProbe(counts, key);
        if (last->key != key && !(last = AddColour(result, key, mayGrow))) {
          scan->x = x;
          return false;
        }
        lastKey = key;
      }
      ++last->value;
    }
    if (progressStep) ProgressStep(progressStep);
  }
  return true;
}

inline uint32_t PixelsOf(const ColourCounts* counts, uint32_t i) {
  if (i + kPrefetchAhead < counts->counts.count) ColourHashPrefetch(&counts->counts, counts->order[i + kPrefetchAhead]);
  return ColourHashProbe(&counts->counts, counts->order[i])->value;
}

// Adds the colours of `later` (counted from rows below those of `c`) to `c`: a colour
// already there adds its pixels, a new one follows the others, so the order is that of
// counting all the rows in turn.
void MergeCounts(ColourCounts* c, const ColourCounts* later) {
  for (uint32_t i = 0; i < later->counts.count; ++i) {
    if (i + kPrefetchAhead < later->counts.count) ColourHashPrefetch(&c->counts, later->order[i + kPrefetchAhead]);
    const uint32_t key = later->order[i];
    const uint32_t pixels = PixelsOf(later, i);
    ColourHashSlot* slot = ColourHashProbe(&c->counts, key);
    if (slot->key != key) slot = AddColour(c, key, true);
    slot->value += pixels;
  }
}

struct LowerRows {
  RowScan scan;
  ColourCounts counts;
  bool finished;
};

void CountAsHelper(void* data) {
  LowerRows* lower = static_cast<LowerRows*>(data);
  lower->finished = CountRows(&lower->scan, &lower->counts, false, 0);
}

// Large pictures are counted on two threads: a helper counts the lower half of the rows
// into tables of its own, which are then merged after the upper half's. Should the
// helper not start, or its tables fill, the main thread counts what it left.
void CountPixels(const JPixelBuffer* buffer, ColourCounts* result) {
  const uint32_t step = buffer->height ? (1u << 24) / buffer->height : 0;
  const uint64_t pixels = static_cast<uint64_t>(buffer->width) * buffer->height;
  const bool two = pixels >= kTwoThreadPixels && HelperThreadsWorthwhile();
  RowScan upper = {buffer, 0, 0, two ? buffer->height / 2u : buffer->height};
  InitCounts(result, pixels);
  if (!two) {
    CountRows(&upper, result, true, step);
    return;
  }
  LowerRows lower = {{buffer, upper.endLine, 0, buffer->height}, {}, false};
  InitCounts(&lower.counts, pixels);
  HelperThread helper;
  HelperStart(&helper, CountAsHelper, &lower);
  CountRows(&upper, result, true, step);
  HelperJoin(&helper);
  if (!lower.finished) CountRows(&lower.scan, &lower.counts, true, 0);
  for (uint32_t line = upper.endLine; line < buffer->height; ++line) ProgressStep(step);
  MergeCounts(result, &lower.counts);
  FreeCounts(&lower.counts);
}

}  // namespace

void ScanHistogram(const JPixelBuffer* buffer, ColourTable* table, uint32_t root) {
  // Pixels are counted in a hash table first, and the table and tree are told of
  // each distinct colour once afterwards, in order of first appearance: that
  // order alone decides the colour indices.
  ColourCounts counts;
  CountPixels(buffer, &counts);
  const uint32_t distinct = counts.counts.count;
  if (table->count == 0) {
    ColourTableReserve(table, distinct);
    for (uint32_t i = 0; i < distinct; ++i) {
      const uint32_t pixels = PixelsOf(&counts, i);
      const uint32_t index = ColourTableAppend(table, counts.order[i]);
      table->records[index].count = pixels;
    }
    // The counts are in the records now; the hash table's memory, already
    // touched, serves as the tree builder's scratch room.
    static_assert(sizeof(TreePathEntry) == sizeof(ColourHashSlot), "one entry a slot");
    TreePathEntry* scratch = static_cast<TreePathEntry*>(
        JRealloc(counts.counts.slots, (distinct ? distinct : 1) * sizeof(TreePathEntry)));
    counts.counts.slots = nullptr;
    TreePathEntry* spare = JAllocArray<TreePathEntry>(distinct ? distinct : 1);
    ColourTreeBuild(root, table, scratch, spare);
    JFree(spare);
    JFree(scratch);
  } else {
    // Colours already there keep their indices and add to their counts.
    for (uint32_t i = 0; i < distinct; ++i) {
      const uint32_t pixels = PixelsOf(&counts, i);
      bool added = false;
      const uint32_t index = ColourTreeLocate(root, table, counts.order[i], &added);
      ColourRecord* record = &table->records[index];
      record->count = added ? pixels : record->count + pixels;
    }
  }
  ColourHashFree(&counts.counts);
  JFree(counts.order);
}

uint32_t BuildHistogram(Document* document) {
  document->colourTable = ColourTableCreate(kColourTableInitialCapacity);
  uint32_t root = ColourTreeNew();
  // With an empty table the tree is built in one go, its nodes in depth-first
  // order, so the searches that follow find neighbouring colours close together
  // in memory.
  ScanHistogram(document->workingBuffer, document->colourTable, root);
  return root;
}
