// The document's picture after its settings changed: the colours mapped again for the
// number of colours kept, and its windows asked to show it.
#pragma once

struct Document;

// Does nothing for a document that is closing or has no colours yet.
void UpdateDocumentPicture(Document* document);
