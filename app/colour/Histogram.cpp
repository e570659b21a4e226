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
// A colour's place in that order is its index; the hash table finds it from the key.
struct ColourCounts {
  ColourHash indices;       // colour key -> index
  ColourHashSlot* colours;  // by index: the key and its pixels; room for as many as `indices`
};

// Room from the start for a quarter as many colours as pixels (up to 2^20 slots): a
// photograph's colours run to a good share of its pixels, and every growth of the
// table on the way there would rehash all the colours found so far.
void InitCounts(ColourCounts* c, uint64_t pixels) {
  ColourHashInit(&c->indices, static_cast<uint32_t>(pixels / 2 < kPresizedColours ? pixels / 2 : kPresizedColours));
  c->colours = JAllocArray<ColourHashSlot>(ColourHashCapacity(c->indices.bits));
  c->colours[0] = {kNoColourKey, 0};  // the run before the first pixel adds nothing here
}

void FreeCounts(ColourCounts* c) {
  ColourHashFree(&c->indices);
  JFree(c->colours);
}

// Where a count of rows stands; lines count from the top of the picture.
struct RowScan {
  const JPixelBuffer* buffer;
  uint32_t line;     // the line being counted
  uint32_t x;        // its next pixel
  uint32_t endLine;  // one past the last line to count
};

// Index of a colour not yet in `c`, whose probe ended at `empty`, put at the end of its
// order with no pixels; kNoColourKey when the tables are full and may not grow (on a
// helper thread, which allocates nothing).
inline uint32_t AddColour(ColourCounts* c, uint32_t key, ColourHashSlot* empty, bool mayGrow) {
  const uint32_t index = c->indices.count;
  if (index == ColourHashCapacity(c->indices.bits)) {
    if (!mayGrow) return kNoColourKey;
    c->colours = static_cast<ColourHashSlot*>(
        JRealloc(c->colours, ColourHashCapacity(c->indices.bits + 1) * sizeof(ColourHashSlot)));
  }
  c->colours[index] = {key, 0};
  ColourHashAddAt(&c->indices, empty, key, index);
  return index;
}

// Counts the pixels from the scan's place to its end line. Without `mayGrow` it stops at
// a pixel whose colour finds no room and leaves the scan there; true when it got to the end.
bool CountRows(RowScan* scan, ColourCounts* result, bool mayGrow, uint32_t progressStep) {
  const JPixelBuffer* buffer = scan->buffer;
  const ColourHash* indices = &result->indices;
  // A run of one colour is counted in a register and probed once.
  uint32_t lastKey = kNoColourKey;
  uint32_t lastIndex = 0;
  uint32_t run = 0;
  for (; scan->line < scan->endLine; ++scan->line, scan->x = 0) {
    const uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - scan->line) + 3 * scan->x;
    for (uint32_t x = scan->x; x < buffer->width; ++x, p += 3) {
      // A probe is one cache miss that depends on nothing before it, so the
      // slot of a pixel a little ahead is fetched now and the misses overlap.
      if (x + kPrefetchAhead < buffer->width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        ColourHashPrefetch(indices, ColourKey(ahead[2], ahead[1], ahead[0]));
      }
      const uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        result->colours[lastIndex].value += run;
        run = 0;
        ColourHashSlot* slot = ColourHashProbe(indices, key);
        lastIndex = slot->key == key ? slot->value : AddColour(result, key, slot, mayGrow);
        if (lastIndex == kNoColourKey) {
          scan->x = x;
          return false;
        }
        lastKey = key;
      }
      ++run;
    }
    if (progressStep) ProgressStep(progressStep);
  }
  result->colours[lastIndex].value += run;
  return true;
}

// Adds the colours of `later` (counted from rows below those of `c`) to `c`: a colour
// already there adds its pixels, a new one follows the others, so the order is that of
// counting all the rows in turn.
void MergeCounts(ColourCounts* c, const ColourCounts* later) {
  const uint32_t count = later->indices.count;
  for (uint32_t i = 0; i < count; ++i) {
    if (i + kPrefetchAhead < count) ColourHashPrefetch(&c->indices, later->colours[i + kPrefetchAhead].key);
    const ColourHashSlot colour = later->colours[i];
    ColourHashSlot* slot = ColourHashProbe(&c->indices, colour.key);
    const uint32_t index = slot->key == colour.key ? slot->value : AddColour(c, colour.key, slot, true);
    c->colours[index].value += colour.value;
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

uint32_t BuildHistogram(Document* document) {
  ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
  document->colourTable = table;
  const uint32_t root = ColourTreeNew();
  // Pixels are counted in a hash table first, and the table and tree are told of
  // each distinct colour once afterwards, in order of first appearance: that
  // order alone decides the colour indices.
  ColourCounts counts;
  CountPixels(document->workingBuffer, &counts);
  const uint32_t distinct = counts.indices.count;
  ColourTableReserve(table, distinct);
  for (uint32_t i = 0; i < distinct; ++i) {
    const uint32_t index = ColourTableAppend(table, counts.colours[i].key);
    table->records[index].count = counts.colours[i].value;
  }
  // The counts are in the records now; the memory of both count tables, already
  // touched, serves as the tree builder's scratch room. The tree is built in one go,
  // its nodes in depth-first order, so the searches that follow find neighbouring
  // colours close together in memory.
  static_assert(sizeof(TreePathEntry) == sizeof(ColourHashSlot), "one entry a slot");
  ColourTreeBuild(root, table, reinterpret_cast<TreePathEntry*>(counts.indices.slots),
                  reinterpret_cast<TreePathEntry*>(counts.colours));
  FreeCounts(&counts);
  return root;
}
