#include "jindep/string_lists.h"

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"

const char kIJStringError[] = "IJString Error";
const char kIJStringListNotFound[] = "IJString list not found";

namespace {

IJStringSet gAppSet = {kJAppStringBase, 0, nullptr};
IJStringSet gAlertSet = {kJAlertStringBase, 0, nullptr};

constexpr size_t kItemBuffer = kJStringMaxLength + 1;

// Null when the range resource is absent or does not hold a sensible range.
IJStringList* LoadList(uint16_t rangeId) {
  const char* range = JResourceString(rangeId);
  int32_t first = 0, last = 0;
  if (!range || !JScan(range, "%dl% %dl%", &first, &last)) return nullptr;
  if (first < 0 || last < first || last > UINT16_MAX || last - first + 1 > UINT16_MAX) return nullptr;
  IJStringList* list = static_cast<IJStringList*>(JAlloc(sizeof(IJStringList)));
  list->count = static_cast<uint16_t>(last - first + 1);
  list->items = static_cast<char**>(JAlloc(list->count * sizeof(char*)));
  char buffer[kItemBuffer];
  for (uint16_t i = 0; i < list->count; ++i)
    list->items[i] = JStrDup(JLoadString(static_cast<uint16_t>(first + i), buffer, sizeof buffer));
  return list;
}

}  // namespace

const char* IJStringGet(IJStringSet* set, uint16_t key, uint16_t baseId) {
  uint16_t listIndex = key / 100;
  uint16_t item = key % 100;
  if (listIndex >= set->loaded) {
    set->lists = static_cast<IJStringList**>(JRealloc(set->lists, (listIndex + 1u) * sizeof(IJStringList*)));
    for (uint32_t i = set->loaded; i <= listIndex; ++i) set->lists[i] = LoadList(static_cast<uint16_t>(baseId + i));
    set->loaded = static_cast<uint16_t>(listIndex + 1);
  }
  if (!set->lists) return kIJStringListNotFound;
  IJStringList* list = set->lists[listIndex];
  if (!list || item >= list->count) return kIJStringError;
  return list->items[item];
}

const char* JGetAppString(uint16_t key) { return IJStringGet(&gAppSet, key, gAppSet.baseId); }

const char* JGetAlertString(uint16_t key) { return IJStringGet(&gAlertSet, key, gAlertSet.baseId); }

void IJStringFreeList(IJStringList* list) {
  if (!list) return;
  for (uint16_t i = 0; i < list->count; ++i) JFree(list->items[i]);
  JFree(list->items);
  JFree(list);
}

void IJStringFreeSet(IJStringSet* set) {
  for (uint16_t i = 0; i < set->loaded; ++i) IJStringFreeList(set->lists[i]);
  JFree(set->lists);
  set->lists = nullptr;
  set->loaded = 0;
}

void JStringListsShutdown() {
  IJStringFreeSet(&gAppSet);
  IJStringFreeSet(&gAlertSet);
}

const char* JStr(JStringId id) {
  if (id >= 1000 && id < 1200) return JGetAppString(static_cast<uint16_t>(id - 1000));
  if (id >= 2000 && id < 2100) return JGetAlertString(static_cast<uint16_t>(id - 2000));
  const char* text = JResourceString(id);
  return text ? text : "";
}
