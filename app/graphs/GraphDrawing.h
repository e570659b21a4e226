// Drawing a graph into the current drawing area (its window, or a picture for the batch
// mode): the frame, the titles, the labels, the plotted values and the cursor.
#pragma once
#include <cstdint>

#include "app/graphs/GraphRecord.h"

struct JPixMap;

// The vertical title of the graph's kind, turned to read from bottom to top (owned by the caller).
JPixMap* MakeGraphTitle(GraphKind kind);
// Margins from the label font and the title: measured into the record.
void MeasureGraphMargins(GraphRecord* graph);

// Everything but the plotted values: cleared areas, frame, titles, "Ill Defined" or the
// labels (the cursor's, else the axis ends').
void DrawGraphFrame(GraphRecord* graph, JPixMap* title);
void DrawGraphPoint(const GraphRecord* graph, uint32_t k);
// Clears and redraws the label areas only.
void DrawGraphLabels(GraphRecord* graph);
// Inverts the cursor's two lines: drawing them again takes them off.
void InvertGraphCursor(const GraphRecord* graph);

// Progressive plotting in bit-reversed order, so the first points spread over the axis.
void BeginGraphPlot(GraphRecord* graph);
// Plots up to `count` further steps; answers whether steps remain.
bool ContinueGraphPlot(GraphRecord* graph, uint32_t count);

// The context graphs draw with (black on white, the label font); made current by Begin.
void BeginGraphDrawing();
void EndGraphDrawing();
