// The largest picture the program takes, in pixels. A picture is checked against it as
// soon as its size is known, before anything of that size is allocated.
//
// By default it is the smaller of 2^28 pixels and what fits comfortably (half) in the
// memory available now at the bytes a pixel the whole program needs for one picture:
// its 32-bit map, the 24-bit working buffer, the 32-bit index image, the GIF writer's
// pass indices, the 1-bit masks, and room for the colour tables.
#pragma once
#include <cstdint>

constexpr uint64_t kJPictureMaxPixelsCeiling = uint64_t{1} << 28;
constexpr uint64_t kJPictureBytesPerPixel = 16;
// The default never goes below this (a picture this small is always taken).
constexpr uint64_t kJPictureMinMaxPixels = uint64_t{1} << 20;

// The default for `availableBytes` of free memory.
uint64_t JPictureDefaultMaxPixels(uint64_t availableBytes);
// The limit in force: the one set, or the default for the memory available now.
uint64_t JPictureMaxPixels();
// Whether a picture of `pixels` is over the limit, which is then written to `limit`.
// Small pictures are taken without reading the memory figures.
bool JPictureExceedsLimit(uint64_t pixels, uint64_t* limit);
// Reads a limit given as text: a whole number of pixels from 1 to 32767 x 32767.
bool JPictureParseMaxPixels(const char* text, uint64_t* pixels);
// Sets another limit; 0 goes back to the default.
void JPictureSetMaxPixels(uint64_t pixels);
