// The table of a picture's distinct colours. A colour's index here is its
// identity everywhere in the engine, the GIF writer and the transparency list:
// records are appended in order of first appearance and never moved or deleted.
#pragma once
#include <cstdint>

// Colour key 0x00RRGGBB.
inline uint32_t ColourKey(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

// Manhattan distance |dR| + |dG| + |dB| between two colour keys (0 .. 765).
inline uint32_t ColourDistance(uint32_t a, uint32_t b) {
  int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
  int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
  int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
  return static_cast<uint32_t>((dr < 0 ? -dr : dr) + (dg < 0 ? -dg : dg) + (db < 0 ? -db : db));
}

// 16 bytes: a picture may have millions of colours, and the records of all of them are
// held through the merging. What can be read off elsewhere is not kept here: a colour's
// position in the merge order is where the order holds its index, its merging weight
// lives in the graph, and its mapped colour is its representative's. The transparent
// marks, a byte each, are an array of the table's own.
struct ColourRecord {
  uint32_t colour;          // colour key
  uint32_t count;           // pixels of this colour
  uint32_t representative;  // index of the colour standing for it in the current mapping
  uint32_t mergedInto;      // index of the colour this one was merged into
};
static_assert(sizeof(ColourRecord) == 16, "four records a cache line");

struct ColourTable {
  uint32_t capacity;
  uint32_t count;
  ColourRecord* records;  // capacity slots, 0 .. count - 1 in use
  uint8_t* transparent;   // one a colour: 1 when marked transparent
  // One counter per colour; meaning set by the stage that filled it last. Building the
  // table leaves it unwritten, so that its pages are first touched after the engine's peak
  // of memory; the pipeline clears it once the merge order is known.
  uint32_t* tally;
};

// The first table of a picture has room for this many records, then doubles.
constexpr uint32_t kColourTableInitialCapacity = 511;

// Key of the colour that colour i shows as in the current mapping.
inline uint32_t MappedColour(const ColourTable* table, uint32_t i) {
  return table->records[table->records[i].representative].colour;
}

ColourTable* ColourTableCreate(uint32_t capacity);
// Appends a record (count 1, not transparent), growing the table when full.
uint32_t ColourTableAppend(ColourTable* table, uint32_t colour);
// Grows the table to room for exactly `colours` records (when it has less): a histogram
// knows its count, and room beyond it would still cost memory where huge pages are used.
void ColourTableReserve(ColourTable* table, uint32_t colours);
void ColourTableFree(ColourTable* table);
