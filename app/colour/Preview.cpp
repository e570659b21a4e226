#include "app/colour/Preview.h"

#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/pixel_buffer.h"

void IndexImageFree(IndexImage* image) {
  if (!image) return;
  JFree(image->indices);
  JFree(image);
}

IndexImage* MakeIndexImage(const JPixelBuffer* indices) {
  IndexImage* image = static_cast<IndexImage*>(JAlloc(sizeof(IndexImage)));
  image->width = indices->width;
  image->height = indices->height;
  image->indices = JAllocArray<uint32_t>(static_cast<size_t>(indices->width) * indices->height);
  ProgressSetLabel(JStr(kStrComputingIndexedImage));
  const uint32_t step = (1u << 24) / indices->height;
  uint32_t* out = image->indices;
  for (uint32_t y = 0; y < indices->height; ++y) {
    const uint8_t* in = JPixelBufferRow(indices, indices->height - 1 - y);
    for (uint32_t x = 0; x < indices->width; ++x, in += 3) *out++ = PackedIndexAt(in);
    ProgressStep(step);
  }
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
