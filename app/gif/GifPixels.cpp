#include "app/gif/GifPixels.h"

#include "app/colour/IndexImage.h"

namespace {

// Interlaced rows go in four groups: every 8th row from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
constexpr uint32_t kGroupStart[4] = {0, 4, 2, 1};
constexpr uint32_t kGroupStep[4] = {8, 8, 4, 2};

// Moves to the next row in writing order; a group that starts below the picture
// has no rows and is passed over.
void NextRow(GifPixelCursor* c) {
  c->column = 0;
  c->row += c->step;
  while (c->interlaced && c->row >= c->height && c->group < 3) {
    ++c->group;
    c->row = kGroupStart[c->group];
    c->step = kGroupStep[c->group];
  }
}

}  // namespace

void GifPixelCursorStart(GifPixelCursor* cursor, const IndexImage* image, const uint8_t* paletteOf,
                         bool interlaced) {
  cursor->indices = image->indices;
  cursor->paletteOf = paletteOf;
  cursor->width = image->width;
  cursor->height = image->height;
  cursor->row = 0;
  cursor->column = 0;
  cursor->group = 0;
  cursor->interlaced = interlaced;
  cursor->step = interlaced ? kGroupStep[0] : 1;
}

uint32_t GifNextPixels(void* data, uint8_t* out, uint32_t max) {
  auto* c = static_cast<GifPixelCursor*>(data);
  const uint8_t* paletteOf = c->paletteOf;
  uint32_t n = 0;
  while (n < max && c->row < c->height && c->width > 0) {
    const uint32_t* row = c->indices + static_cast<uint64_t>(c->row) * c->width;
    uint32_t take = c->width - c->column;
    if (take > max - n) take = max - n;
    for (uint32_t x = c->column, end = c->column + take; x < end; ++x) out[n++] = paletteOf[row[x]];
    c->column += take;
    if (c->column == c->width) NextRow(c);
  }
  return n;
}

void GifWritingRows(uint32_t height, bool interlaced, uint32_t* rows) {
  GifPixelCursor c = {};
  c.height = height;
  c.interlaced = interlaced;
  c.step = interlaced ? kGroupStep[0] : 1;
  for (uint32_t r = 0; c.row < height; ++r) {
    rows[r] = c.row;
    NextRow(&c);
  }
}
