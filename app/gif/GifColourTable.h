// Colour tables of the GIF stream: how many bits a table needs and which table
// entry each picture colour takes in one pass (or in the shared global table).
#pragma once
#include <cstdint>

struct Document;

constexpr uint32_t kGifMaxTableEntries = 256;

// Bits of a table that holds m entries: floor(log2(m - 1)) + 1, and 1 for m <= 2,
// so a table always has at least two entries. Never more than 8.
uint32_t GifTableBits(uint32_t m);

// Bits of the global table for a stream of n colours, 0 when the stream has none
// (the setting is off, or there are no colours to put in it). Derived from the
// document and n alone, so streams measured or written in turns never share it.
uint32_t GifGlobalTableBits(const Document* document, uint32_t n);

// What one pass puts in its colour table.
struct GifPassTable {
  bool global;            // entries continue over the whole stream
  uint32_t before;        // merge positions already shown by earlier passes
  uint32_t after;         // end of this pass's positions
  bool transparent;       // the pass has a transparent index
  uint32_t transparentIndex;
};

// Sets paletteOf[c], the table entry of every colour index c, for the pass and
// fills `rgb` (256 entries of red, green, blue; entries no colour takes are zero).
// The entries live in this packed array rather than in the colour records: the
// pixels are mapped through it, and one byte a colour stays in cache. Colours with no pixels of
// their own at this count (tally 0) take no entry, and the pass reaches one
// position further for each. Colours marked transparent take the transparent
// index only while the document's transparency is on.
void GifBuildColourTable(const Document* document, const uint32_t* tally, const GifPassTable* pass, uint8_t* rgb,
                         uint8_t* paletteOf);

// The table of a later pass without the global table and without colours left out:
// entry 0, the transparent index, holds the background colour, and the colours at
// merge positions before .. after - 1 follow in that order. This is what
// GifBuildColourTable writes for such a pass, built without visiting every colour.
void GifLaterPassTable(const Document* document, uint32_t before, uint32_t after, uint8_t* rgb);
