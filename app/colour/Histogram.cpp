#include "app/colour/Histogram.h"

#include <sched.h>

#include <atomic>

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
// Colours a count table has room for before it first grows, at most.
constexpr uint64_t kPresizedColours = 786432;
// Pictures from this many pixels up are counted on two processors.
constexpr uint64_t kTwoThreadPixels = uint64_t{1} << 18;

// The colours are split in two shares by a bit of a hash of the key (not one of
// the bits that place the key in a count table), so that either share spreads
// over a whole table and the pixels split about evenly.
constexpr uint32_t kEveryShare = 2;
inline uint32_t ShareOf(uint32_t key) { return (key * 0x85EBCA77u) >> 31; }

// The distinct colours of one share in order of first appearance, each with its pixels.
struct ShareCounts {
  const JPixelBuffer* buffer;
  uint32_t share;     // 0, 1 or kEveryShare
  uint32_t step;      // progress a row, 0 for none
  ColourHash counts;  // colour key -> pixels
  uint32_t* order;    // keys in order of first appearance
  uint32_t* first;    // the position of each key's first pixel (row * width + column, top row first)
  uint32_t room;      // entries of order and first
};

void StartShare(ShareCounts* c, const JPixelBuffer* buffer, uint32_t share, uint32_t step) {
  c->buffer = buffer;
  c->share = share;
  c->step = step;
  // Room from the start for a quarter as many colours as pixels (up to 2^20 slots a
  // table): a photograph's colours run to a good share of its pixels, and every
  // growth of a table on the way there would rehash all the colours found so far.
  const uint64_t pixels = static_cast<uint64_t>(buffer->width) * buffer->height;
  const uint64_t limit = share == kEveryShare ? kPresizedColours : kPresizedColours / 2;
  ColourHashInit(&c->counts, static_cast<uint32_t>(pixels / 4 < limit ? pixels / 4 : limit));
  c->room = static_cast<uint32_t>(ColourHashCapacity(c->counts.bits));
  c->order = JAllocArray<uint32_t>(c->room);
  c->first = JAllocArray<uint32_t>(c->room);
}

void FreeShare(ShareCounts* c) {
  ColourHashFree(&c->counts);
  JFree(c->order);
  JFree(c->first);
}

void Grow(ShareCounts* c) {
  c->room *= 2;
  c->order = static_cast<uint32_t*>(JRealloc(c->order, static_cast<size_t>(c->room) * sizeof(uint32_t)));
  c->first = static_cast<uint32_t*>(JRealloc(c->first, static_cast<size_t>(c->room) * sizeof(uint32_t)));
  ColourHashReserve(&c->counts, c->room);
}

// The helper never allocates (memory is accounted for on the main thread only):
// when its share outgrows its room it asks, and waits until the main thread,
// between two of its own rows, has grown the helper's tables.
enum HelperState : uint32_t { kCounting, kWantsRoom, kDone };
struct Helping {
  ShareCounts* share;
  std::atomic<uint32_t> state;
};

void ServeHelper(Helping* helping) {
  if (helping && helping->state.load(std::memory_order_acquire) == kWantsRoom) {
    Grow(helping->share);
    helping->state.store(kCounting, std::memory_order_release);
  }
}

// Counts the share's pixels: `asHelper` on the helper thread, else on the main
// thread, which serves `helped` (when not null) after every row.
void CountShare(ShareCounts* c, Helping* asHelper, Helping* helped) {
  const JPixelBuffer* buffer = c->buffer;
  const uint32_t width = buffer->width;
  const bool every = c->share == kEveryShare;
  // The last key seen is remembered: runs of one colour skip the probe. The
  // pixels of the other share's colours go to a slot that counts nothing.
  ColourHashSlot elsewhere{};
  uint32_t lastKey = kNoColourKey;
  ColourHashSlot* last = &elsewhere;
  for (uint32_t y = 0; y < buffer->height; ++y) {
    const uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - y);
    for (uint32_t x = 0; x < width; ++x, p += 3) {
      // A probe is one cache miss that depends on nothing before it, so the
      // slot of a pixel a little ahead is fetched now and the misses overlap.
      if (x + kPrefetchAhead < width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        const uint32_t aheadKey = ColourKey(ahead[2], ahead[1], ahead[0]);
        if (every || ShareOf(aheadKey) == c->share) ColourHashPrefetch(&c->counts, aheadKey);
      }
      const uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        lastKey = key;
        last = &elsewhere;
        if (every || ShareOf(key) == c->share) {
          last = ColourHashProbe(&c->counts, key);
          if (last->key != key) {
            if (c->counts.count == c->room) {
              if (asHelper) {
                asHelper->state.store(kWantsRoom, std::memory_order_release);
                while (asHelper->state.load(std::memory_order_acquire) == kWantsRoom) sched_yield();
              } else {
                Grow(c);
              }
            }
            c->order[c->counts.count] = key;
            c->first[c->counts.count] = y * width + x;
            last = ColourHashAdd(&c->counts, key, 0);
          }
        }
      }
      ++last->value;
    }
    if (c->step) ProgressStep(c->step);
    ServeHelper(helped);
  }
}

