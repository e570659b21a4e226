// Documents: one opened picture each, made from a picture file or from the clipboard,
// alive until its preview window is closed. A document is reached through its windows
// (their data word points to it) and through the active-document binding.
#pragma once
#include <cstdint>

#include "app/document/DocumentList.h"

struct Document;
struct JClipPicture;
struct JFileSpec;
struct JPicture;
struct JWindow;

// File > Open...: asks for a bitmap file or metafile in the toolkit's open dialog and
// opens it; cancelling does nothing.
void OpenDocumentCommand();
// Reads the picture file and makes a document of it. A file that cannot be read is
// reported in an alert naming it and why; no document is made then. Takes the file spec.
void OpenDocumentFile(JFileSpec* fileSpec);
// Edit > New Picture from Clipboard.
void NewPictureFromClipboard();

// Makes and shows a document from a picture file (with its file spec, which the document
// takes) or from a clipboard picture. Null, after an alert, when the picture cannot be
// read or its maps cannot be made; everything taken is freed then.
Document* NewDocument(JFileSpec* fileSpec, JPicture* picture, JClipPicture* clipPicture);
// Closes the document's windows and frees everything it owns. Runs once: calls while
// it is closing return at once.
void CloseDocument(Document* document);

// The open-documents request of the shell: the path of one file. Files of a type that is
// never a picture get a note naming them; the others are opened as OpenDocumentFile does.
void OpenDocumentsRequest(void* data, const char* path);
// The print-documents request: nothing is printed; a beep and an alert naming the file
// say so (the toolkit quits after it when the command line asked).
void PrintDocumentsRequest(void* data, const char* path);
// Installs the source window with the colour pipeline, what the shell does for the
// documents' panels (showing the preview again, closing), the graphs' choice of colours,
// the controls, and the open- and print-documents requests.
void DocumentsInit();
// Closes every document that is still open (end of the run).
void CloseAllDocuments();

// The source window's size: the picture's, halved together until it fits the limits,
// never below 1 pixel either way.
void SourceWindowSize(int32_t pictureWidth, int32_t pictureHeight, int32_t limitWidth, int32_t limitHeight,
                      int16_t* width, int16_t* height);
// Shown when the pipeline's progress window appears: the picture, scaled to fit, below it.
void ShowSourceWindow(JWindow* progressWindow, void* document);
