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

// What a pass writes into besides the sink: the table entry of each colour (one byte for
// every colour of the document's table) and the LZW hash table (LzwTableEntries()).
// GifWritePass uses the module's own; a pass written on another thread brings its own.
struct GifPassScratch {
  uint8_t* paletteOf;
  uint64_t* slots;
};
bool GifWritePassWith(const Document* document, const uint32_t* tally, uint32_t n, uint32_t k,
                      const GifPassScratch* scratch);

// Number of passes of the stream for n colours (0 for n = 0), capped as the
// writer caps n when the global table is used.
uint32_t GifStreamPasses(const Document* document, uint32_t n);

// The parts of a pass around its image data, for writers that produce the data
// themselves (GifWriteLaterPass).
struct GifImageFrame {
  bool transparent;
  uint32_t transparentIndex;
  bool interlaced;
  bool local;          // a local colour table (else the global one)
  uint32_t bits;       // bits of the table the image uses
  const uint8_t* rgb;  // the local table's entries
};
// Writes the graphic control, the image descriptor, the local table and the minimum
// code size, and returns that code size; the data follows, then GifWriteImageTail.
uint32_t GifWriteImageHead(const Document* document, const GifImageFrame* frame);
// The data's terminator, and the trailer after the last pass.
void GifWriteImageTail(bool last);

// Gives back the writer's per-colour scratch table (kept between streams).
void GifWriterRelease();
