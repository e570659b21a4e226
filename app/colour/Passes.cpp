#include "app/colour/Passes.h"

#include "app/shell/Document.h"

uint16_t FirstPassColours(const Document* document) {
  uint16_t colours = static_cast<uint16_t>(1u << document->firstPassBits);
  return document->transparencyOn ? colours - 1 : colours;
}

uint16_t LaterPassColours(const Document* document) {
  return static_cast<uint16_t>((1u << document->laterPassBits) - 1);
}

uint32_t ColoursForPasses(const Document* document, uint32_t passes) {
  if (passes == 0) return 0;
  uint64_t colours = FirstPassColours(document) + static_cast<uint64_t>(passes - 1) * LaterPassColours(document);
  return colours > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(colours);
}

uint32_t PassesForColours(const Document* document, uint32_t colours) {
  if (colours == 0) return 0;
  const uint64_t first = FirstPassColours(document);
  if (colours <= first) return 1;
  const uint64_t later = LaterPassColours(document);
  if (later == 0) return UINT32_MAX;
  return static_cast<uint32_t>((colours - first + later - 1) / later + 1);
}

uint32_t DocumentPasses(const Document* document) { return PassesForColours(document, document->colourCount); }

void AvailableColours(const Document* document, uint32_t* available, uint32_t* transparentCount) {
  uint32_t t = document->transparencyOn ? document->transparentList.count : 0;
  uint32_t n = document->colourTable ? document->colourTable->count : 0;
  *transparentCount = t;
  *available = n > t ? n - t : 0;
}

void ClampColourCount(Document* document) {
  uint32_t c = 0;
  uint32_t t = 0;
  AvailableColours(document, &c, &t);
  if (document->colourCount > c) document->colourCount = c;
}

uint16_t FirstPassBitsFor(uint32_t colours) {
  if (colours >= 256) return 8;
  uint16_t bits = 1;
  while ((1u << bits) < colours) ++bits;
  return bits;
}
