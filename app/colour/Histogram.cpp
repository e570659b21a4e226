#include "app/colour/Histogram.h"

#include "app/colour/ColourTree.h"
#include "app/shell/Document.h"
#include "app/shell/progress.h"
#include "jwin/pixel_buffer.h"

void ScanHistogram(const JPixelBuffer* buffer, ColourTable* table, uint32_t root) {
  const uint32_t step = (1u << 24) / buffer->height;
  // The last key seen is remembered: runs of one colour skip the tree walk.
  uint32_t lastKey = 0xFFFFFFFFu;
  uint32_t lastIndex = 0;
  for (uint32_t row = buffer->height; row > 0; --row) {
    const uint8_t* p = JPixelBufferRow(buffer, row - 1);
    for (uint32_t x = 0; x < buffer->width; ++x, p += 3) {
      uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key == lastKey) {
        ++table->records[lastIndex].count;
        continue;
      }
      lastIndex = ColourTreeAdd(root, table, key);
      lastKey = key;
    }
    ProgressStep(step);
  }
}

uint32_t BuildHistogram(Document* document) {
  document->colourTable = ColourTableCreate(kColourTableInitialCapacity);
  uint32_t root = ColourTreeNew();
  ScanHistogram(document->workingBuffer, document->colourTable, root);
  // Nodes were made in the order colours were met; laid out depth first, the
  // searches that follow find neighbouring colours close together in memory.
  return ColourTreeCompact(root);
}
