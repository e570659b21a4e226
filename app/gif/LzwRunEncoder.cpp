// Compression of pixels given as runs of one value. A long run costs the codes it
// sends, not its length: while the current string is c copies of the run's value and
// the table holds c + 1 copies, the pixel-by-pixel encoder only moves to that longer
// string, so those pixels are taken at once. The codes of 1, 2, 3, ... copies since
// the last clear are kept in `chain`, and for any string known to be followed by the
// run's value in the table, that longer string's code is kept in `next`, so the strings
// that grow at the start of a run are followed without hashing. Every other step is the
// pixel-by-pixel one, so the codes, the table and the bytes are exactly those of
// LzwCompress.
#include <cstring>

#include "app/gif/LzwCodes.h"
#include "app/gif/LzwEncoder.h"

using namespace lzw;

namespace {

constexpr uint32_t kRunChunk = 1024;  // runs pulled from the source at a time
constexpr uint32_t kLongRun = 8;      // shorter runs go pixel by pixel and keep the chain
constexpr uint32_t kNoValue = 256;
constexpr uint16_t kUnknown = 0xFFFF;

template <typename Packer>
struct RunCoder {
  Packer out;
  uint64_t* slots;
  uint32_t clearCode;
  uint32_t ent = 0;
  uint32_t runValue = kNoValue;  // the value whose copies `chain` holds
  uint32_t chainLength = 0;      // chain[1 .. chainLength] are in the table
  uint32_t entCopies = 0;        // ent is this many copies of runValue; 0 when it is not
  uint16_t chain[kCodeLimit + 1];
  uint16_t next[kCodeLimit];     // per code: that string and one more runValue, or kUnknown

  RunCoder(int initBits, uint64_t* table)
      : out(initBits, (1u << (initBits - 1)) + 2), slots(table), clearCode(1u << (initBits - 1)) {}

  void start(uint32_t value) {
    ent = value;
    entCopies = value == runValue ? 1 : 0;
  }

  void forget() { memset(next, 0xFF, sizeof next); }

  // The chain is followed for `value` from here on, from its single copy.
  void follow(uint32_t value) {
    if (value == runValue) return;
    runValue = value;
    chain[1] = static_cast<uint16_t>(value);
    chainLength = 1;
    entCopies = ent == value ? 1 : 0;
    forget();
  }

  // One pixel, as LzwCompress takes it.
  void step(uint32_t c) {
    const bool copy = entCopies != 0 && c == runValue;
    uint32_t code = c == runValue ? next[ent] : kUnknown;
    if (code == kUnknown) {
      const int32_t key = KeyFor(c, ent);
      int i = SlotFor(c, ent);
      if (!FindCode(slots, key, &i, &code)) {
        add(c, key, i, copy);
        return;
      }
      if (c == runValue) next[ent] = static_cast<uint16_t>(code);
    }
    ent = code;
    if (!copy) {
      entCopies = 0;
      return;
    }
    if (entCopies == chainLength) chain[++chainLength] = static_cast<uint16_t>(code);
    ++entCopies;
  }

  // ent + c is not in the table: ent goes out, and ent + c takes slot i (or the full table starts over).
  void add(uint32_t c, int32_t key, int i, bool copy) {
    out.send(ent);
    if (out.freeEntry < kCodeLimit) {
      // Storing over the two-copies string of value 0 (the zero key) takes it out of
      // the table, and with it every longer string of copies built on it.
      if (KeyOf(slots[i]) == 0 && runValue == 0) {
        chainLength = 1;
        next[0] = kUnknown;
      }
      if (copy && entCopies == chainLength) chain[++chainLength] = static_cast<uint16_t>(out.freeEntry);
      if (c == runValue) next[ent] = static_cast<uint16_t>(out.freeEntry);
      slots[i] = static_cast<uint64_t>(out.freeEntry++) << 32 | static_cast<uint32_t>(key);
    } else {
      ClearSlots();
      forget();
      out.freeEntry = clearCode + 2;
      out.clearPending = true;
      out.send(clearCode);
      chainLength = 1;
    }
    ent = c;
    entCopies = c == runValue ? 1 : 0;
  }

  void run(uint32_t value, uint32_t length) {
    if (length < kLongRun) {
      while (length-- > 0) step(value);
      return;
    }
    follow(value);
    while (length > 0) {
      if (entCopies != 0 && entCopies < chainLength) {
        const uint32_t known = chainLength - entCopies;
        const uint32_t take = known < length ? known : length;
        entCopies += take;
        length -= take;
        ent = chain[entCopies];
      } else {
        step(value);
        --length;
      }
    }
  }
};

template <typename Packer>
void CompressRuns(int initBits, uint32_t pixelCount, GifRunProc source, void* data) {
  RunCoder<Packer> coder(initBits, Slots());
  const uint32_t endCode = coder.clearCode + 1;
  GifRun runs[kRunChunk];
  uint32_t have = 0, at = 0, remaining = pixelCount;
  // The first pixel starts the first string; runs of no pixels are passed over.
  while (remaining > 0) {
    if (at == have) {
      have = source(data, runs, kRunChunk);
      at = 0;
      if (have == 0) break;
    }
    if (runs[at].length > 0) break;
    ++at;
  }
  if (remaining == 0 || at == have) {
    coder.out.send(endCode);
    coder.out.flush();
    return;
  }
  ClearSlots();
  coder.out.send(coder.clearCode);
  coder.start(runs[at].value);
  --runs[at].length;
  --remaining;
  while (remaining > 0) {
    if (at == have) {
      have = source(data, runs, kRunChunk);
      at = 0;
      if (have == 0) break;  // a source that runs dry early ends the image as it stands
    }
    const uint32_t length = runs[at].length < remaining ? runs[at].length : remaining;
    coder.run(runs[at].value, length);
    remaining -= length;
    ++at;
  }
  coder.out.send(coder.ent);
  coder.out.send(endCode);
  coder.out.flush();
}

}  // namespace

void LzwCompressRuns(int initBits, uint32_t pixelCount, GifRunProc source, void* data) {
  if (GifSinkCounting())
    CompressRuns<CodeCounter>(initBits, pixelCount, source, data);
  else
    CompressRuns<CodePacker>(initBits, pixelCount, source, data);
}
