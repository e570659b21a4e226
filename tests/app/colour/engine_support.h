// Pictures and documents for the colour engine's tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "app/colour/BlockPool.h"
#include "app/colour/Pipeline.h"
#include "app/document/Document.h"
#include "jwin/bit_array.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

inline uint32_t Key(int r, int g, int b) {
  return static_cast<uint32_t>(r & 0xFF) << 16 | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF);
}

// A picture as colour keys, rows top first.
struct TestPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> keys;
  uint32_t at(int x, int y) const { return keys[static_cast<size_t>(y) * width + x]; }
};

// A random picture drawn from a palette of `colours` random keys. Small
// component ranges make many equal distances and so exercise the tie rules.
inline TestPicture RandomPicture(std::mt19937& rng, int width, int height, int colours, int componentRange = 256) {
  std::uniform_int_distribution<int> component(0, componentRange - 1);
  std::vector<uint32_t> palette(static_cast<size_t>(colours));
  for (uint32_t& c : palette) c = Key(component(rng), component(rng), component(rng));
  std::uniform_int_distribution<int> pick(0, colours - 1);
  TestPicture picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  for (uint32_t& k : picture.keys) k = palette[static_cast<size_t>(pick(rng))];
  return picture;
}

// A document holding the picture in its picture map and working buffer, ready
// for the pipeline; release with FreeTestDocument.
inline Document* NewTestDocument(const TestPicture& picture) {
  Document* document = new Document;
  std::memset(document, 0, sizeof(Document));
  document->width = static_cast<int16_t>(picture.width);
  document->height = static_cast<int16_t>(picture.height);
  document->workingBuffer = JPixelBufferNew(picture.width, picture.height);
  document->pictureMap = JPixMapNewDirect(document->width, document->height, 32);
  JPixelBuffer* buffer = document->workingBuffer;
  for (int y = 0; y < picture.height; ++y) {
    uint8_t* row = JPixelBufferRow(buffer, static_cast<uint32_t>(picture.height - 1 - y));
    for (int x = 0; x < picture.width; ++x) {
      uint32_t key = picture.at(x, y);
      row[3 * x] = static_cast<uint8_t>(key);
      row[3 * x + 1] = static_cast<uint8_t>(key >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(key >> 16);
    }
  }
  JPixelBufferPut(buffer, 0, buffer->height, document->pictureMap, 0);
  document->firstPassBits = 8;
  document->laterPassBits = 8;
  return document;
}

inline void FreeTestDocument(Document* document) {
  FreeColourResults(document);
  JPixMapFree(document->pictureMap);
  JPixelBufferFree(document->workingBuffer);
  delete document;
}

// Marks colour i transparent in the document as the user would (the option on).
inline void MarkColour(Document* document, uint32_t i) {
  document->colourTable->transparent[i] = 1;
  TransparentListAppend(&document->transparentList, i);
  document->transparencyOn = 1;
}

// Key of the working buffer's pixel (x, y), y counted from the top.
inline uint32_t BufferKey(const JPixelBuffer* buffer, int x, int y) {
  const uint8_t* p = JPixelBufferRow(buffer, static_cast<uint32_t>(buffer->height - 1 - y)) + 3 * x;
  return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}
