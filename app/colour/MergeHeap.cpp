#include "app/colour/MergeHeap.h"

#include "jindep/memory.h"

static inline uint8_t* Block(const MergeHeap* heap, uint32_t handle) {
  return static_cast<uint8_t*>(BlockPoolAddress(heap->pool, handle));
}
static inline uint64_t KeyOf(const MergeHeap* heap, uint32_t handle) {
  return *reinterpret_cast<const uint64_t*>(Block(heap, handle) + heap->keyField);
}
static inline void Place(MergeHeap* heap, uint32_t slot, uint32_t handle) {
  heap->items[slot] = handle;
  *reinterpret_cast<uint32_t*>(Block(heap, handle) + heap->positionField) = slot;
}

MergeHeap* HeapCreate(uint32_t capacity, uint16_t keyField, uint16_t positionField, const BlockPool* pool) {
  MergeHeap* heap = static_cast<MergeHeap*>(JAlloc(sizeof(MergeHeap)));
  heap->capacity = capacity;
  heap->count = 0;
  heap->keyField = keyField;
  heap->positionField = positionField;
  heap->pool = pool;
  heap->items = JAllocArray<uint32_t>(capacity ? capacity : 1);
  return heap;
}

void HeapFree(MergeHeap* heap) {
  if (!heap) return;
  JFree(heap->items);
  JFree(heap);
}

void HeapInsert(MergeHeap* heap, uint32_t block) {
  uint32_t i = heap->count++;
  uint64_t key = KeyOf(heap, block);
  while (i > 0) {
    uint32_t parent = (i - 1) / 2;
    if (!(key < KeyOf(heap, heap->items[parent]))) break;
    Place(heap, i, heap->items[parent]);
    i = parent;
  }
  Place(heap, i, block);
}

void HeapSiftDown(MergeHeap* heap, uint32_t i) {
  uint32_t block = heap->items[i];
  uint64_t key = KeyOf(heap, block);
  uint64_t c = 2 * static_cast<uint64_t>(i) + 1;
  while (c < heap->count) {
    uint64_t childKey = KeyOf(heap, heap->items[c]);
    if (c + 1 < heap->count) {
      uint64_t rightKey = KeyOf(heap, heap->items[c + 1]);
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
  Place(heap, i, block);
}

uint32_t HeapPopMin(MergeHeap* heap) {
  if (heap->count == 0) return 0;
  uint32_t top = heap->items[0];
  --heap->count;
  if (heap->count > 0) {
    Place(heap, 0, heap->items[heap->count]);
    HeapSiftDown(heap, 0);
  }
  return top;
}
