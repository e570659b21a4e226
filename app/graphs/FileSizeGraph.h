// The "File Size vs Number of Colours" graph: for many numbers of colours x, the size of
// the GIF the current settings would write with x colours, measured in idle time with the
// real writer, one pass per run. The numbers are visited in bit-reversed order, so the
// whole curve takes shape early and is refined later.
#pragma once
#include <cstdint>

struct Document;
struct GraphRecord;

// Opens the graph and starts measuring (or brings the open graph to the front).
void StartFileSizeSampling(Document* document);
// Every value unmeasured again, the range empty, the measuring from the start.
void ResetFileSizeSamples(Document* document);
// The measuring state for a graph record that may have no window (the batch mode's
// pictures); ResetSizeSamples then starts it, and each step measures one pass, answering
// whether samples remain (and, in `completed`, whether this pass completed a sample).
void AttachFileSizeSampling(Document* document, GraphRecord* graph);
void ResetSizeSamples(Document* document, GraphRecord* graph);
bool StepFileSizeSampling(Document* document, GraphRecord* graph, bool* completed = nullptr);
// Frees the measuring state of a closing graph; nothing for other graphs.
void StopFileSizeSampling(GraphRecord* graph);
// Measures the next pass of the next sample; queued again while samples remain.
void FileSizeSampleIdle(void* document);

// The size estimate starts again; with alsoRestartGraph the size graph's samples too.
void RestartSizeEstimate(Document* document, bool alsoRestartGraph);

// The sample order: s = 31 - floor(log2(n - 1)) (floor(log2(0)) taken as 0), and the
// number of colours for sample k is the bit-reversal of k shifted right by s, plus 1.
uint32_t SampleShift(uint32_t colours);
uint32_t SampleColours(uint32_t k, uint32_t shift);
