// The About box's layout and, on deep displays, its frames: pale stripes moving over the
// whole box, deep stripes moving inside the shapes of the logo and the band.
#pragma once
#include <cstdint>

struct JPixelBuffer;

constexpr uint32_t kAboutBackground = 0xE8E4DC;

// The box's size and the places of its two regions of artwork.
struct AboutRegions {
  int16_t width, height;
  int16_t logoLeft, logoTop;
  int16_t bandLeft, bandTop;
};
AboutRegions AboutLayout();

// The pixels a frame is made of; a missing one leaves its part in the background colour.
struct AboutArt {
  JPixelBuffer* logo;  // the regions' shapes: their inked pixels
  JPixelBuffer* band;
  JPixelBuffer* back;  // the tiles
  JPixelBuffer* front;
};
void LoadAboutArt(AboutArt* art);
void FreeAboutArt(AboutArt* art);

// The tiles' offsets: the pale tile moves a pixel right and down every frame, the deep
// one every second frame.
struct AboutFrame {
  int count;
  int backOffset;
  int frontOffset;
};
// Covers `pixels` with copies of `tile`, moved by `offset` pixels right and down.
void FillWithTile(JPixelBuffer* pixels, const JPixelBuffer* tile, int offset);
// Draws the frame into `pixels` (the box's size) and moves the offsets on.
void ComposeAboutFrame(JPixelBuffer* pixels, const AboutArt& art, AboutFrame* frame);
