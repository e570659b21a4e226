#include "jindep/string_resources.h"

#include <cstring>

namespace {

struct Resource {
  uint16_t id;
  const char* text;
};

constexpr Resource kResources[] = {
#define JSTR(id, name, text) {id, text},
#include "resources/strings.inc"
#undef JSTR
};

constexpr size_t kResourceCount = sizeof kResources / sizeof kResources[0];

constexpr bool Ascending() {
  for (size_t i = 1; i < kResourceCount; ++i)
    if (kResources[i - 1].id >= kResources[i].id) return false;
  return true;
}
static_assert(Ascending(), "resources/strings.inc must list each id once, in ascending order");

char* CopyCut(char* buffer, size_t size, const char* text) {
  if (size == 0) return buffer;
  size_t n = strlen(text);
  if (n > size - 1) n = size - 1;
  memcpy(buffer, text, n);
  buffer[n] = 0;
  return buffer;
}

}  // namespace

const char* JResourceString(uint16_t id) {
  size_t low = 0, high = kResourceCount;
  while (low < high) {
    size_t mid = (low + high) / 2;
    if (kResources[mid].id < id)
      low = mid + 1;
    else
      high = mid;
  }
  return low < kResourceCount && kResources[low].id == id ? kResources[low].text : nullptr;
}

char* JLoadString(uint16_t id, char* buffer, size_t size) { return JLoadStringDefault(id, buffer, size, ""); }

char* JLoadStringDefault(uint16_t id, char* buffer, size_t size, const char* defaultText) {
  const char* text = JResourceString(id);
  return CopyCut(buffer, size, text ? text : defaultText);
}
