// Later passes written from the pixels they draw. Without the global table and without
// transparency, pass k >= 2 of a stream for n colours shows the colours at merge positions
// S(k - 1) .. min(S(k), n) - 1: a pixel is drawn when its colour, or the nearest colour it
// was merged into (through `mergedInto`) that comes before that end, is one of them; every
// other pixel is the transparent index 0. Those pixels are found by walking the merge tree
// down from the pass's colours, and the image goes to the encoder as runs, so a pass costs
// about the pixels it draws rather than the whole picture. The bytes are those of
// GifWritePass for the same pass.
#pragma once
#include <cstdint>

struct Document;
struct LaterPassPixels;

// True when the document's later passes can be written this way.
bool LaterPassesApply(const Document* document);

// GifWritePass(document, tally, n, k) for k >= 2 and a document LaterPassesApply to
// (whatever tally for n the caller would pass). A pass past the last writes nothing.
// The first call makes the merge tree and every colour's pixels in writing order and
// keeps them with the document; its colour table and merge order must stay as they are.
bool GifWriteLaterPass(Document* document, uint32_t n, uint32_t k);

// Makes what GifWriteLaterPass keeps when it is missing or was made for other settings, and
// answers whether it had to: for a large picture that takes as long as a pass, so callers
// that measure in idle time leave the pass itself to their next run.
bool PrepareLaterPasses(Document* document);

// Gives back what GifWriteLaterPass kept; the next call makes it again.
void ReleaseLaterPasses(Document* document);
