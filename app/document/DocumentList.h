// The open documents: which are open, which one the menus and panels act on, who hears
// of changes, and how the windows above this floor are asked to show a document again.
#pragma once
#include <cstdint>

struct Document;

// Adds an opened document; removes one that is closing (it stays readable meanwhile).
void DocumentListAdd(Document* document);
void DocumentListRemove(Document* document);
uint32_t OpenDocumentCount();
// The document opened last of those still open, or null.
Document* LastOpenDocument();
// True while the document is open and not closing (work that ran events checks its
// document is still there).
bool DocumentIsOpen(const Document* document);

// The document the menus act on: the one whose window is in front, or null.
Document* ActiveDocument();
// Called whenever the active document changes, or a document opens or closes.
typedef void (*DocumentListenerProc)(void* data, Document* active);
void SetDocumentListener(DocumentListenerProc proc, void* data);
// Tells the listener (a document opened or closed).
void NotifyDocumentListener();
// Binds the menus to a document (null: none). The preview calls it on activation.
void BindActiveDocument(Document* document);

// What the window shell does for the parts below it, installed at start-up; without it
// (the batch mode) nothing is shown and nothing closes.
struct DocumentShellProcs {
  // The document's picture changed (new colours, transparency, background): show it again.
  void (*redraw)(Document* document);
  // Close the document and all its windows (one of its panels was closed).
  void (*close)(Document* document);
};
void SetDocumentShellProcs(const DocumentShellProcs* procs);
void RedrawDocument(Document* document);
void RequestCloseDocument(Document* document);
