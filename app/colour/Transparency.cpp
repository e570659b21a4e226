#include "app/colour/Transparency.h"

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "jwin/bit_array.h"
#include "jwin/pixel_map.h"

void BuildTransparencyMask(Document* document, uint32_t c) {
  const IndexImage* image = document->indexImage;
  JBitArray* mask = document->maskBuffer;
  if (!image || !mask || mask->width != image->width || mask->height != image->height) return;
  const uint32_t width = image->width;
  const uint32_t height = image->height;
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t* in = image->indices + static_cast<size_t>(y) * width;
    uint8_t* row = JBitArrayRow(mask, height - 1 - y);
    uint32_t x = 0;
    // Whole groups of 32 pixels: one store each, most significant byte first.
    for (; x + 31 < width; x += 32) {
      uint32_t word = 0;
      for (uint32_t i = 0; i < 32; ++i) word = word << 1 | (in[x + i] == c ? 1u : 0u);
      word = ~word;
      uint8_t* out = row + (x >> 3);
      out[0] = static_cast<uint8_t>(word >> 24);
      out[1] = static_cast<uint8_t>(word >> 16);
      out[2] = static_cast<uint8_t>(word >> 8);
      out[3] = static_cast<uint8_t>(word);
    }
    for (; x < width; ++x) {
      uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
      if (in[x] == c) {
        row[x >> 3] &= static_cast<uint8_t>(~bit);
      } else {
        row[x >> 3] |= bit;
      }
    }
  }
  JBitArrayPut(mask, 0, mask->height, document->maskPicture, 0);
}

// The option is switched on (as the "Transparency" box would be) and the colours clamped.
static void TurnTransparencyOn(Document* document) {
  document->transparencyOn = 1;
  ClampColourCount(document);
}

TransparencyChange MarkTransparent(Document* document, uint32_t x) {
  ColourTable* table = document->colourTable;
  if (!table || x >= table->count || table->transparent[x]) return kTransparencyNoRemap;
  table->transparent[x] = 1;
  uint32_t* entry = &table->tally[table->records[x].representative];
  if (*entry > 0) --*entry;
  TransparencyChange change = *entry == 0 ? kTransparencyRemap : kTransparencyNoRemap;
  TransparentListAppend(&document->transparentList, x);
  BuildTransparencyMask(document, x);
  JMaskMapCombine(document->transparencyOverlay, document->maskPicture, kJMaskAnd);
  if (document->transparencyOn) {
    ClampColourCount(document);
    return change;
  }
  TurnTransparencyOn(document);
  return kTransparencyRemap;
}

TransparencyChange UnmarkTransparent(Document* document, uint32_t x, uint32_t position) {
  ColourTable* table = document->colourTable;
  if (!document->transparencyOn) {
    TurnTransparencyOn(document);
    return kTransparencyRemap;
  }
  if (!table || x >= table->count || !table->transparent[x]) return kTransparencyNoRemap;
  table->transparent[x] = 0;
  uint32_t* entry = &table->tally[table->records[x].representative];
  ++*entry;
  TransparencyChange change = *entry == 1 ? kTransparencyRemap : kTransparencyNoRemap;
  TransparentListRemove(&document->transparentList, position);
  BuildTransparencyMask(document, x);
  JMaskMapCombine(document->transparencyOverlay, document->maskPicture, kJMaskMergePaint);
  ClampColourCount(document);
  if (document->transparentList.count == 0) {
    // The last transparent colour is gone: the option goes off.
    document->transparencyOn = 0;
    ClampColourCount(document);
    return kTransparencyRemap;
  }
  return change;
}

TransparencyChange PictureClick(Document* document, int32_t x, int32_t y) {
  const IndexImage* image = document->indexImage;
  if (!image || x < 0 || y < 0 || x >= image->width || y >= image->height) return kTransparencyNoRemap;
  uint32_t c = IndexAt(image, static_cast<uint32_t>(x), static_cast<uint32_t>(y));
  if (document->colourTable->transparent[c]) {
    return UnmarkTransparent(document, c, TransparentListFind(&document->transparentList, c));
  }
  return MarkTransparent(document, c);
}
