// The colour pipeline, run once for every new document: histogram, index image,
// colour graph and merge order under one progress report of four stages, then
// the transparency overlay and mask objects. It needs no window: the batch mode
// and the benchmarks call it directly.
#pragma once

struct Document;

// What becomes of the working buffer once the histogram has counted it: a window keeps
// it to render previews into; writing a file needs it no longer, and making the index
// image after the ranking, from the pixels' packed indices, lowers the peak of memory.
enum PipelinePixels { kPipelineKeepsPixels, kPipelineFreesPixels };

// Fills colourTable, indexImage, mergeOrder, transparencyOverlay, maskPicture and
// maskBuffer from the document's picture map (or, without one, its working buffer
// as it stands). Returns false, with nothing allocated, when the picture's size is
// outside what the engine holds; *problem (if given) then gets a one-line reason.
// With kPipelineFreesPixels the working buffer is freed once counted (and set to null),
// the index image is made after the merge order, and previews are no longer rendered.
bool RunColourPipeline(Document* document, const char** problem = nullptr,
                       PipelinePixels pixels = kPipelineKeepsPixels);

// Frees everything the pipeline made (and resets the transparency list).
void FreeColourResults(Document* document);

// Called when the progress window appears, with the document; the shell installs
// the source-window procedure here.
typedef void (*PipelineShowProc)(struct JWindow* window, void* document);
void SetPipelineShowProc(PipelineShowProc proc);
