#include "app/colour/Passes.h"

#include "app/colour/ColourTable.h"
#include "app/document/Document.h"

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
