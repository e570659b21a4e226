#include "app/gif/LzwEncoder.h"

#include <cstring>

#include "app/gif/LzwCodes.h"
#include "jindep/memory.h"

namespace lzw {

namespace {
uint64_t* gSlots = nullptr;
}  // namespace

uint64_t* Slots() {
  LzwInit();
  return gSlots;
}

void ClearSlots() { ClearSlots(gSlots); }

void ClearSlots(uint64_t* slots) { memset(slots, 0xFF, sizeof(uint64_t) * kHashSize); }

}  // namespace lzw

uint32_t LzwTableEntries() { return lzw::kHashSize; }

void LzwInit() {
  if (!lzw::gSlots) lzw::gSlots = JAllocArray<uint64_t>(lzw::kHashSize);
}

using namespace lzw;

namespace {
constexpr uint32_t kChunk = 4096;  // pixels pulled from the source at a time
}  // namespace

void LzwCompress(int initBits, uint32_t pixelCount, GifPixelProc source, void* data) {
  LzwCompressWith(Slots(), initBits, pixelCount, source, data);
}

void LzwCompressWith(uint64_t* slots, int initBits, uint32_t pixelCount, GifPixelProc source, void* data) {
  const uint32_t clearCode = 1u << (initBits - 1);
  const uint32_t endCode = clearCode + 1;
  CodePacker out(initBits, clearCode + 2);

  uint8_t pixels[kChunk];
  uint32_t have = pixelCount == 0 ? 0 : source(data, pixels, pixelCount < kChunk ? pixelCount : kChunk);
  if (have == 0) {
    // No pixels (or a source that ran dry at once): only the end code, and no clear.
    out.send(endCode);
    out.flush();
    return;
  }
  uint32_t remaining = pixelCount - 1;
  uint32_t ent = pixels[0];
  uint32_t at = 1;

  ClearSlots(slots);
  out.send(clearCode);

  while (remaining > 0) {
    if (at == have) {
      have = source(data, pixels, remaining < kChunk ? remaining : kChunk);
      if (have == 0) break;  // a source that runs dry early ends the image as it stands
      at = 0;
    }
    const uint32_t end = have - at < remaining ? have : at + remaining;
    remaining -= end - at;
    for (; at < end; ++at) {
      const uint32_t c = pixels[at];
      const int32_t key = KeyFor(c, ent);
      int i = SlotFor(c, ent);
      if (FindCode(slots, key, &i, &ent)) continue;
      out.send(ent);
      if (out.freeEntry < kCodeLimit) {
        slots[i] = static_cast<uint64_t>(out.freeEntry++) << 32 | static_cast<uint32_t>(key);
      } else {
        // Table full: start over. The clear code goes out at the width in force.
        ClearSlots(slots);
        out.freeEntry = clearCode + 2;
        out.clearPending = true;
        out.send(clearCode);
      }
      ent = c;
    }
  }
  out.send(ent);
  out.send(endCode);
  out.flush();
}
