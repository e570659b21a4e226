// An open-addressing hash table from colour keys to a 32-bit value: pixel
// counts while the histogram scans, colour indices while the index image is
// made. A probe is usually one cache line, where a walk down the colour tree is
// several dependent loads, and its address can be computed (and prefetched)
// from the key alone, so the misses of neighbouring pixels overlap.
#pragma once
#include <cstddef>
#include <cstdint>

struct ColourHashSlot {
  uint32_t key;  // colour key, or kNoColourKey
  uint32_t value;
};

// Colour keys are 24-bit, so this never names a colour.
constexpr uint32_t kNoColourKey = 0xFFFFFFFFu;

struct ColourHash {
  ColourHashSlot* slots;  // 2^bits slots, at most three quarters of them in use
  uint32_t bits;
  uint32_t count;
};

// Linear probing stays short up to three quarters full; a fuller table would
// cost longer probes, a sparser one more memory and more cache misses.
inline size_t ColourHashCapacity(uint32_t bits) { return (size_t{1} << bits) / 4 * 3; }

// An empty table with room for `colours` keys before it first grows.
void ColourHashInit(ColourHash* hash, uint32_t colours);
void ColourHashFree(ColourHash* hash);

inline uint32_t ColourHashHome(const ColourHash* hash, uint32_t key) {
  // Fibonacci hashing: neighbouring colours land far apart.
  return (key * 0x9E3779B1u) >> (32 - hash->bits);
}

inline void ColourHashPrefetch(const ColourHash* hash, uint32_t key) {
  __builtin_prefetch(&hash->slots[ColourHashHome(hash, key)], 1);
}

// The slot holding `key`, or the empty slot where it would go.
inline ColourHashSlot* ColourHashProbe(const ColourHash* hash, uint32_t key) {
  const uint32_t mask = (1u << hash->bits) - 1;
  uint32_t i = ColourHashHome(hash, key);
  while (hash->slots[i].key != key && hash->slots[i].key != kNoColourKey) i = (i + 1) & mask;
  return &hash->slots[i];
}

// Adds a key that is not in the table yet, growing the table first when full.
ColourHashSlot* ColourHashAdd(ColourHash* hash, uint32_t key, uint32_t value);

// The same, given the empty slot where a probe for the key ended: no second probe
// unless the table has to grow.
inline ColourHashSlot* ColourHashAddAt(ColourHash* hash, ColourHashSlot* empty, uint32_t key, uint32_t value) {
  if (hash->count + 1 > ColourHashCapacity(hash->bits)) return ColourHashAdd(hash, key, value);
  *empty = {key, value};
  ++hash->count;
  return empty;
}
