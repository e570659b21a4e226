// The pixel source of the GIF writer: walks the picture's index image in the
// order of the image being written (plain or interlaced) and hands out each
// pixel's entry in the pass's colour table.
#pragma once
#include <cstdint>

struct IndexImage;

struct GifPixelCursor {
  const uint32_t* indices;
  const uint8_t* paletteOf;  // colour index -> table entry for the current pass
  uint32_t width;
  uint32_t height;
  uint32_t row;
  uint32_t column;
  uint32_t step;   // row step of the current interlace group; 1 when plain
  uint32_t group;  // interlace group 0 .. 3
  bool interlaced;
};

void GifPixelCursorStart(GifPixelCursor* cursor, const IndexImage* image, const uint8_t* paletteOf,
                         bool interlaced);
// A GifPixelProc: stores the next pixels' table entries, up to `max`.
uint32_t GifNextPixels(void* cursor, uint8_t* out, uint32_t max);
// The picture's rows in writing order (plain or interlaced), `height` of them.
void GifWritingRows(uint32_t height, bool interlaced, uint32_t* rows);
