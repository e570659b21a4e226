#include "app/document/DocumentList.h"

#include <cstring>

#include "app/document/Document.h"
#include "jindep/memory.h"

namespace {

Document* active = nullptr;
DocumentListenerProc listener = nullptr;
void* listenerData = nullptr;
DocumentShellProcs shell = {};
// Every open document, so that the end of the run can free what is left.
Document** openDocuments = nullptr;
uint32_t openCount = 0;

}  // namespace

void DocumentListAdd(Document* d) {
  openDocuments = static_cast<Document**>(JRealloc(openDocuments, sizeof(Document*) * (openCount + 1)));
  openDocuments[openCount++] = d;
}

void DocumentListRemove(Document* d) {
  if (active == d) active = nullptr;
  for (uint32_t i = 0; i < openCount; ++i) {
    if (openDocuments[i] != d) continue;
    memmove(openDocuments + i, openDocuments + i + 1, sizeof(Document*) * (openCount - i - 1));
    if (--openCount == 0) {
      JFree(openDocuments);
      openDocuments = nullptr;
    }
    return;
  }
}

uint32_t OpenDocumentCount() { return openCount; }

Document* LastOpenDocument() { return openCount > 0 ? openDocuments[openCount - 1] : nullptr; }

bool DocumentIsOpen(const Document* d) {
  for (uint32_t i = 0; i < openCount; ++i)
    if (openDocuments[i] == d) return !d->closing;
  return false;
}

Document* ActiveDocument() { return active; }

void SetDocumentListener(DocumentListenerProc proc, void* data) {
  listener = proc;
  listenerData = data;
}

void NotifyDocumentListener() {
  if (listener) listener(listenerData, active);
}

void BindActiveDocument(Document* d) {
  if (d && d->closing) d = nullptr;
  if (d == active) return;
  active = d;
  NotifyDocumentListener();
}

void SetDocumentShellProcs(const DocumentShellProcs* procs) { shell = procs ? *procs : DocumentShellProcs{}; }

void RedrawDocument(Document* d) {
  if (shell.redraw && d && !d->closing) shell.redraw(d);
}

void RequestCloseDocument(Document* d) {
  if (shell.close && d && !d->closing) shell.close(d);
}
