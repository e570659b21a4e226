#include "app/colour/ColourTable.h"

#include "jindep/memory.h"

ColourTable* ColourTableCreate(uint32_t capacity) {
  if (capacity == 0) capacity = 1;
  ColourTable* table = static_cast<ColourTable*>(JAlloc(sizeof(ColourTable)));
  table->capacity = capacity;
  table->count = 0;
  table->records = JAllocArray<ColourRecord>(capacity);
  table->tally = JAllocArray<uint32_t>(capacity);
  return table;
}

void ColourTableReserve(ColourTable* table, uint32_t colours) {
  // The capacity appending would reach (doubling, 64-bit: a table of every 24-bit
  // colour passes 2^24 records), reached with one copy of the records instead of one a doubling.
  uint64_t grown = table->capacity;
  while (grown < colours) grown *= 2;
  if (grown == table->capacity) return;
  table->capacity = grown > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(grown);
  table->records = static_cast<ColourRecord*>(
      JRealloc(table->records, static_cast<size_t>(table->capacity) * sizeof(ColourRecord)));
  table->tally =
      static_cast<uint32_t*>(JRealloc(table->tally, static_cast<size_t>(table->capacity) * sizeof(uint32_t)));
}

uint32_t ColourTableAppend(ColourTable* table, uint32_t colour) {
  if (table->count == table->capacity) ColourTableReserve(table, table->count + 1);
  uint32_t index = table->count++;
  ColourRecord* record = &table->records[index];
  record->colour = colour;
  record->count = 1;
  record->weight = 0;
  record->mappedColour = colour;
  record->representative = index;
  record->mergePosition = index;
  record->mergedInto = index;
  record->paletteIndex = 0;
  record->transparent = 0;
  table->tally[index] = 0;
  return index;
}

void ColourTableFree(ColourTable* table) {
  if (!table) return;
  JFree(table->records);
  JFree(table->tally);
  JFree(table);
}
