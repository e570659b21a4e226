#include "app/gif/GifColourTable.h"

#include <cstring>

#include "app/colour/ColourTable.h"
#include "app/colour/MergeOrder.h"
#include "app/colour/Passes.h"
#include "app/document/Document.h"

uint32_t GifTableBits(uint32_t m) {
  uint32_t bits = 1;
  while (bits < 8 && (1u << bits) < m) ++bits;
  return bits;
}

uint32_t GifGlobalTableBits(const Document* document, uint32_t n) {
  if (!document->useGlobalTable || n == 0) return 0;
  if (n > kGifMaxTableEntries) n = kGifMaxTableEntries;
  // A single pass with transparency keeps an entry of its own for the transparent index.
  if (document->transparencyOn && PassesForColours(document, n) == 1) return GifTableBits(n + 1);
  return GifTableBits(n);
}

namespace {

// 16-bit toolkit channel to 8 bits, rounding as the toolkit does.
uint8_t Channel8(uint16_t c) { return static_cast<uint8_t>((c - (c >> 8)) >> 8); }

void PutEntry(uint8_t* rgb, uint32_t entry, uint32_t colour) {
  rgb[entry * 3] = static_cast<uint8_t>(colour >> 16);
  rgb[entry * 3 + 1] = static_cast<uint8_t>(colour >> 8);
  rgb[entry * 3 + 2] = static_cast<uint8_t>(colour);
}

void PutBackground(uint8_t* rgb, uint32_t entry, const DocumentColour& bg) {
  rgb[entry * 3] = Channel8(bg.red);
  rgb[entry * 3 + 1] = Channel8(bg.green);
  rgb[entry * 3 + 2] = Channel8(bg.blue);
}

}  // namespace

void GifLaterPassTable(const Document* document, uint32_t before, uint32_t after, uint8_t* rgb) {
  const ColourRecord* records = document->colourTable->records;
  const uint32_t* order = document->mergeOrder->order;
  const uint32_t count = document->mergeOrder->count;
  memset(rgb, 0, kGifMaxTableEntries * 3);
  PutBackground(rgb, 0, document->backgroundColour);
  for (uint32_t i = before, e = 1; i < after && i < count && e < kGifMaxTableEntries; ++i, ++e)
    PutEntry(rgb, e, records[order[i]].colour);
}

void GifBuildColourTable(const Document* document, const uint32_t* tally, const GifPassTable* pass, uint8_t* rgb,
                         uint8_t* paletteOf) {
  const ColourTable* table = document->colourTable;
  const ColourRecord* records = table->records;
  const uint32_t* order = document->mergeOrder->order;
  const uint32_t count = document->mergeOrder->count;
  const uint8_t t = static_cast<uint8_t>(pass->transparentIndex);
  uint32_t before = pass->before, after = pass->after;
  uint32_t e = 0;

  memset(rgb, 0, kGifMaxTableEntries * 3);
  if (pass->transparent && !pass->global) {
    PutBackground(rgb, t, document->backgroundColour);
    if (t == 0) e = 1;
  }

  uint32_t i = 0;
  // Colours shown by earlier passes let the earlier image show through.
  for (; i < before && i < count; ++i) {
    const uint32_t c = order[i];
    paletteOf[c] = t;
    if (tally[c] == 0) {
      ++before;
      ++after;
    } else if (pass->global) {
      ++e;
    }
  }
  // Colours new in this pass take the next entries.
  for (; i < after && i < count; ++i) {
    const uint32_t c = order[i];
    if (tally[c] > 0 && e < kGifMaxTableEntries) {
      paletteOf[c] = static_cast<uint8_t>(e);
      PutEntry(rgb, e, records[c].colour);
      ++e;
    } else {
      // The colour merged into itself has nothing earlier to stand in for it.
      const uint32_t into = records[c].mergedInto;
      paletteOf[c] = into == c ? t : paletteOf[into];
      ++after;
    }
  }
  // Colours not shown yet stand in for the earlier colour they were merged into.
  // The records are visited in merge order, which is scattered in memory: fetch ahead.
  constexpr uint32_t kAhead = 16;
  for (; i < count; ++i) {
    if (i + kAhead < count) __builtin_prefetch(&records[order[i + kAhead]].mergedInto);
    const uint32_t c = order[i];
    paletteOf[c] = paletteOf[records[c].mergedInto];
  }
  // With transparency off, marked colours are drawn like any other colour.
  if (document->transparencyOn && pass->transparent) {
    for (uint32_t j = 0; j < table->count; ++j)
      if (table->transparent[j]) paletteOf[j] = t;
  }
}
