#include "app/colour/Preview.h"

#include <atomic>

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

// Pictures from this many pixels up are indexed on two processors; smaller ones
// are not worth a thread.
constexpr size_t kTwoThreadPixels = size_t{1} << 20;
// Rows a thread claims at a time: a thread held up by other work on the machine
// leaves the rest of the picture to the other instead of a fixed half.
constexpr uint32_t kRowBlock = 16;

struct IndexRows {
  const JPixelBuffer* buffer;
  const ColourHash* indices;
  uint32_t* out;  // the index image's first entry
  std::atomic<uint32_t> nextRow;     // counted from the top of the picture
  std::atomic<uint32_t> helperRows;  // rows the helper has finished
};

void LookUpRowRange(const IndexRows* rows, uint32_t firstRow, uint32_t rowCount) {
  const JPixelBuffer* buffer = rows->buffer;
  const ColourHash* indices = rows->indices;
  uint32_t* out = rows->out + static_cast<size_t>(firstRow) * buffer->width;
  uint32_t lastKey = kNoColourKey;
  uint32_t lastIndex = 0;
  for (uint32_t y = firstRow; y < firstRow + rowCount; ++y) {
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
  }
}

// Claims blocks of rows until none is left; returns the rows it did. The main
// thread (`stepped` not null) advances the progress for the rows of both.
uint32_t LookUpBlocks(IndexRows* rows, uint32_t step, uint32_t* stepped) {
  const uint32_t height = rows->buffer->height;
  uint32_t done = 0;
  for (;;) {
    const uint32_t first = rows->nextRow.fetch_add(kRowBlock);
    if (first >= height) return done;
    const uint32_t count = first + kRowBlock < height ? kRowBlock : height - first;
    LookUpRowRange(rows, first, count);
    done += count;
    if (!stepped) {
      rows->helperRows.fetch_add(count);
      continue;
    }
    for (uint32_t all = done + rows->helperRows.load(); *stepped < all; ++*stepped) ProgressStep(step);
  }
}

void LookUpAsHelper(void* rows) { LookUpBlocks(static_cast<IndexRows*>(rows), 0, nullptr); }

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
  // Every pixel's entry depends on nothing but its own colour, so a helper can
  // take blocks of rows; with no helper the main thread does them all.
  IndexRows rows{buffer, &indices, image->indices, {0}, {0}};
  HelperThread helper;
  const bool twoThreads =
      static_cast<size_t>(buffer->width) * buffer->height >= kTwoThreadPixels && HelperThreadsWorthwhile();
  if (twoThreads) HelperStart(&helper, LookUpAsHelper, &rows);
  uint32_t stepped = 0;
  const uint32_t mainRows = LookUpBlocks(&rows, step, &stepped);
  if (twoThreads) HelperJoin(&helper);
  for (uint32_t all = mainRows + rows.helperRows.load(); stepped < all; ++stepped) ProgressStep(step);
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
  for (uint32_t i = 0; i < table->count; ++i) mapped[i] = MappedColour(table, i);
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
