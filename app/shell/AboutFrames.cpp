#include "app/shell/AboutFrames.h"

#include <algorithm>

#include "app/shell/Artwork.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

JPixelBuffer* PixelsOf(uint16_t id) {
  JPixMap* map = LoadArtwork(id);
  JPixelBuffer* pixels = ArtworkPixelsNew(map);
  JPixMapFree(map);
  return pixels;
}

// The tile's pixel that lands on (x, y) when the tile has moved by `offset` each way.
const uint8_t* TilePixel(const JPixelBuffer* tile, int x, int y, int offset) {
  const int tx = ((x - offset) % tile->width + tile->width) % tile->width;
  const int ty = ((y - offset) % tile->height + tile->height) % tile->height;
  return JPixelBufferRow(tile, static_cast<uint32_t>(tile->height - 1 - ty)) + 3 * tx;
}

bool Inside(const JPixelBuffer* shape, int left, int top, int x, int y) {
  return shape && x >= left && y >= top && x - left < shape->width && y - top < shape->height &&
         ArtworkInk(shape, x - left, y - top);
}

}  // namespace

AboutRegions AboutLayout() {
  int16_t logoWidth = 0, logoHeight = 0, bandWidth = 0, bandHeight = 0;
  ArtworkSize(kArtLogo, &logoWidth, &logoHeight);
  ArtworkSize(kArtBand, &bandWidth, &bandHeight);
  AboutRegions r;
  r.width = static_cast<int16_t>(std::max(logoWidth, bandWidth) + 40);
  r.height = static_cast<int16_t>(logoHeight + bandHeight + 60);
  r.logoLeft = static_cast<int16_t>((r.width - logoWidth) / 2);
  r.logoTop = 20;
  r.bandLeft = static_cast<int16_t>((r.width - bandWidth) / 2);
  r.bandTop = static_cast<int16_t>(logoHeight + 40);
  return r;
}

void LoadAboutArt(AboutArt* art) {
  art->logo = PixelsOf(kArtLogo);
  art->band = PixelsOf(kArtBand);
  art->back = PixelsOf(kArtBackPattern);
  art->front = PixelsOf(kArtFrontPattern);
}

void FreeAboutArt(AboutArt* art) {
  JPixelBufferFree(art->logo);
  JPixelBufferFree(art->band);
  JPixelBufferFree(art->back);
  JPixelBufferFree(art->front);
  *art = {};
}

void FillWithTile(JPixelBuffer* pixels, const JPixelBuffer* tile, int offset) {
  for (int y = 0; y < pixels->height; ++y) {
    uint8_t* row = JPixelBufferRow(pixels, static_cast<uint32_t>(pixels->height - 1 - y));
    for (int x = 0; x < pixels->width; ++x) std::copy_n(TilePixel(tile, x, y, offset), 3, row + 3 * x);
  }
}

void ComposeAboutFrame(JPixelBuffer* pixels, const AboutArt& art, AboutFrame* frame) {
  const AboutRegions r = AboutLayout();
  const uint8_t background[3] = {kAboutBackground & 0xFF, kAboutBackground >> 8 & 0xFF, kAboutBackground >> 16 & 0xFF};
  for (int y = 0; y < pixels->height; ++y) {
    uint8_t* row = JPixelBufferRow(pixels, static_cast<uint32_t>(pixels->height - 1 - y));
    for (int x = 0; x < pixels->width; ++x) {
      const bool front = Inside(art.logo, r.logoLeft, r.logoTop, x, y) || Inside(art.band, r.bandLeft, r.bandTop, x, y);
      const JPixelBuffer* tile = front ? art.front : art.back;
      const uint8_t* p = tile ? TilePixel(tile, x, y, front ? frame->frontOffset : frame->backOffset) : background;
      std::copy(p, p + 3, row + 3 * x);
    }
  }
  ++frame->count;
  ++frame->backOffset;
  if (frame->count % 2 == 0) ++frame->frontOffset;
}
