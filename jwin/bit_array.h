// One bit a pixel, rows bottom-up, each row (width + 31) >> 5 words of 32 bits.
// Within a row, pixel x is bit 7 - (x & 7) of byte x >> 3.
#pragma once
#include <cstddef>
#include <cstdint>

struct JPixMap;

struct JBitArray {
  int16_t width;
  int16_t height;
  uint16_t wordsPerRow;
  uint8_t* bits;  // 4 * wordsPerRow * height bytes
};

// Null when the size is refused (see JPictureSizeProblem).
JBitArray* JBitArrayNew(int64_t width, int64_t height);
void JBitArrayFree(JBitArray* array);
inline uint8_t* JBitArrayRow(const JBitArray* array, uint32_t row) {
  return array->bits + static_cast<size_t>(row) * array->wordsPerRow * 4;
}

// Transfers with a 1-bit map of the same width; out-of-range requests do nothing.
void JBitArrayGet(JBitArray* array, int32_t firstArrayRow, JPixMap* map, int32_t firstMapRow, int32_t rowCount);
void JBitArrayPut(const JBitArray* array, int32_t firstArrayRow, int32_t rowCount, JPixMap* map, int32_t firstMapRow);
