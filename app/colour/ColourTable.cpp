#include "app/colour/ColourTable.h"

#include "jindep/memory.h"

ColourTable* ColourTableCreate(uint32_t capacity) {
  if (capacity == 0) capacity = 1;
  ColourTable* table = static_cast<ColourTable*>(JAlloc(sizeof(ColourTable)));
  table->capacity = capacity;
  table->count = 0;
  table->records = JAllocArray<ColourRecord>(capacity);
  table->transparent = JAllocArray<uint8_t>(capacity);
  table->tally = JAllocArray<uint32_t>(capacity);
  return table;
}

void ColourTableReserve(ColourTable* table, uint32_t colours) {
  if (colours <= table->capacity) return;
  table->capacity = colours;
  table->records = static_cast<ColourRecord*>(
      JRealloc(table->records, static_cast<size_t>(colours) * sizeof(ColourRecord)));
  table->transparent = static_cast<uint8_t*>(JRealloc(table->transparent, colours));
  table->tally = static_cast<uint32_t*>(JRealloc(table->tally, static_cast<size_t>(colours) * sizeof(uint32_t)));
}

uint32_t ColourTableAppend(ColourTable* table, uint32_t colour) {
  if (table->count == table->capacity) {
    // Doubling, 64-bit: a table of every 24-bit colour passes 2^24 records.
    const uint64_t doubled = uint64_t{table->capacity} * 2;
    ColourTableReserve(table, doubled > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(doubled));
  }
  uint32_t index = table->count++;
  ColourRecord* record = &table->records[index];
  record->colour = colour;
  record->count = 1;
  record->representative = index;
  record->mergedInto = index;
  table->transparent[index] = 0;
  return index;
}

void ColourTableFree(ColourTable* table) {
  if (!table) return;
  JFree(table->records);
  JFree(table->transparent);
  JFree(table->tally);
  JFree(table);
}
