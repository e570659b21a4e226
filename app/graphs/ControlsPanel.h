// The controls window of a document: what the picture holds, and every setting that
// shapes its GIF (the number of colours and of passes, kept consistent with each other,
// the table sizes of the first and later passes, the background colour, transparency,
// interlacing and the global colour table). Every change is checked, stored in the
// document and followed by UpdateControls.
#pragma once
#include <cstdint>

struct Document;

// What UpdateControls redoes: bits 0-1 the mode, 2 when the number of colours or the
// colours in use changed (the colours are mapped again and the preview redrawn), 0 when the
// preview stays; kKeepSizeGraph keeps the file-size graph's samples; kKeepMeasureGraphs
// keeps the quality and maximum-error graphs.
enum : uint16_t {
  kControlsPreviewKept = 0,
  kControlsColoursChanged = 2,
  kKeepSizeGraph = 4,
  kKeepMeasureGraphs = 8,
};

// Makes the window titled "<name> (Controls)" beside the preview, shows the document's
// settings and runs the first update (mode 2).
void OpenControls(Document* document);
// Disposes the window and its record (the document is closing).
void CloseControls(Document* document);
// Rewrites the labels and fields from the document, lays the window out again, and starts
// what the flags call for: the mapping and the preview, the graphs, the size estimate.
void UpdateControls(Document* document, uint16_t flags);
// Transparency on or off: the check box, the colours within those left, the first-pass
// table sizes offered, then UpdateControls (mode 2).
void SetTransparency(Document* document, bool on);
// The size label, from the size estimate's text ("" before anything is measured).
void ControlsSetSizeText(Document* document, const char* sizeText);
// Installs the panel's listeners (the size estimate's progress). Once at start-up.
void ControlsInit();
