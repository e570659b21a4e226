#include "app/gif/LzwEncoder.h"

#include <cstring>

#include "app/gif/GifSink.h"
#include "jindep/memory.h"

namespace {

// Open addressing over a prime-sized table, with a secondary probe whose step
// depends on the first slot. The table must hold all 4096 codes with room to spare.
constexpr int kHashSize = 5003;
constexpr int kMaxBits = 12;
constexpr uint32_t kCodeLimit = 1u << kMaxBits;  // the table is full at 4096 codes
constexpr uint32_t kChunk = 4096;                 // pixels pulled from the source at a time

// One 64-bit word a slot, so that a look-up is one load: the low 32 bits hold the
// key, (value << 12) + prefix code, or -1 when empty; the bits above hold the code.
uint64_t* gSlots = nullptr;

inline int32_t KeyOf(uint64_t slot) { return static_cast<int32_t>(static_cast<uint32_t>(slot)); }
inline uint32_t CodeOf(uint64_t slot) { return static_cast<uint32_t>(slot >> 32); }

// The hash shift makes (value << shift) spread over the table: the number of
// doublings that take the table size to 65536, subtracted from 8.
int HashShift() {
  int count = 0;
  for (long running = kHashSize; running < 65536; running *= 2) ++count;
  return 8 - count;
}

// Packs codes into bytes and bytes into sub-blocks. Kept on the stack during one
// compression so the compiler can hold the hot fields in registers. Codes gather
// in a 64-bit accumulator and leave it four bytes at a time; the bytes are the
// same as when each code is flushed byte by byte.
struct LzwPacker {
  int initBits;
  int nBits;
  uint32_t maxCode;
  uint32_t clearCode;
  uint32_t endCode;
  uint32_t freeEntry;
  bool clearPending;
  uint64_t accumulator;
  int pendingBits;
  int fill;  // next free position in block; byte 0 is the length
  uint8_t block[256];
};

void WriteBlock(LzwPacker& p) {
  if (p.fill > 1) {
    p.block[0] = static_cast<uint8_t>(p.fill - 1);
    GifSinkWrite(static_cast<size_t>(p.fill), p.block);
    p.fill = 1;
  }
}

inline void PutByte(LzwPacker& p, uint8_t byte) {
  p.block[p.fill++] = byte;
  if (p.fill == 256) WriteBlock(p);
}

inline void PutFourBytes(LzwPacker& p, uint32_t bytes) {
  if (p.fill <= 252) {
    p.block[p.fill] = static_cast<uint8_t>(bytes);
    p.block[p.fill + 1] = static_cast<uint8_t>(bytes >> 8);
    p.block[p.fill + 2] = static_cast<uint8_t>(bytes >> 16);
    p.block[p.fill + 3] = static_cast<uint8_t>(bytes >> 24);
    p.fill += 4;
    if (p.fill == 256) WriteBlock(p);
  } else {
    for (int b = 0; b < 4; ++b) PutByte(p, static_cast<uint8_t>(bytes >> (8 * b)));
  }
}

// The width grows one code after the table passes the current width, which is
// when a decoder, one entry behind the encoder, widens too.
inline void Send(LzwPacker& p, uint32_t code) {
  p.accumulator |= static_cast<uint64_t>(code) << p.pendingBits;
  p.pendingBits += p.nBits;
  if (p.pendingBits >= 32) {
    PutFourBytes(p, static_cast<uint32_t>(p.accumulator));
    p.accumulator >>= 32;
    p.pendingBits -= 32;
  }
  if (p.freeEntry > p.maxCode || p.clearPending) {
    if (p.clearPending) {
      p.nBits = p.initBits;
      p.maxCode = (1u << p.nBits) - 1;
      p.clearPending = false;
    } else {
      ++p.nBits;
      p.maxCode = p.nBits == kMaxBits ? kCodeLimit : (1u << p.nBits) - 1;
    }
  }
}

// Bits of the last byte that no code reaches stay zero.
void Flush(LzwPacker& p) {
  while (p.pendingBits > 0) {
    PutByte(p, static_cast<uint8_t>(p.accumulator));
    p.accumulator >>= 8;
    p.pendingBits -= 8;
  }
  p.pendingBits = 0;
  WriteBlock(p);
}

void ClearKeys() { memset(gSlots, 0xFF, sizeof(uint64_t) * kHashSize); }

}  // namespace

void LzwInit() {
  if (!gSlots) gSlots = JAllocArray<uint64_t>(kHashSize);
}

void LzwCompress(int initBits, uint32_t pixelCount, GifPixelProc source, void* data) {
  LzwInit();
  LzwPacker p;
  p.initBits = initBits;
  p.nBits = initBits;
  p.maxCode = (1u << initBits) - 1;
  p.clearCode = 1u << (initBits - 1);
  p.endCode = p.clearCode + 1;
  p.freeEntry = p.clearCode + 2;
  p.clearPending = false;
  p.accumulator = 0;
  p.pendingBits = 0;
  p.fill = 1;

  if (pixelCount == 0) {
    Send(p, p.endCode);
    Flush(p);
    return;
  }

  uint8_t pixels[kChunk];
  uint32_t have = source(data, pixels, pixelCount < kChunk ? pixelCount : kChunk);
  if (have == 0) {
    // A source that runs dry early ends the image as it stands; the stream stays decodable.
    Send(p, p.endCode);
    Flush(p);
    return;
  }
  uint32_t remaining = pixelCount - 1;
  uint32_t ent = pixels[0];
  uint32_t at = 1;
  const int shift = HashShift();

  ClearKeys();
  Send(p, p.clearCode);

  uint64_t* const slots = gSlots;
  while (remaining > 0) {
    if (at == have) {
      have = source(data, pixels, remaining < kChunk ? remaining : kChunk);
      if (have == 0) break;
      at = 0;
    }
    uint32_t end = have - at < remaining ? have : at + remaining;
    remaining -= end - at;
    for (; at < end; ++at) {
      const uint32_t c = pixels[at];
      const int32_t key = static_cast<int32_t>((c << kMaxBits) + ent);
      int i = static_cast<int>((c << shift) ^ ent);
      uint64_t slot = slots[i];
      if (KeyOf(slot) == key) {
        ent = CodeOf(slot);
        continue;
      }
      if (KeyOf(slot) >= 0) {
        // Secondary probe. A zero key (value 0 after prefix 0) ends a probe as if empty.
        const int displacement = i == 0 ? 1 : kHashSize - i;
        bool found = false;
        do {
          i -= displacement;
          if (i < 0) i += kHashSize;
          slot = slots[i];
          if (KeyOf(slot) == key) {
            found = true;
            break;
          }
        } while (KeyOf(slot) > 0);
        if (found) {
          ent = CodeOf(slot);
          continue;
        }
      }
      Send(p, ent);
      if (p.freeEntry < kCodeLimit) {
        slots[i] = static_cast<uint64_t>(p.freeEntry++) << 32 | static_cast<uint32_t>(key);
      } else {
        // Table full: start over. The clear code goes out at the width in force.
        ClearKeys();
        p.freeEntry = p.clearCode + 2;
        p.clearPending = true;
        Send(p, p.clearCode);
      }
      ent = c;
    }
  }
  Send(p, ent);
  Send(p, p.endCode);
  Flush(p);
}
