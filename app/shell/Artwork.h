// The program's own bitmaps for the About box and Contact Info, drawn in code. Black is
// where a bitmap has nothing: its mask leaves those pixels out.
#pragma once
#include <cstdint>

struct JPixMap;
struct JPixelBuffer;

enum : uint16_t {
  kArtLogo = 512,          // a row of tinted wells
  kArtBand = 513,          // sixteen shades above the same range in four steps
  kArtBackPattern = 514,   // pale diagonal stripes, a 16 x 16 tile
  kArtFrontPattern = 515,  // deep stripes the other way, an 8 x 8 tile
  kArtContact = 516,       // the contact details on a card
  kArtEmblem = 517,        // rings of the six tints
  kArtRule = 519,          // a thin rule running through the tints
};

// The size of a bitmap without drawing it; false for ids that name none.
bool ArtworkSize(uint16_t id, int16_t* width, int16_t* height);
// A new 32-bit map holding the bitmap; null for ids that name none or when no map can be made.
JPixMap* LoadArtwork(uint16_t id);
// A map of the bitmap's size, black where it has ink and white elsewhere; null when none
// can be made.
JPixMap* ArtworkMaskNew(JPixMap* art);
// Draws `art` through `mask` into the current area with its top-left corner at (left, top):
// the area keeps its pixels where the bitmap has none.
void DrawThroughMask(JPixMap* art, JPixMap* mask, int16_t left, int16_t top);
// The bitmap's pixels in a new buffer; null for a null map.
JPixelBuffer* ArtworkPixelsNew(JPixMap* art);
// Whether a buffer pixel (x from the left, y from the top) has ink.
bool ArtworkInk(const JPixelBuffer* pixels, int x, int y);
