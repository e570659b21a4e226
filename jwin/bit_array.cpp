#include "jwin/bit_array.h"

#include <cstring>

#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"

JBitArray* JBitArrayNew(int64_t width, int64_t height) {
  if (JPictureSizeProblem(width, height)) return nullptr;
  JBitArray* array = static_cast<JBitArray*>(JAlloc(sizeof(JBitArray)));
  array->width = static_cast<int16_t>(width);
  array->height = static_cast<int16_t>(height);
  array->wordsPerRow = static_cast<uint16_t>((width + 31) >> 5);
  const size_t bytes = static_cast<size_t>(array->wordsPerRow) * 4 * static_cast<size_t>(height);
  array->bits = static_cast<uint8_t*>(JAlloc(bytes));
  std::memset(array->bits, 0xFF, bytes);
  return array;
}

void JBitArrayFree(JBitArray* array) {
  if (!array) return;
  JFree(array->bits);
  JFree(array);
}

static bool Fits(const JBitArray* array, int32_t firstArrayRow, const JPixMap* map, int32_t firstMapRow,
                 int32_t rowCount) {
  if (!array || !map || map->depth != 1 || array->width != map->width) return false;
  if (firstArrayRow < 0 || firstMapRow < 0 || rowCount < 0) return false;
  return static_cast<int64_t>(firstMapRow) + rowCount <= map->height &&
         static_cast<int64_t>(firstArrayRow) + rowCount <= array->height;
}

// Array rows are bottom-up and map rows top-down; both are padded to whole 32-bit words.
void JBitArrayGet(JBitArray* array, int32_t firstArrayRow, JPixMap* map, int32_t firstMapRow, int32_t rowCount) {
  if (!Fits(array, firstArrayRow, map, firstMapRow, rowCount)) return;
  JPixMapRelease(map);
  const size_t rowBytes = static_cast<size_t>(array->wordsPerRow) * 4;
  for (int32_t i = 0; i < rowCount; ++i) {
    std::memcpy(JBitArrayRow(array, static_cast<uint32_t>(firstArrayRow + i)),
                map->bitmap->row(firstMapRow + rowCount - 1 - i), rowBytes);
  }
}

void JBitArrayPut(const JBitArray* array, int32_t firstArrayRow, int32_t rowCount, JPixMap* map, int32_t firstMapRow) {
  if (!Fits(array, firstArrayRow, map, firstMapRow, rowCount)) return;
  JPixMapRelease(map);
  const size_t rowBytes = static_cast<size_t>(array->wordsPerRow) * 4;
  for (int32_t i = 0; i < rowCount; ++i) {
    std::memcpy(map->bitmap->row(firstMapRow + rowCount - 1 - i),
                JBitArrayRow(array, static_cast<uint32_t>(firstArrayRow + i)), rowBytes);
  }
}
