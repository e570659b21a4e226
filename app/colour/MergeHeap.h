// A binary min-heap of pool blocks, ordered by a 64-bit key stored in each
// block; the heap keeps a 32-bit position field of each block equal to its slot.
// Ties: an inserted block never rises past an equal key, and a block sifted
// down passes children of equal key (the left child first on equal children).
#pragma once
#include <cstdint>

#include "app/colour/BlockPool.h"

struct MergeHeap {
  uint32_t capacity;
  uint32_t count;
  uint16_t keyField;       // byte offset of the u64 key in a block
  uint16_t positionField;  // byte offset of the u32 position in a block
  const BlockPool* pool;
  // Children of slot i are 2i + 1 and 2i + 2. Each item keeps a copy of its
  // block's key so that comparisons stay within the heap array.
  // The key is held as two 32-bit halves so that an item takes 12 bytes.
  struct Item {
    uint32_t block;
    uint32_t keyLow;
    uint32_t keyHigh;
    uint64_t key() const { return static_cast<uint64_t>(keyHigh) << 32 | keyLow; }
  }* items;
};

MergeHeap* HeapCreate(uint32_t capacity, uint16_t keyField, uint16_t positionField, const BlockPool* pool);
void HeapFree(MergeHeap* heap);
void HeapInsert(MergeHeap* heap, uint32_t block);
// The block of least key, 0 when the heap is empty.
uint32_t HeapPopMin(MergeHeap* heap);
inline uint32_t HeapBlockAt(const MergeHeap* heap, uint32_t slot) { return heap->items[slot].block; }
// Restores the order below slot i after its block's key grew (or changed).
void HeapSiftDown(MergeHeap* heap, uint32_t i);
