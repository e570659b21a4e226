// Offscreen drawing areas backed by device bitmaps of the platform raster.
// A new map starts white. A map the platform cannot make is never returned:
// creation yields null and the caller must handle it.
#pragma once
#include <cstdint>

namespace platform {
class Bitmap;
}

struct JPixMapFormat {
  int16_t width;
  int16_t height;
  uint16_t kind;   // 1 indexed (colour table), 2 direct colour
  uint16_t depth;  // direct kind: bits per pixel requested
  uint32_t colourCount;    // indexed kind: entries of `colours`
  const uint16_t* colours; // indexed kind: red, green, blue triples, 0 .. 65535
};

constexpr uint16_t kJDrawingAreaPixMap = 2;

struct JPixMap {
  uint16_t drawingAreaKind;  // always kJDrawingAreaPixMap
  uint16_t subKind;          // 0 made by JMaskMapNew, 1 made from a format
  int16_t width;
  int16_t height;
  uint16_t depth;
  uint64_t footprint;  // bytes, for memory accounting
  platform::Bitmap* bitmap;
  uint16_t colourCount;
  uint16_t colourSlots;  // 1 << depth for indexed depths, 0 for direct colour
  JPixMap* mask;         // 1-bit maps: the mask JCopyBits draws through, or null (not owned)
};

JPixMap* JPixMapNew(const JPixMapFormat* format);
JPixMap* JPixMapNewDirect(int16_t width, int16_t height, uint16_t depth);
JPixMap* JMaskMapNew(int16_t width, int16_t height);
void JPixMapFree(JPixMap* map);
// Gives a 1-bit map a 1-bit mask of its size (null: none); other masks are refused and the
// map keeps none. A mask freed while in use is taken off its map.
void JPixMapSetMask(JPixMap* map, JPixMap* mask);

// Bits per pixel of the display that maps are made compatible with (32 unless told).
uint16_t JDisplayDepth();
void JSetDisplayDepth(uint16_t depth);
// The colour (0x00RRGGBB) the display shows for a colour: itself on a display of more
// than 8 bits, else the nearest entry of the display's colour table.
uint32_t JDisplayColour(uint32_t rgb);

// Called before a map is read, written in one call, or freed, so that the
// drawing layer can stop drawing into it (make the main window the target).
typedef void (*JPixMapReleaseProc)(JPixMap* map);
void JPixMapSetReleaseProc(JPixMapReleaseProc proc);
void JPixMapRelease(JPixMap* map);

// Live maps, for memory accounting and leak checks.
uint32_t JPixMapLiveCount();
uint64_t JPixMapLiveFootprint();

// Whole-map combination of two 1-bit maps of the same size:
// kJMaskAnd: dest = source AND dest; kJMaskMergePaint: dest = (NOT source) OR dest.
enum { kJMaskAnd = 2, kJMaskMergePaint = 5 };
void JMaskMapCombine(JPixMap* dest, const JPixMap* source, int mode);
// Sets every pixel of a map to white (1-bit maps: every bit 1).
void JPixMapFillWhite(JPixMap* map);
