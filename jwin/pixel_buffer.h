// True-colour pixels in memory for the colour engine: three bytes a pixel in the
// order blue, green, red; rows stored bottom-up (the first row in memory is the
// bottom of the picture), each padded to a multiple of 4 bytes.
//
// Pictures are limited to 32767 pixels each way, the range of the toolkit's
// signed 16-bit coordinates; then every pixel count fits 32 bits. Row sizes are
// 32-bit and whole-buffer sizes 64-bit, so no size computation can wrap.
#pragma once
#include <cstddef>
#include <cstdint>

struct JPixMap;

constexpr int32_t kJMaxPictureSide = 32767;

struct JPixelBuffer {
  uint16_t width;
  uint16_t height;
  uint32_t rowBytes;  // (3 * width + 3) & ~3
  uint8_t* pixels;    // rowBytes * height bytes
};

// Null when the size is acceptable; otherwise a one-line reason for the caller to show.
const char* JPictureSizeProblem(int64_t width, int64_t height);

inline uint32_t JPixelRowBytes(uint32_t width) { return (3 * width + 3) & ~3u; }

// Null (nothing allocated) when the size is refused by JPictureSizeProblem.
JPixelBuffer* JPixelBufferNew(int64_t width, int64_t height);
void JPixelBufferFree(JPixelBuffer* buffer);
inline uint8_t* JPixelBufferRow(const JPixelBuffer* buffer, uint32_t row) {
  return buffer->pixels + static_cast<size_t>(row) * buffer->rowBytes;
}

// Whole-picture transfers between a map and a buffer of the same width. Transfers
// whose widths differ or whose rows fall outside either side do nothing.
void JPixelBufferGet(JPixelBuffer* buffer, int32_t firstBufferRow, JPixMap* map, int32_t firstMapRow, int32_t rowCount);
void JPixelBufferPut(const JPixelBuffer* buffer, int32_t firstBufferRow, int32_t rowCount, JPixMap* map,
                     int32_t firstMapRow);

// Set when the platform delivers pixels red first; reads then swap bytes so that
// buffers always hold blue, green, red.
bool JPixelSwapFlag();
// Determines the swap flag once at start-up from a 2 x 1 map painted red, blue.
void JPixelOrderProbe();
