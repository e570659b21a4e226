// The colour pipeline, run once for every new document: histogram, index image,
// colour graph and merge order under one progress report of four stages, then
// the transparency overlay and mask objects. It needs no window: the batch mode
// and the benchmarks call it directly.
#pragma once

struct Document;

// Fills colourTable, indexImage, mergeOrder, transparencyOverlay, maskPicture and
// maskBuffer from the document's picture map (or, without one, its working buffer
// as it stands). Returns false, with nothing allocated, when the picture's size is
// outside what the engine holds; *problem (if given) then gets a one-line reason.
bool RunColourPipeline(Document* document, const char** problem = nullptr);

// Frees everything the pipeline made (and resets the transparency list).
void FreeColourResults(Document* document);

// Called when the progress window appears, with the document; the shell installs
// the source-window procedure here.
typedef void (*PipelineShowProc)(struct JWindow* window, void* document);
void SetPipelineShowProc(PipelineShowProc proc);
