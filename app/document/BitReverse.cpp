#include "app/document/BitReverse.h"

namespace {
uint8_t table[256];
bool built = false;
}  // namespace

void BuildBitReverseTable() {
  for (int i = 0; i < 256; ++i) {
    uint8_t r = 0;
    for (int bit = 0; bit < 8; ++bit)
      if (i & (1 << bit)) r |= static_cast<uint8_t>(0x80 >> bit);
    table[i] = r;
  }
  built = true;
}

const uint8_t* BitReverseTable() {
  if (!built) BuildBitReverseTable();
  return table;
}

uint32_t ReverseBits32(uint32_t w) {
  const uint8_t* t = BitReverseTable();
  return static_cast<uint32_t>(t[w & 0xFF]) << 24 | static_cast<uint32_t>(t[(w >> 8) & 0xFF]) << 16 |
         static_cast<uint32_t>(t[(w >> 16) & 0xFF]) << 8 | t[(w >> 24) & 0xFF];
}
