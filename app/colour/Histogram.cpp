#include "app/colour/Histogram.h"

#include "app/colour/ColourHash.h"
#include "app/colour/ColourTree.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"

namespace {

// Pixels (or colours) between a slot's prefetch and its probe: enough to cover a miss to memory.
constexpr uint32_t kPrefetchAhead = 16;
// Colours the count table has room for before it first grows, at most.
constexpr uint64_t kPresizedColours = 786432;

// The distinct colours of a picture in order of first appearance, each with its pixels.
struct ColourCounts {
  ColourHash counts;  // colour key -> pixels
  uint32_t* order;    // keys in order of first appearance
  uint32_t orderCapacity;
};

void CountPixels(const JPixelBuffer* buffer, ColourCounts* result) {
  const uint32_t step = buffer->height ? (1u << 24) / buffer->height : 0;
  ColourHash* counts = &result->counts;
  // Room from the start for a quarter as many colours as pixels (up to 2^20 slots): a
  // photograph's colours run to a good share of its pixels, and every growth of the
  // table on the way there would rehash all the colours found so far.
  const uint64_t pixels = static_cast<uint64_t>(buffer->width) * buffer->height;
  ColourHashInit(counts, static_cast<uint32_t>(pixels / 4 < kPresizedColours ? pixels / 4 : kPresizedColours));
  result->orderCapacity = static_cast<uint32_t>(ColourHashCapacity(counts->bits));
  result->order = JAllocArray<uint32_t>(result->orderCapacity);
  // The last key seen is remembered: runs of one colour skip the probe.
  uint32_t lastKey = kNoColourKey;
  ColourHashSlot* last = nullptr;
  for (uint32_t row = buffer->height; row > 0; --row) {
    const uint8_t* p = JPixelBufferRow(buffer, row - 1);
    for (uint32_t x = 0; x < buffer->width; ++x, p += 3) {
      // A probe is one cache miss that depends on nothing before it, so the
      // slot of a pixel a little ahead is fetched now and the misses overlap.
      if (x + kPrefetchAhead < buffer->width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        ColourHashPrefetch(counts, ColourKey(ahead[2], ahead[1], ahead[0]));
      }
      const uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        last = ColourHashProbe(counts, key);
        if (last->key != key) {
          if (counts->count == result->orderCapacity) {
            result->orderCapacity *= 2;
            result->order = static_cast<uint32_t*>(
                JRealloc(result->order, static_cast<size_t>(result->orderCapacity) * sizeof(uint32_t)));
          }
          result->order[counts->count] = key;
          last = ColourHashAdd(counts, key, 0);
        }
        lastKey = key;
      }
      ++last->value;
    }
    ProgressStep(step);
  }
}

inline uint32_t PixelsOf(const ColourCounts* counts, uint32_t i) {
  if (i + kPrefetchAhead < counts->counts.count) ColourHashPrefetch(&counts->counts, counts->order[i + kPrefetchAhead]);
  return ColourHashProbe(&counts->counts, counts->order[i])->value;
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
    ColourTreeBuild(root, table, scratch);
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
