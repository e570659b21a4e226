#include "app/document/TransparentList.h"

#include "jindep/memory.h"

void TransparentListAppend(TransparentList* list, uint32_t colourIndex) {
  if (list->count == list->capacity) {
    list->capacity = list->capacity ? list->capacity * 2 : 8;
    list->indices = static_cast<uint32_t*>(JRealloc(list->indices, list->capacity * sizeof(uint32_t)));
  }
  list->indices[list->count++] = colourIndex;
}

void TransparentListRemove(TransparentList* list, uint32_t position) {
  if (position >= list->count) return;
  for (uint32_t i = position + 1; i < list->count; ++i) list->indices[i - 1] = list->indices[i];
  --list->count;
}

uint32_t TransparentListFind(const TransparentList* list, uint32_t colourIndex) {
  for (uint32_t i = 0; i < list->count; ++i) {
    if (list->indices[i] == colourIndex) return i;
  }
  return list->count;
}

void TransparentListClear(TransparentList* list) {
  JFree(list->indices);
  list->indices = nullptr;
  list->count = 0;
  list->capacity = 0;
}
