// A whole GIF stream, pass after pass, into the byte sink. The passes of a stream
// depend on nothing but the document, so where there are several (more colours than
// one table holds) a helper thread writes passes ahead into buffers of its own while
// the main thread writes the others straight into the sink; the buffers go into the
// sink in pass order, so the bytes are those of writing every pass on one thread.
#pragma once
#include <cstdint>

struct Document;

// Writes every pass of the stream for n colours (as GifWritePass from k = 1 until it
// returns false), with `tally` as GifWritePass takes it, and stops after a pass that
// the sink refused. With `stepPerPass` each pass is one ProgressStep.
void GifWriteStream(const Document* document, const uint32_t* tally, uint32_t n, bool stepPerPass);
