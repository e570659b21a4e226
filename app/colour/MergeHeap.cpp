#include "app/colour/MergeHeap.h"

#include "jindep/memory.h"

namespace {

constexpr uint64_t kBlockBits = (uint64_t{1} << kHeapKeyShift) - 1;

inline uint64_t MakeItem(uint32_t block, uint64_t key) {
  // A key beyond the limit cannot arise from a picture; it would rank last.
  if (key >= kHeapKeyLimit) key = kHeapKeyLimit - 1;
  return key << kHeapKeyShift | (block - 1);
}
// key(a) < key(b), with the key in the items' top bits.
inline bool KeyBelow(uint64_t a, uint64_t b) { return a < (b & ~kBlockBits); }

inline void Place(MergeHeap* heap, uint32_t slot, uint64_t item) {
  heap->items[slot] = item;
  *reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(BlockPoolAddress(heap->pool, HeapBlockOf(item))) +
                               heap->positionField) = slot;
}

}  // namespace

MergeHeap* HeapCreate(uint32_t capacity, uint16_t positionField, const BlockPool* pool) {
  MergeHeap* heap = static_cast<MergeHeap*>(JAlloc(sizeof(MergeHeap)));
  heap->capacity = capacity;
  heap->count = 0;
  heap->positionField = positionField;
  heap->pool = pool;
  // Eight items more than needed leave room to place slot 1 on a line boundary.
  heap->allocation = JAlloc((static_cast<size_t>(capacity) + 8) * sizeof(uint64_t));
  const uintptr_t second = (reinterpret_cast<uintptr_t>(heap->allocation) + sizeof(uint64_t) + 63) & ~uintptr_t{63};
  heap->items = reinterpret_cast<uint64_t*>(second) - 1;
  return heap;
}

void HeapFree(MergeHeap* heap) {
  if (!heap) return;
  JFree(heap->allocation);
  JFree(heap);
}

void HeapInsert(MergeHeap* heap, uint32_t block, uint64_t key) {
  if (heap->count == heap->capacity) return;
  uint32_t i = heap->count++;
  const uint64_t item = MakeItem(block, key);
  while (i > 0) {
    uint32_t parent = (i - 1) / 2;
    if (!KeyBelow(item, heap->items[parent])) break;
    Place(heap, i, heap->items[parent]);
    i = parent;
  }
  Place(heap, i, item);
}

void HeapSiftDown(MergeHeap* heap, uint32_t i, uint64_t key) {
  const uint64_t item = MakeItem(HeapBlockOf(heap->items[i]), key);
  uint64_t c = 2 * static_cast<uint64_t>(i) + 1;
  while (c < heap->count) {
    uint64_t child = heap->items[c];
    if (c + 1 < heap->count) {
      const uint64_t right = heap->items[c + 1];
      if (KeyBelow(right, child)) {
        ++c;
        child = right;
      }
    }
    if (KeyBelow(item, child)) break;
    Place(heap, i, child);
    i = static_cast<uint32_t>(c);
    c = 2 * c + 1;
  }
  Place(heap, i, item);
}

uint32_t HeapPopMin(MergeHeap* heap) {
  if (heap->count == 0) return 0;
  const uint32_t top = HeapBlockOf(heap->items[0]);
  --heap->count;
  if (heap->count > 0) {
    const uint64_t last = heap->items[heap->count];
    heap->items[0] = last;
    HeapSiftDown(heap, 0, HeapKeyOf(last));
  }
  return top;
}
