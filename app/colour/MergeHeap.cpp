#include "app/colour/MergeHeap.h"

#include "jindep/memory.h"

namespace {

inline uint8_t* Block(const MergeHeap* heap, uint32_t handle) {
  return static_cast<uint8_t*>(BlockPoolAddress(heap->pool, handle));
}
inline uint64_t KeyOf(const MergeHeap* heap, uint32_t handle) {
  return *reinterpret_cast<const uint64_t*>(Block(heap, handle) + heap->keyField);
}
inline MergeHeap::Item MakeItem(uint32_t block, uint64_t key) {
  return {block, static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32)};
}
inline void Place(MergeHeap* heap, uint32_t slot, MergeHeap::Item item) {
  heap->items[slot] = item;
  *reinterpret_cast<uint32_t*>(Block(heap, item.block) + heap->positionField) = slot;
}

}  // namespace

MergeHeap* HeapCreate(uint32_t capacity, uint16_t keyField, uint16_t positionField, const BlockPool* pool) {
  MergeHeap* heap = static_cast<MergeHeap*>(JAlloc(sizeof(MergeHeap)));
  heap->capacity = capacity;
  heap->count = 0;
  heap->keyField = keyField;
  heap->positionField = positionField;
  heap->pool = pool;
  heap->items = JAllocArray<MergeHeap::Item>(capacity ? capacity : 1);
  return heap;
}

void HeapFree(MergeHeap* heap) {
  if (!heap) return;
  JFree(heap->items);
  JFree(heap);
}

void HeapInsert(MergeHeap* heap, uint32_t block) {
  if (heap->count == heap->capacity) return;
  uint32_t i = heap->count++;
  const uint64_t key = KeyOf(heap, block);
  const MergeHeap::Item item = MakeItem(block, key);
  while (i > 0) {
    uint32_t parent = (i - 1) / 2;
    if (!(key < heap->items[parent].key())) break;
    Place(heap, i, heap->items[parent]);
    i = parent;
  }
  Place(heap, i, item);
}

void HeapSiftDown(MergeHeap* heap, uint32_t i) {
  const uint32_t block = heap->items[i].block;
  const uint64_t key = KeyOf(heap, block);
  const MergeHeap::Item item = MakeItem(block, key);
  uint64_t c = 2 * static_cast<uint64_t>(i) + 1;
  while (c < heap->count) {
    uint64_t childKey = heap->items[c].key();
    if (c + 1 < heap->count) {
      uint64_t rightKey = heap->items[c + 1].key();
      if (childKey > rightKey) {
        ++c;
        childKey = rightKey;
      }
    }
    if (key < childKey) break;
    Place(heap, i, heap->items[c]);
    i = static_cast<uint32_t>(c);
    c = 2 * c + 1;
  }
  Place(heap, i, item);
}

uint32_t HeapPopMin(MergeHeap* heap) {
  if (heap->count == 0) return 0;
  uint32_t top = heap->items[0].block;
  --heap->count;
  if (heap->count > 0) {
    Place(heap, 0, heap->items[heap->count]);
    HeapSiftDown(heap, 0);
  }
  return top;
}
