// The GIF89a stream writer. A picture reduced to n colours is written as one or
// more full-size images ("passes") on one logical screen: the first shows the
// colours that come first in the merge order, every later one adds the next
// colours and leaves the pixels drawn before transparent. Everything goes through
// the byte sink, so the same calls save a file or measure its size.
#pragma once
#include <cstdint>

struct Document;

// Writes pass k (from 1) of the stream for n colours, with `tally` holding per
// colour the number of colours it stands for at n (0: no entry of its own).
// Pass 1 begins with the header, the last pass ends with the trailer; with n = 0
// pass 1 is the whole stream. Returns true while a further pass follows.
// Between passes of one stream other streams may run; a pass depends only on
// its arguments.
bool GifWritePass(const Document* document, const uint32_t* tally, uint32_t n, uint32_t k);

// Number of passes of the stream for n colours (0 for n = 0), capped as the
// writer caps n when the global table is used.
uint32_t GifStreamPasses(const Document* document, uint32_t n);

// Gives back the writer's per-colour scratch table (kept between streams).
void GifWriterRelease();
