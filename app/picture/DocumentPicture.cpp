#include "app/picture/DocumentPicture.h"

#include "app/colour/ColourMaps.h"
#include "app/document/Document.h"
#include "app/document/DocumentList.h"

void UpdateDocumentPicture(Document* d) {
  if (!d || d->closing || !d->colourTable) return;
  ApplyColourCount(d);
  RedrawDocument(d);
}
