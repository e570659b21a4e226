#include "app/colour/Histogram.h"

#include <algorithm>
#include <cstring>

#include "app/colour/ColourHash.h"
#include "app/colour/ColourTree.h"
#include "app/colour/HelperThread.h"
#include "app/colour/IndexImage.h"
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
  ColourHash byKey;         // colour key -> index
  ColourHashSlot* colours;  // by index: the key and its pixels; room for as many as `byKey`
};

// Pixels looked at to guess how many colours a picture has.
constexpr uint32_t kSamplePixels = 1024;

// Colours the count table is first made for: as large a share of the pixels as the
// sample's share of distinct colours (a share that a sample overstates rather than
// understates), at most half the pixels and kPresizedColours. A photograph's colours run
// to a good share of its pixels, and every growth of the table on the way there would
// rehash all the colours found so far; a graphic of a few colours needs a small table.
uint32_t ExpectedColours(const JPixelBuffer* buffer) {
  const uint64_t pixels = static_cast<uint64_t>(buffer->width) * buffer->height;
  uint32_t sample[kSamplePixels];
  for (uint32_t i = 0; i < kSamplePixels; ++i) {
    const uint64_t at = pixels * i / kSamplePixels;
    const uint8_t* p = JPixelBufferRow(buffer, static_cast<uint32_t>(at / buffer->width)) + 3 * (at % buffer->width);
    sample[i] = ColourKey(p[2], p[1], p[0]);
  }
  std::sort(sample, sample + kSamplePixels);
  const uint64_t distinct = static_cast<uint64_t>(std::unique(sample, sample + kSamplePixels) - sample);
  uint64_t expected = pixels * distinct / kSamplePixels;
  if (expected > pixels / 2) expected = pixels / 2;
  return static_cast<uint32_t>(expected < kPresizedColours ? expected : kPresizedColours);
}

void InitCounts(ColourCounts* c, uint32_t expectedColours) {
  ColourHashInit(&c->byKey, expectedColours);
  c->colours = JAllocArray<ColourHashSlot>(ColourHashCapacity(c->byKey.bits));
  c->colours[0] = {kNoColourKey, 0};  // the run before the first pixel adds nothing here
}

void FreeCounts(ColourCounts* c) {
  ColourHashFree(&c->byKey);
  JFree(c->colours);
}

// Where a count of rows stands; lines count from the top of the picture.
struct RowScan {
  const JPixelBuffer* buffer;
  JPixelBuffer* indices;  // where each pixel's index goes (may be `buffer` itself)
  uint32_t line;          // the line being counted
  uint32_t x;             // its next pixel
  uint32_t endLine;       // one past the last line to count
};

// Index of a colour not yet in `c`, whose probe ended at `empty`, put at the end of its
// order with no pixels; kNoColourKey when the tables are full and may not grow (on a
// helper thread, which allocates nothing).
inline uint32_t AddColour(ColourCounts* c, uint32_t key, ColourHashSlot* empty, bool mayGrow) {
  const uint32_t index = c->byKey.count;
  if (index == ColourHashCapacity(c->byKey.bits)) {
    if (!mayGrow) return kNoColourKey;
    c->colours = static_cast<ColourHashSlot*>(
        JRealloc(c->colours, ColourHashCapacity(c->byKey.bits + 1) * sizeof(ColourHashSlot)));
  }
  c->colours[index] = {key, 0};
  ColourHashAddAt(&c->byKey, empty, key, index);
  return index;
}

// The key of a pixel that is not the last of its row, in one load: blue, green and red
// are the low three bytes of a little-endian word (the fourth is the next pixel's, or
// padding, and is read before that pixel's index is written over it).
inline uint32_t KeyWithinRow(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word & 0xFFFFFFu;
}

// Counts the pixels from the scan's place to its end line and writes down each one's
// index. Without `mayGrow` it stops at a pixel whose colour finds no room and leaves the
// scan there; true when it got to the end.
bool CountRows(RowScan* scan, ColourCounts* result, bool mayGrow, uint32_t progressStep) {
  const JPixelBuffer* buffer = scan->buffer;
  const uint32_t width = buffer->width;
  // Kept in locals: the indices' byte stores may alias anything in memory, locals not.
  ColourHash byKey = result->byKey;
  ColourHashSlot* colours = result->colours;
  // A run of one colour is counted in a register and probed once.
  uint32_t lastKey = kNoColourKey;
  uint32_t lastIndex = 0;
  uint32_t run = 0;
  for (; scan->line < scan->endLine; ++scan->line, scan->x = 0) {
    const uint32_t row = buffer->height - 1 - scan->line;
    const uint8_t* p = JPixelBufferRow(buffer, row) + 3 * scan->x;
    uint8_t* out = JPixelBufferRow(scan->indices, row) + 3 * scan->x;
    for (uint32_t x = scan->x; x < width; ++x, p += 3, out += 3) {
      // A probe is one cache miss that depends on nothing before it, so the
      // slot of a pixel a little ahead is fetched now and the misses overlap.
      if (x + kPrefetchAhead + 1 < width) ColourHashPrefetch(&byKey, KeyWithinRow(p + 3 * kPrefetchAhead));
      const uint32_t key = x + 1 < width ? KeyWithinRow(p) : ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        colours[lastIndex].value += run;
        run = 0;
        ColourHashSlot* slot = ColourHashProbe(&byKey, key);
        if (slot->key == key) {
          lastIndex = slot->value;
        } else {
          lastIndex = AddColour(result, key, slot, mayGrow);
          byKey = result->byKey;
          colours = result->colours;
          if (lastIndex == kNoColourKey) {
            scan->x = x;
            return false;
          }
        }
        lastKey = key;
      }
      ++run;
      PutPackedIndex(out, lastIndex);
    }
    if (progressStep) ProgressStep(progressStep);
  }
  colours[lastIndex].value += run;
  return true;
}

