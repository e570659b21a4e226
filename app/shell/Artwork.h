// The program's own bitmaps for the About box and Contact Info, drawn in code. Black is
// where a bitmap has nothing: its mask leaves those pixels out.
#pragma once
#include <cstdint>

struct JColour;
struct JPixMap;
struct JPixelBuffer;

enum : uint16_t {
  kArtLogo = 512,          // a row of tinted wells
  kArtBand = 513,          // sixteen shades above the same range in four steps
  kArtBackPattern = 514,   // pale diagonal stripes, a 16 x 16 tile
  kArtFrontPattern = 515,  // deep stripes the other way, an 8 x 8 tile
  kArtContact = 516,       // the contact details on a card
  kArtEmblem = 517,        // a pale halo of the six tints
  kArtRule = 519,          // a thin rule running through the tints
};

// A toolkit colour from 0xRRGGBB.
JColour ArtworkColour(uint32_t rgb);
// The size of a bitmap without drawing it; false for ids that name none.
bool ArtworkSize(uint16_t id, int16_t* width, int16_t* height);
// A new 32-bit map holding the bitmap; null for ids that name none or when no map can be made.
JPixMap* LoadArtwork(uint16_t id);
// Loads a bitmap and draws it through a mask made from it into `target` (then the current
// area), its top-left corner at (left, top); nothing for ids that name none.
void DrawArtworkInto(JPixMap* target, uint16_t id, int16_t left, int16_t top);
// Fills `target` (then the current area) with one colour, 0xRRGGBB.
void FillArtworkArea(JPixMap* target, uint32_t rgb);
// The bitmap's pixels in a new buffer; null for a null map.
JPixelBuffer* ArtworkPixelsNew(JPixMap* art);
// Whether a buffer pixel (x from the left, y from the top) has ink.
bool ArtworkInk(const JPixelBuffer* pixels, int x, int y);
