#include "app/colour/ColourHash.h"

#include "jindep/memory.h"

namespace {

constexpr uint32_t kFewestBits = 12;

void MakeSlots(ColourHash* hash, uint32_t bits) {
  hash->bits = bits;
  const size_t size = size_t{1} << bits;
  hash->slots = JAllocArray<ColourHashSlot>(size);
  for (size_t i = 0; i < size; ++i) hash->slots[i] = {kNoColourKey, 0};
}

}  // namespace

void ColourHashInit(ColourHash* hash, uint32_t colours) {
  uint32_t bits = kFewestBits;
  while (ColourHashCapacity(bits) < colours) ++bits;
  MakeSlots(hash, bits);
  hash->count = 0;
}

void ColourHashFree(ColourHash* hash) {
  JFree(hash->slots);
  hash->slots = nullptr;
}

ColourHashSlot* ColourHashAdd(ColourHash* hash, uint32_t key, uint32_t value) {
  if (hash->count + 1 > ColourHashCapacity(hash->bits)) {
    ColourHashSlot* old = hash->slots;
    const size_t oldSize = size_t{1} << hash->bits;
    MakeSlots(hash, hash->bits + 1);
    for (size_t i = 0; i < oldSize; ++i) {
      if (old[i].key != kNoColourKey) *ColourHashProbe(hash, old[i].key) = old[i];
    }
    JFree(old);
  }
  ColourHashSlot* slot = ColourHashProbe(hash, key);
  *slot = {key, value};
  ++hash->count;
  return slot;
}
