#include "app/colour/Preview.h"

#include "app/colour/ColourHash.h"
#include "app/colour/HelperThread.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
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

namespace {

// Pictures from this many pixels up are indexed on two processors, the top and
// bottom halves of the rows at once; smaller ones are not worth a thread.
constexpr size_t kTwoThreadPixels = size_t{1} << 20;

struct IndexRows {
  const JPixelBuffer* buffer;
  const ColourHash* indices;
  uint32_t* out;      // the index image's first entry
  uint32_t firstRow;  // counted from the top of the picture
  uint32_t rowCount;
  uint32_t step;      // the progress advanced after each row (0: not at all)
};

void LookUpRows(void* data) {
  const IndexRows* rows = static_cast<const IndexRows*>(data);
  const JPixelBuffer* buffer = rows->buffer;
  const ColourHash* indices = rows->indices;
  uint32_t* out = rows->out + static_cast<size_t>(rows->firstRow) * buffer->width;
  uint32_t lastKey = kNoColourKey;
  uint32_t lastIndex = 0;
  for (uint32_t y = rows->firstRow; y < rows->firstRow + rows->rowCount; ++y) {
    const uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - y);
    for (uint32_t x = 0; x < buffer->width; ++x, p += 3) {
      if (x + kPrefetchAhead < buffer->width) {
        const uint8_t* ahead = p + 3 * kPrefetchAhead;
        ColourHashPrefetch(indices, ColourKey(ahead[2], ahead[1], ahead[0]));
      }
      const uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        lastKey = key;
        // A colour missing from the table (never the case after the histogram) gets index 0.
        const ColourHashSlot* slot = ColourHashProbe(indices, key);
        lastIndex = slot->key == key ? slot->value : 0;
      }
      *out++ = lastIndex;
    }
    if (rows->step) ProgressStep(rows->step);
  }
}

}  // namespace

IndexImage* ComputeIndexImage(const JPixelBuffer* buffer, const ColourTable* table) {
  IndexImage* image = static_cast<IndexImage*>(JAlloc(sizeof(IndexImage)));
  image->width = buffer->width;
  image->height = buffer->height;
  image->indices = JAllocArray<uint32_t>(static_cast<size_t>(buffer->width) * buffer->height);

  ProgressSetLabel(JStr(kStrComputingIndexedImage));
  const uint32_t step = (1u << 24) / buffer->height;
  // Each pixel's index comes from a hash table of the colours rather than a walk
  // down the colour tree: one probe, fetched a few pixels ahead.
  ColourHash indices;
  ColourHashInit(&indices, table->count);
  for (uint32_t i = 0; i < table->count; ++i) {
    if (i + kPrefetchAhead < table->count) ColourHashPrefetch(&indices, table->records[i + kPrefetchAhead].colour);
    ColourHashAdd(&indices, table->records[i].colour, i);
  }
  const uint32_t height = buffer->height;
  const bool twoThreads =
      static_cast<size_t>(buffer->width) * height >= kTwoThreadPixels && HelperThreadsWorthwhile();
  // Every pixel's entry depends on nothing but its own colour, so the bottom half
  // of the rows can go to a helper. The main thread reports progress for its rows
  // as it goes and for the helper's at the end; with no helper it does them too.
  const uint32_t split = twoThreads ? height / 2 : height;
  IndexRows top{buffer, &indices, image->indices, 0, split, step};
  IndexRows bottom{buffer, &indices, image->indices, split, height - split, 0};
  HelperThread helper;
  const bool helped = bottom.rowCount > 0 && HelperStart(&helper, LookUpRows, &bottom);
  LookUpRows(&top);
  if (helped) {
    HelperJoin(&helper);
    for (uint32_t y = 0; y < bottom.rowCount; ++y) ProgressStep(step);
  } else if (bottom.rowCount > 0) {
    bottom.step = step;
    LookUpRows(&bottom);
  }
  ColourHashFree(&indices);
  return image;
}

void RenderPreview(Document* document) {
  const IndexImage* image = document->indexImage;
  JPixelBuffer* buffer = document->workingBuffer;
  if (!image || !buffer) return;
  ProgressBegin(JStr(kStrComputingImagePreview), image->height);
  // The mapped colours are gathered into one compact array first: the pixels
  // then look up 4 bytes a colour instead of a whole record.
  const ColourTable* table = document->colourTable;
  uint32_t* mapped = JAllocArray<uint32_t>(table->count ? table->count : 1);
  for (uint32_t i = 0; i < table->count; ++i) mapped[i] = table->records[i].mappedColour;
  const uint32_t* in = image->indices;
  const uint32_t width = image->width < buffer->width ? image->width : buffer->width;
  const uint32_t height = image->height < buffer->height ? image->height : buffer->height;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* p = JPixelBufferRow(buffer, buffer->height - 1 - y);
    const uint32_t* row = in + static_cast<size_t>(y) * image->width;
    for (uint32_t x = 0; x < width; ++x, p += 3) {
      const uint32_t colour = mapped[row[x]];
      p[0] = static_cast<uint8_t>(colour);
      p[1] = static_cast<uint8_t>(colour >> 8);
      p[2] = static_cast<uint8_t>(colour >> 16);
    }
    ProgressStep(1);
  }
  JFree(mapped);
  JPixelBufferPut(buffer, 0, buffer->height, document->pictureMap, 0);
  ProgressEnd();
}
