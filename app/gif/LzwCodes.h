// What the two LZW front ends share (pixels one by one, or runs of one value): the
// hash table of strings, its look-up, and the packing of codes into sub-blocks. Both
// must produce the same codes for the same pixels, so there is one copy of each rule.
#pragma once
#include <cstdint>

#include "app/gif/GifSink.h"

namespace lzw {

// Open addressing over a prime-sized table, with a secondary probe whose step
// depends on the first slot. The table must hold all 4096 codes with room to spare.
constexpr int kHashSize = 5003;
constexpr int kMaxBits = 12;
constexpr uint32_t kCodeLimit = 1u << kMaxBits;  // the table is full at 4096 codes

// The hash shift spreads (value << shift) over the table: the number of doublings
// that take the table size to 65536, subtracted from 8 (4 for 5003).
constexpr int HashShift() {
  int count = 0;
  for (long running = kHashSize; running < 65536; running *= 2) ++count;
  return 8 - count;
}
constexpr int kHashShift = HashShift();

// One 64-bit word a slot, so that a look-up is one load: the low 32 bits hold the
// key, (value << 12) + prefix code, or -1 when empty; the bits above hold the code.
// Allocated once, emptied at every start and every clear. A compression running beside
// another (on another thread) brings a table of its own, emptied with ClearSlots(table).
uint64_t* Slots();
void ClearSlots();
void ClearSlots(uint64_t* slots);

inline int32_t KeyOf(uint64_t slot) { return static_cast<int32_t>(static_cast<uint32_t>(slot)); }
inline uint32_t CodeOf(uint64_t slot) { return static_cast<uint32_t>(slot >> 32); }
inline int32_t KeyFor(uint32_t value, uint32_t prefix) { return static_cast<int32_t>((value << kMaxBits) + prefix); }
inline int SlotFor(uint32_t value, uint32_t prefix) { return static_cast<int>((value << kHashShift) ^ prefix); }

// Looks `key` up from slot `*i` with the secondary probe; on a miss `*i` is the free
// slot where the key belongs. A zero key (value 0 after prefix 0) ends a probe as if
// empty, so a key stored after it on a probe path can later be stored over.
inline bool FindCode(const uint64_t* slots, int32_t key, int* i, uint32_t* code) {
  uint64_t slot = slots[*i];
  if (KeyOf(slot) == key) {
    *code = CodeOf(slot);
    return true;
  }
  if (KeyOf(slot) < 0) return false;
  const int displacement = *i == 0 ? 1 : kHashSize - *i;
  do {
    *i -= displacement;
    if (*i < 0) *i += kHashSize;
    slot = slots[*i];
    if (KeyOf(slot) == key) {
      *code = CodeOf(slot);
      return true;
    }
  } while (KeyOf(slot) > 0);
  return false;
}

// The code width: it grows one code after the table passes the current width, which is
// when a decoder, one entry behind the encoder, widens too, and starts again after a clear.
struct CodeWidth {
  int initBits;
  int nBits;
  uint32_t maxCode;
  uint32_t freeEntry;
  bool clearPending = false;

  CodeWidth(int bits, uint32_t firstFree)
      : initBits(bits), nBits(bits), maxCode((1u << bits) - 1), freeEntry(firstFree) {}

  // After a code has gone out at nBits.
  void update() {
    if (freeEntry > maxCode || clearPending) {
      if (clearPending) {
        nBits = initBits;
        maxCode = (1u << nBits) - 1;
        clearPending = false;
      } else {
        ++nBits;
        maxCode = nBits == kMaxBits ? kCodeLimit : (1u << nBits) - 1;
      }
    }
  }
};

// Packs codes at the growing width into sub-blocks of at most 255 bytes. Held in a local
// that never escapes, so that the compiler keeps its state in registers; only the block
// buffer is handed to the sink.
struct CodePacker : CodeWidth {
  uint64_t accumulator = 0;  // codes gather here and leave four bytes at a time
  int pendingBits = 0;
  int fill = 1;  // next free position in block; byte 0 is the sub-block's length
  uint8_t block[256];

  CodePacker(int bits, uint32_t firstFree) : CodeWidth(bits, firstFree) {}

  void writeBlock() {
    if (fill > 1) {
      block[0] = static_cast<uint8_t>(fill - 1);
      GifSinkWrite(static_cast<size_t>(fill), block);
      fill = 1;
    }
  }
  void putByte(uint8_t byte) {
    block[fill++] = byte;
    if (fill == 256) writeBlock();
  }
  // The bytes are those of packing each code byte by byte.
  void send(uint32_t code) {
    accumulator |= static_cast<uint64_t>(code) << pendingBits;
    pendingBits += nBits;
    if (pendingBits >= 32) {
      if (fill <= 252) {
        block[fill] = static_cast<uint8_t>(accumulator);
        block[fill + 1] = static_cast<uint8_t>(accumulator >> 8);
        block[fill + 2] = static_cast<uint8_t>(accumulator >> 16);
        block[fill + 3] = static_cast<uint8_t>(accumulator >> 24);
        fill += 4;
        if (fill == 256) writeBlock();
      } else {
        for (int b = 0; b < 4; ++b) putByte(static_cast<uint8_t>(accumulator >> (8 * b)));
      }
      accumulator >>= 32;
      pendingBits -= 32;
    }
    update();
  }
  // Bits of the last byte that no code reaches stay zero.
  void flush() {
    while (pendingBits > 0) {
      putByte(static_cast<uint8_t>(accumulator));
      accumulator >>= 8;
      pendingBits -= 8;
    }
    pendingBits = 0;
    writeBlock();
  }
};

// CodePacker for a sink that only counts: the same number of bytes, sub-block lengths
// included, without making them.
struct CodeCounter : CodeWidth {
  uint64_t bits = 0;

  CodeCounter(int initBits, uint32_t firstFree) : CodeWidth(initBits, firstFree) {}

  void send(uint32_t) {
    bits += static_cast<uint32_t>(nBits);
    update();
  }
  void flush() {
    const uint64_t bytes = (bits + 7) / 8;
    GifSinkWrite(static_cast<size_t>(bytes + (bytes + 254) / 255), nullptr);
  }
};

}  // namespace lzw