// Adds the colours of `later` (counted from rows below those of `c`) to `c`: a colour
// already there adds its pixels, a new one follows the others, so the order is that of
// counting all the rows in turn. Each of `later`'s colours is left with its index in `c`
// in place of its pixels.
void MergeCounts(ColourCounts* c, ColourCounts* later) {
  const uint32_t count = later->byKey.count;
  for (uint32_t i = 0; i < count; ++i) {
    if (i + kPrefetchAhead < count) ColourHashPrefetch(&c->byKey, later->colours[i + kPrefetchAhead].key);
    ColourHashSlot* colour = &later->colours[i];
    ColourHashSlot* slot = ColourHashProbe(&c->byKey, colour->key);
    const uint32_t index = slot->key == colour->key ? slot->value : AddColour(c, colour->key, slot, true);
    c->colours[index].value += colour->value;
    colour->value = index;
  }
}

// The indices of lines `first` to `end` (exclusive), written by a count of their own,
// made those of the whole picture (`merged`, as MergeCounts left it).
void RenumberRows(JPixelBuffer* indices, uint32_t first, uint32_t end, const ColourHashSlot* merged) {
  uint32_t last = kNoColourKey, renumbered = 0;
  for (uint32_t line = first; line < end; ++line) {
    uint8_t* p = JPixelBufferRow(indices, indices->height - 1 - line);
    for (uint32_t x = 0; x < indices->width; ++x, p += 3) {
      const uint32_t index = PackedIndexAt(p);
      if (index != last) {
        last = index;
        renumbered = merged[index].value;
      }
      PutPackedIndex(p, renumbered);
    }
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
void CountPixels(const JPixelBuffer* buffer, JPixelBuffer* indices, ColourCounts* result) {
  const uint32_t step = buffer->height ? (1u << 24) / buffer->height : 0;
  const uint64_t pixels = static_cast<uint64_t>(buffer->width) * buffer->height;
  const bool two = pixels >= kTwoThreadPixels && HelperThreadsWorthwhile();
  RowScan upper = {buffer, indices, 0, 0, two ? buffer->height / 2u : buffer->height};
  const uint32_t expected = ExpectedColours(buffer);
  InitCounts(result, expected);
  if (!two) {
    CountRows(&upper, result, true, step);
    return;
  }
  LowerRows lower = {{buffer, indices, upper.endLine, 0, buffer->height}, {}, false};
  InitCounts(&lower.counts, expected);
  HelperThread helper;
  HelperStart(&helper, CountAsHelper, &lower);
  CountRows(&upper, result, true, step);
  HelperJoin(&helper);
  if (!lower.finished) CountRows(&lower.scan, &lower.counts, true, 0);
  for (uint32_t line = upper.endLine; line < buffer->height; ++line) ProgressStep(step);
  MergeCounts(result, &lower.counts);
  RenumberRows(indices, upper.endLine, buffer->height, lower.counts.colours);
  FreeCounts(&lower.counts);
}

}  // namespace

uint32_t BuildHistogram(Document* document, JPixelBuffer* indices) {
  ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
  document->colourTable = table;
  const uint32_t root = ColourTreeNew();
  const JPixelBuffer* buffer = document->workingBuffer;
  JPixelBuffer* unwanted = indices ? nullptr : JPixelBufferNew(buffer->width, buffer->height);
  // Pixels are counted in a hash table first, and the table and tree are told of
  // each distinct colour once afterwards, in order of first appearance: that
  // order alone decides the colour indices.
  ColourCounts counts;
  CountPixels(buffer, indices ? indices : unwanted, &counts);
  const uint32_t distinct = counts.byKey.count;
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
  ColourTreeBuild(root, table, reinterpret_cast<TreePathEntry*>(counts.byKey.slots),
                  reinterpret_cast<TreePathEntry*>(counts.colours));
  FreeCounts(&counts);
  JPixelBufferFree(unwanted);
  return root;
}
