// The graph windows of a document: opening, closing, the data they show, and the cursor
// that the three graphs of a document share. A graph is a view and a chooser: a click or
// the space bar makes the cursor's number of colours the document's.
#pragma once
#include <cstdint>

#include "app/graphs/GraphRecord.h"

// Opens the graph of that kind for the document, or brings its window to the front (the
// answer is then null: the caller has nothing to fill in).
GraphRecord* OpenGraph(Document* document, GraphKind kind);
// Closes the window and frees the record.
void CloseGraph(GraphRecord* graph);
// Closes every graph of a closing document.
void CloseDocumentGraphs(Document* document);

// Values for k from first to last, every one "no value".
void SetGraphData(GraphRecord* graph, uint32_t first, uint32_t last);
void SetGraphRanges(GraphRecord* graph, uint32_t xMin, uint32_t xMax, uint64_t yMin, uint64_t yMax);
// Stores the value; a value outside the vertical range widens it (the whole graph is drawn
// again), else only the point is plotted.
void SetGraphValue(GraphRecord* graph, uint32_t k, uint64_t value);
// The cursor's pixels for its k after the mapping changed; none when k has no value now.
void PlaceGraphCursor(GraphRecord* graph);
// Draws the whole graph again.
void RedrawGraph(GraphRecord* graph);
// Plots one value in the window at once, the cursor lines taken off around it.
void PlotGraphPointNow(GraphRecord* graph, uint32_t k);

// Linear or log scale for one axis; the graph is drawn again.
void SetGraphScale(GraphRecord* graph, bool horizontal, bool linear);

// Moves the cursor of each open graph of the document to the nearest k with a value there.
void ShowCursorAt(Document* document, uint32_t k);
void HideCursors(Document* document);

// The graphs choose a number of colours through this (the controls panel applies it).
typedef void (*ColourCountChosenProc)(Document* document, uint32_t colours);
void SetColourCountChosenProc(ColourCountChosenProc proc);
// k made a number of colours the document can show: 256 at most with the global table,
// and no more than the colours available.
uint32_t ChoosableColourCount(const Document* document, uint32_t k);
