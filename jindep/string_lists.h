// String lists: texts fetched by key from a set of lists. Each list's items are the
// resources named by its range resource (base id + list number, "first last");
// key k is item k % 100 of list k / 100. Lists load on first use and live for the
// rest of the run; the strings answered belong to them. A missing list or item
// answers a visible error text rather than nothing.
#pragma once
#include <cstdint>

#include "jindep/string_resources.h"

struct IJStringList {
  uint16_t count;
  char** items;
};

struct IJStringSet {
  uint16_t baseId;
  uint16_t loaded;
  IJStringList** lists;  // null entries for lists whose range resource is absent
};

constexpr uint16_t kJAppStringBase = 128;
constexpr uint16_t kJAlertStringBase = 160;
constexpr uint16_t kJStringMaxLength = 254;

extern const char kIJStringError[];         // "IJString Error"
extern const char kIJStringListNotFound[];  // "IJString list not found"

const char* JGetAppString(uint16_t key);
const char* JGetAlertString(uint16_t key);
const char* IJStringGet(IJStringSet* set, uint16_t key, uint16_t baseId);
void IJStringFreeList(IJStringList* list);
// Frees the lists of a set (and of both of the program's sets with JStringListsShutdown).
void IJStringFreeSet(IJStringSet* set);
void JStringListsShutdown();

// The text of an application or alert resource by its id (1000-1199 through the
// application set, 2000-2099 through the alert set), or of a toolkit resource
// (an empty string when absent).
const char* JStr(JStringId id);
