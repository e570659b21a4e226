// A binary min-heap of pool blocks, ordered by a key given with each block; the
// heap keeps a 32-bit position field of each block equal to its slot.
// Ties: an inserted block never rises past an equal key, and a block sifted
// down passes children of equal key (the left child first on equal children).
#pragma once
#include <cstdint>

#include "app/colour/BlockPool.h"

// Keys below 2^40: a merge cost is at most 765 times a picture's pixels (fewer than 2^30).
constexpr int kHeapKeyShift = 24;
constexpr uint64_t kHeapKeyLimit = uint64_t{1} << (64 - kHeapKeyShift);

struct MergeHeap {
  uint32_t capacity;  // at most 2^24 blocks, handles 1 .. 2^24
  uint32_t count;
  uint16_t positionField;  // byte offset of the u32 position in a block
  const BlockPool* pool;
  // Children of slot i are 2i + 1 and 2i + 2. An item is the key in its top 40 bits
  // and the block's handle less one below: 8 bytes, so that a line holds eight, and
  // slot 1 starts a line, so that both children of a slot share one.
  uint64_t* items;
  void* allocation;
};

inline uint64_t HeapKeyOf(uint64_t item) { return item >> kHeapKeyShift; }
inline uint32_t HeapBlockOf(uint64_t item) { return static_cast<uint32_t>(item & ((1u << kHeapKeyShift) - 1)) + 1; }

MergeHeap* HeapCreate(uint32_t capacity, uint16_t positionField, const BlockPool* pool);
void HeapFree(MergeHeap* heap);
void HeapInsert(MergeHeap* heap, uint32_t block, uint64_t key);
// The block of least key, 0 when the heap is empty.
uint32_t HeapPopMin(MergeHeap* heap);
inline uint32_t HeapBlockAt(const MergeHeap* heap, uint32_t slot) { return HeapBlockOf(heap->items[slot]); }
inline uint64_t HeapKeyAt(const MergeHeap* heap, uint32_t slot) { return HeapKeyOf(heap->items[slot]); }
// Gives the block at slot i a new key (larger, or not) and restores the order below it.
void HeapSiftDown(MergeHeap* heap, uint32_t i, uint64_t key);