void CountAsHelper(void* data) {
  Helping* helping = static_cast<Helping*>(data);
  CountShare(helping->share, helping, nullptr);
  helping->state.store(kDone, std::memory_order_release);
}

// Counts every pixel into one share or, for a large picture, two shares counted
// side by side; returns the number of shares. Should the helper not start, the
// main thread counts its share too.
uint32_t CountPixels(const JPixelBuffer* buffer, ShareCounts shares[2]) {
  const uint32_t step = buffer->height ? (1u << 24) / buffer->height : 0;
  const uint64_t pixels = static_cast<uint64_t>(buffer->width) * buffer->height;
  if (pixels < kTwoThreadPixels || !HelperThreadsWorthwhile()) {
    StartShare(&shares[0], buffer, kEveryShare, step);
    CountShare(&shares[0], nullptr, nullptr);
    return 1;
  }
  StartShare(&shares[0], buffer, 0, step);
  StartShare(&shares[1], buffer, 1, 0);
  Helping helping{&shares[1], {kCounting}};
  HelperThread helper;
  if (!HelperStart(&helper, CountAsHelper, &helping)) {
    CountShare(&shares[0], nullptr, nullptr);
    CountShare(&shares[1], nullptr, nullptr);
    return 2;
  }
  CountShare(&shares[0], nullptr, &helping);
  while (helping.state.load(std::memory_order_acquire) != kDone) {
    ServeHelper(&helping);
    sched_yield();
  }
  HelperJoin(&helper);
  return 2;
}

// The colours of all shares in order of first appearance: each share's are in
// that order already, so they are merged by the position of their first pixel.
uint32_t* MergeShares(const ShareCounts shares[2], uint32_t shareCount, uint32_t distinct) {
  uint32_t* order = JAllocArray<uint32_t>(distinct ? distinct : 1);
  if (shareCount == 1) {
    for (uint32_t i = 0; i < distinct; ++i) order[i] = shares[0].order[i];
    return order;
  }
  const uint32_t n0 = shares[0].counts.count;
  const uint32_t n1 = shares[1].counts.count;
  uint32_t i = 0;
  uint32_t j = 0;
  for (uint32_t k = 0; k < distinct; ++k) {
    const bool fromFirst = j == n1 || (i < n0 && shares[0].first[i] < shares[1].first[j]);
    order[k] = fromFirst ? shares[0].order[i++] : shares[1].order[j++];
  }
  return order;
}

inline const ColourHash* CountsOf(const ShareCounts shares[2], uint32_t shareCount, uint32_t key) {
  return &shares[shareCount == 1 ? 0 : ShareOf(key)].counts;
}

inline uint32_t PixelsOf(const ShareCounts shares[2], uint32_t shareCount, const uint32_t* order, uint32_t distinct,
                         uint32_t i) {
  if (i + kPrefetchAhead < distinct) {
    const uint32_t ahead = order[i + kPrefetchAhead];
    ColourHashPrefetch(CountsOf(shares, shareCount, ahead), ahead);
  }
  return ColourHashProbe(CountsOf(shares, shareCount, order[i]), order[i])->value;
}

}  // namespace

void ScanHistogram(const JPixelBuffer* buffer, ColourTable* table, uint32_t root) {
  // Pixels are counted in hash tables first, and the table and tree are told of
  // each distinct colour once afterwards, in order of first appearance: that
  // order alone decides the colour indices.
  ShareCounts shares[2];
  const uint32_t shareCount = CountPixels(buffer, shares);
  const uint32_t distinct = shares[0].counts.count + (shareCount == 2 ? shares[1].counts.count : 0);
  uint32_t* order = MergeShares(shares, shareCount, distinct);
  if (table->count == 0) {
    ColourTableReserve(table, distinct);
    for (uint32_t i = 0; i < distinct; ++i) {
      const uint32_t pixels = PixelsOf(shares, shareCount, order, distinct, i);
      const uint32_t index = ColourTableAppend(table, order[i]);
      table->records[index].count = pixels;
    }
    for (uint32_t s = 0; s < shareCount; ++s) FreeShare(&shares[s]);
    TreePathEntry* scratch = JAllocArray<TreePathEntry>(distinct ? distinct : 1);
    ColourTreeBuild(root, table, scratch);
    JFree(scratch);
  } else {
    // Colours already there keep their indices and add to their counts.
    for (uint32_t i = 0; i < distinct; ++i) {
      const uint32_t pixels = PixelsOf(shares, shareCount, order, distinct, i);
      bool added = false;
      const uint32_t index = ColourTreeLocate(root, table, order[i], &added);
      ColourRecord* record = &table->records[index];
      record->count = added ? pixels : record->count + pixels;
    }
    for (uint32_t s = 0; s < shareCount; ++s) FreeShare(&shares[s]);
  }
  JFree(order);
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
