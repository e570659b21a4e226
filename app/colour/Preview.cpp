#include "app/colour/Preview.h"

#include "app/colour/ColourHash.h"
#include "app/colour/StageLabels.h"
#include "app/shell/Document.h"
#include "app/shell/progress.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"

namespace {
// Pixels (or colours) between a slot's prefetch and its probe.
constexpr uint32_t kPrefetchAhead = 16;
}  // namespace

void IndexImageFree(IndexImage* image) {
  if (!image) return;
  JFree(image->indices);
  JFree(image);
}

IndexImage* ComputeIndexImage(const JPixelBuffer* buffer, const ColourTable* table) {
  IndexImage* image = static_cast<IndexImage*>(JAlloc(sizeof(IndexImage)));
  image->width = buffer->width;
  image->height = buffer->height;
  image->indices = JAllocArray<uint32_t>(static_cast<size_t>(buffer->width) * buffer->height);

  ProgressSetLabel(kLabelComputingIndexedImage);
  const uint32_t step = (1u << 24) / buffer->height;
  // Each pixel's index comes from a hash table of the colours rather than a walk
  // down the colour tree: one probe, fetched a few pixels ahead.
  ColourHash indices;
  ColourHashInit(&indices, table->count);
  for (uint32_t i = 0; i < table->count; ++i) {
    if (i + kPrefetchAhead < table->count) ColourHashPrefetch(&indices, table->records[i + kPrefetchAhead].colour);
    ColourHashAdd(&indices, table->records[i].colour, i);
  }
  uint32_t* out = image->indices;
  uint32_t lastKey = kNoColourKey;
  uint32_t lastIndex = 0;
  for (uint32_t row = buffer->height; row > 0; --row) {
    const uint8_t* p = JPixelBufferRow(buffer, row - 1);
    for (uint32_t x = 0; x < buffer->width; ++x, p += 3) {
      if (x + kPrefetchAhead < buffer->width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        ColourHashPrefetch(&indices, ColourKey(ahead[2], ahead[1], ahead[0]));
      }
      const uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        lastKey = key;
        // A colour missing from the table (never the case after the histogram) gets index 0.
        const ColourHashSlot* slot = ColourHashProbe(&indices, key);
        lastIndex = slot->key == key ? slot->value : 0;
      }
      *out++ = lastIndex;
    }
    ProgressStep(step);
  }
  ColourHashFree(&indices);
  return image;
}

void RenderPreview(Document* document) {
  const IndexImage* image = document->indexImage;
  JPixelBuffer* buffer = document->workingBuffer;
  if (!image || !buffer) return;
  ProgressBegin(kLabelComputingImagePreview, image->height);
  const ColourRecord* records = document->colourTable->records;
  const uint32_t* in = image->indices;
  const uint32_t width = image->width < buffer->width ? image->width : buffer->width;
  const uint32_t height = image->height < buffer->height ? image->height : buffer->height;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - y);
    const uint32_t* row = in + static_cast<size_t>(y) * image->width;
    for (uint32_t x = 0; x < width; ++x, p += 3) {
      uint32_t colour = records[row[x]].mappedColour;
      p[0] = static_cast<uint8_t>(colour);
      p[1] = static_cast<uint8_t>(colour >> 8);
      p[2] = static_cast<uint8_t>(colour >> 16);
    }
    ProgressStep(1);
  }
  JPixelBufferPut(buffer, 0, buffer->height, document->pictureMap, 0);
  ProgressEnd();
}
