#include "app/colour/Histogram.h"

#include <thread>

#include "app/colour/ColourHash.h"
#include "app/colour/ColourTree.h"
#include "app/shell/Document.h"
#include "app/shell/progress.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"

namespace {

// Pixels (or colours) between a slot's prefetch and its probe: enough to cover a miss to memory.
constexpr uint32_t kPrefetchAhead = 16;
// Pictures from this many pixels up are counted on two processors, the top and
// bottom halves of the rows at once; smaller ones are not worth a thread.
constexpr size_t kTwoThreadPixels = size_t{1} << 20;

// The distinct colours of some rows in order of first appearance, each with its pixels.
struct ColourCounts {
  ColourHash counts;  // colour key -> pixels
  uint32_t* order;    // keys in order of first appearance
  uint32_t orderCapacity;
};

struct CountRows {
  const JPixelBuffer* buffer;
  uint32_t firstRow;  // counted from the top of the picture
  uint32_t rowCount;
  uint32_t step;      // progress after each row, 0 for none
  ColourCounts* result;
};

void CountPixels(const CountRows* rows) {
  const JPixelBuffer* buffer = rows->buffer;
  ColourCounts* result = rows->result;
  ColourHash* counts = &result->counts;
  ColourHashInit(counts, 0);
  result->orderCapacity = static_cast<uint32_t>(ColourHashCapacity(counts->bits));
  result->order = JAllocArray<uint32_t>(result->orderCapacity);
  // The last key seen is remembered: runs of one colour skip the probe.
  uint32_t lastKey = kNoColourKey;
  ColourHashSlot* last = nullptr;
  for (uint32_t y = rows->firstRow; y < rows->firstRow + rows->rowCount; ++y) {
    const uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - y);
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
    if (rows->step) ProgressStep(rows->step);
  }
}

// Pixels of a colour in some rows (0 when it does not occur there).
inline uint32_t PixelsIn(const ColourCounts* counts, uint32_t key) {
  const ColourHashSlot* slot = ColourHashProbe(&counts->counts, key);
  return slot->key == key ? slot->value : 0;
}

// Counts the picture in one or two parts (rows top to bottom); returns the number of parts.
uint32_t CountPicture(const JPixelBuffer* buffer, ColourCounts parts[2]) {
  const uint32_t height = buffer->height;
  const uint32_t step = height ? (1u << 24) / height : 0;
  if (static_cast<size_t>(buffer->width) * height < kTwoThreadPixels || std::thread::hardware_concurrency() < 2) {
    const CountRows all{buffer, 0, height, step, &parts[0]};
    CountPixels(&all);
    return 1;
  }
  // The main thread reports progress for its rows as it goes and for the helper's at the end.
  const CountRows top{buffer, 0, height / 2, step, &parts[0]};
  const CountRows bottom{buffer, height / 2, height - height / 2, 0, &parts[1]};
  std::thread helper(CountPixels, &bottom);
  CountPixels(&top);
  helper.join();
  for (uint32_t y = 0; y < bottom.rowCount; ++y) ProgressStep(step);
  return 2;
}

// Hands the picture's distinct colours to `take` in order of first appearance
// over the whole picture: the top part's colours, then the bottom part's that
// the top part lacks; each with its pixels in both parts.
template <typename Take>
void EachColour(const ColourCounts parts[2], uint32_t partCount, Take take) {
  for (uint32_t p = 0; p < partCount; ++p) {
    const ColourCounts* own = &parts[p];
    const ColourCounts* other = partCount == 2 ? &parts[1 - p] : nullptr;
    for (uint32_t i = 0; i < own->counts.count; ++i) {
      if (i + kPrefetchAhead < own->counts.count) {
        ColourHashPrefetch(&own->counts, own->order[i + kPrefetchAhead]);
        if (other) ColourHashPrefetch(&other->counts, own->order[i + kPrefetchAhead]);
      }
      const uint32_t key = own->order[i];
      const uint32_t elsewhere = other ? PixelsIn(other, key) : 0;
      if (p == 1 && elsewhere != 0) continue;
      take(key, PixelsIn(own, key) + elsewhere);
    }
  }
}

}  // namespace

void ScanHistogram(const JPixelBuffer* buffer, ColourTable* table, uint32_t root) {
  // Pixels are counted in hash tables first, and the table and tree are told of
  // each distinct colour once afterwards, in order of first appearance: that
  // order alone decides the colour indices.
  ColourCounts parts[2];
  const uint32_t partCount = CountPicture(buffer, parts);
  if (table->count == 0) {
    EachColour(parts, partCount, [table](uint32_t key, uint32_t pixels) {
      const uint32_t index = ColourTableAppend(table, key);
      table->records[index].count = pixels;
    });
    // The counts are in the records now; the first hash table's memory, already
    // touched, serves as the tree builder's scratch room.
    static_assert(sizeof(TreePathEntry) == sizeof(ColourHashSlot), "one entry a slot");
    TreePathEntry* scratch = static_cast<TreePathEntry*>(
        JRealloc(parts[0].counts.slots, (table->count ? table->count : 1) * sizeof(TreePathEntry)));
    parts[0].counts.slots = nullptr;
    ColourTreeBuild(root, table, scratch);
    JFree(scratch);
  } else {
    // Colours already there keep their indices and add to their counts.
    EachColour(parts, partCount, [table, root](uint32_t key, uint32_t pixels) {
      bool added = false;
      const uint32_t index = ColourTreeLocate(root, table, key, &added);
      ColourRecord* record = &table->records[index];
      record->count = added ? pixels : record->count + pixels;
    });
  }
  for (uint32_t p = 0; p < partCount; ++p) {
    ColourHashFree(&parts[p].counts);
    JFree(parts[p].order);
  }
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
