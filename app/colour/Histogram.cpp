#include "app/colour/Histogram.h"

#include "app/colour/ColourTree.h"
#include "app/shell/Document.h"
#include "app/shell/progress.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"

namespace {

// The pixels are counted in an open-addressing hash table first and the tree
// is only told of each distinct colour once afterwards: a tree walk is several
// dependent loads a pixel, a hash probe is usually one. The tree is given the
// colours in order of first appearance, which is the only thing its shape and
// the colour indices depend on (looking up a colour already there changes
// nothing), so the result is the same as walking the tree pixel by pixel.
struct CountSlot {
  uint32_t key;    // colour key, or kNoColour
  uint32_t count;  // pixels of that colour
};

// Colour keys are 24-bit, so this never names a colour.
constexpr uint32_t kNoColour = 0xFFFFFFFFu;
constexpr uint32_t kFirstSlotBits = 12;
// Pixels (or colours) between a slot's prefetch and its probe: enough to cover a miss to memory.
constexpr uint32_t kPrefetchAhead = 16;

struct ColourCounts {
  CountSlot* slots;  // 2^bits slots, at most three quarters of them in use
  uint32_t bits;
  uint32_t count;    // distinct colours
  uint32_t* order;   // the distinct colours in order of first appearance; room for MaxColours
};

// Linear probing stays short up to three quarters full; a fuller table would
// cost longer probes, a sparser one more memory and more cache misses a pixel.
inline size_t MaxColours(uint32_t bits) { return (size_t{1} << bits) / 4 * 3; }

inline uint32_t HomeSlot(uint32_t key, uint32_t bits) {
  // Fibonacci hashing: neighbouring colours land far apart.
  return (key * 0x9E3779B1u) >> (32 - bits);
}

void ColourCountsInit(ColourCounts* counts) {
  counts->bits = kFirstSlotBits;
  counts->count = 0;
  const size_t size = size_t{1} << counts->bits;
  counts->slots = JAllocArray<CountSlot>(size);
  for (size_t i = 0; i < size; ++i) counts->slots[i] = {kNoColour, 0};
  counts->order = JAllocArray<uint32_t>(MaxColours(counts->bits));
}

void ColourCountsFree(ColourCounts* counts) {
  JFree(counts->slots);
  JFree(counts->order);
}

CountSlot* Probe(CountSlot* slots, uint32_t bits, uint32_t key) {
  const uint32_t mask = (1u << bits) - 1;
  uint32_t i = HomeSlot(key, bits);
  while (slots[i].key != key && slots[i].key != kNoColour) i = (i + 1) & mask;
  return &slots[i];
}

void ColourCountsGrow(ColourCounts* counts) {
  const uint32_t oldBits = counts->bits;
  CountSlot* old = counts->slots;
  counts->bits = oldBits + 1;
  const size_t size = size_t{1} << counts->bits;
  counts->slots = JAllocArray<CountSlot>(size);
  for (size_t i = 0; i < size; ++i) counts->slots[i] = {kNoColour, 0};
  for (size_t i = 0, n = size_t{1} << oldBits; i < n; ++i) {
    if (old[i].key != kNoColour) *Probe(counts->slots, counts->bits, old[i].key) = old[i];
  }
  JFree(old);
  counts->order = static_cast<uint32_t*>(JRealloc(counts->order, MaxColours(counts->bits) * sizeof(uint32_t)));
}

// The slot of a colour, made (count 0) when the colour is new.
CountSlot* ColourCountsSlot(ColourCounts* counts, uint32_t key) {
  CountSlot* slot = Probe(counts->slots, counts->bits, key);
  if (slot->key == key) return slot;
  if (counts->count + 1 > MaxColours(counts->bits)) {
    ColourCountsGrow(counts);
    slot = Probe(counts->slots, counts->bits, key);
  }
  slot->key = key;
  slot->count = 0;
  counts->order[counts->count++] = key;
  return slot;
}

}  // namespace

void ScanHistogram(const JPixelBuffer* buffer, ColourTable* table, uint32_t root) {
  const uint32_t step = buffer->height ? (1u << 24) / buffer->height : 0;
  ColourCounts counts;
  ColourCountsInit(&counts);
  // The last key seen is remembered: runs of one colour skip the probe.
  uint32_t lastKey = kNoColour;
  CountSlot* last = nullptr;
  for (uint32_t row = buffer->height; row > 0; --row) {
    const uint8_t* p = JPixelBufferRow(buffer, row - 1);
    for (uint32_t x = 0; x < buffer->width; ++x, p += 3) {
      // A probe is one cache miss that depends on nothing before it, so the
      // slot of a pixel a little ahead is fetched now and the misses overlap.
      if (x + kPrefetchAhead < buffer->width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        __builtin_prefetch(&counts.slots[HomeSlot(ColourKey(ahead[2], ahead[1], ahead[0]), counts.bits)], 1);
      }
      uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        last = ColourCountsSlot(&counts, key);
        lastKey = key;
      }
      ++last->count;
    }
    ProgressStep(step);
  }
  // Colours already in the table keep their indices and add to their counts;
  // new ones are appended in order of first appearance. The counts gather in
  // the table's compact tally and go to the records at the end.
  const uint32_t first = table->count;
  for (uint32_t i = 0; i < first; ++i) table->tally[i] = 0;
  for (uint32_t i = 0; i < counts.count; ++i) {
    if (i + kPrefetchAhead < counts.count) {
      __builtin_prefetch(&counts.slots[HomeSlot(counts.order[i + kPrefetchAhead], counts.bits)]);
    }
    const uint32_t key = counts.order[i];
    bool added = false;
    const uint32_t index = ColourTreeLocate(root, table, key, &added);
    table->tally[index] += Probe(counts.slots, counts.bits, key)->count;
  }
  ColourCountsFree(&counts);
  for (uint32_t i = 0; i < table->count; ++i) {
    table->records[i].count = i < first ? table->records[i].count + table->tally[i] : table->tally[i];
    table->tally[i] = 0;
  }
}

uint32_t BuildHistogram(Document* document) {
  document->colourTable = ColourTableCreate(kColourTableInitialCapacity);
  uint32_t root = ColourTreeNew();
  ScanHistogram(document->workingBuffer, document->colourTable, root);
  // Nodes were made in the order colours were met; laid out depth first, the
  // searches that follow find neighbouring colours close together in memory.
  return ColourTreeCompact(root);
}
