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
  // Pixels are counted in the table's compact tally while scanning (4 bytes a
  // colour rather than a whole record apart); the counts go to the records at the end.
  const uint32_t first = table->count;
  for (uint32_t i = 0; i < first; ++i) table->tally[i] = 0;
  for (uint32_t row = buffer->height; row > 0; --row) {
    const uint8_t* p = JPixelBufferRow(buffer, row - 1);
    for (uint32_t x = 0; x < buffer->width; ++x, p += 3) {
      uint32_t key = ColourKey(p[2], p[1], p[0]);
      if (key != lastKey) {
        bool added = false;
        lastIndex = ColourTreeLocate(root, table, key, &added);
        lastKey = key;
      }
      ++table->tally[lastIndex];
    }
    ProgressStep(step);
  }
  for (uint32_t i = 0; i < table->count; ++i) {
    table->records[i].count = i < first ? table->records[i].count + table->tally[i] : table->tally[i];
    table->tally[i] = 0;
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
