// A whole GIF stream, pass after pass, into the byte sink. Where there are several
// passes (more colours than one table holds), later passes without the global table and
// without transparency are written from the pixels they draw. Otherwise, as the passes
// depend on nothing but the document, a helper thread writes passes ahead into buffers
// of its own while the main thread writes the others straight into the sink; the
// buffers go into the sink in pass order, so the bytes are those of one thread.
#pragma once
#include <cstdint>

struct Document;

// Writes every pass of the stream for n colours (as GifWritePass from k = 1 until it
// returns false), with `tally` as GifWritePass takes it, and stops after a pass that
// the sink refused. With `stepPerPass` each pass is one ProgressStep. The document is
// left as it was found (what later passes need is made and let go again, or kept if it
// was there).
void GifWriteStream(Document* document, const uint32_t* tally, uint32_t n, bool stepPerPass);
