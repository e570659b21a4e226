// The colours the user marked transparent, in the order they were marked.
#pragma once
#include <cstdint>

struct TransparentList {
  uint32_t count;
  uint32_t capacity;
  uint32_t* indices;  // colour indices; null while nothing was ever marked
};

void TransparentListAppend(TransparentList* list, uint32_t colourIndex);
// Removes the entry at `position`, keeping the order of the others.
void TransparentListRemove(TransparentList* list, uint32_t position);
// Position of a colour in the list, or list->count when it is not there.
uint32_t TransparentListFind(const TransparentList* list, uint32_t colourIndex);
void TransparentListClear(TransparentList* list);
