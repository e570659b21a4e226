#include "jindep/Ji_at_ar.h"

#include <cstring>

#include "jindep/debug.h"
#include "jindep/memory.h"

namespace {

const char kSource[] = "jindep/Ji_at_ar";

char* Bytes(void* block) { return static_cast<char*>(block); }

// Refuses to let a count wrap around; reports and answers false when full.
bool HasRoom(uint32_t count, int line) {
  if (count < UINT32_MAX) return true;
  JDebugReport(kSource, line, "Container is full");
  return false;
}

}  // namespace

void* JArrayGrow(JArray* array, size_t size) {
  if (!HasRoom(array->count, __LINE__)) return nullptr;
  size_t bytes = (static_cast<size_t>(array->count) + 1) * size;
  array->block = array->block ? JRealloc(array->block, bytes) : JAlloc(bytes);
  char* element = Bytes(array->block) + static_cast<size_t>(array->count) * size;
  memset(element, 0, size);
  ++array->count;
  return element;
}

void JArrayAppend(JArray* array, size_t size, const void* element) {
  if (void* slot = JArrayGrow(array, size)) memcpy(slot, element, size);
}

void JArrayInsert(JArray* array, size_t size, uint32_t index, const void* element) {
  uint32_t oldCount = array->count;
  if (!JArrayGrow(array, size)) return;
  if (index > oldCount) index = oldCount;
  char* at = Bytes(array->block) + static_cast<size_t>(index) * size;
  memmove(at + size, at, static_cast<size_t>(oldCount - index) * size);
  memcpy(at, element, size);
}

void JArrayRemove(JArray* array, size_t size, uint32_t index) {
  if (index >= array->count) {
    JDebugReport(kSource, __LINE__, "Removing past end of array");
    return;
  }
  uint32_t newCount = array->count - 1;
  if (newCount == 0) {
    JFree(array->block);
    array->block = nullptr;
  } else {
    char* at = Bytes(array->block) + static_cast<size_t>(index) * size;
    memmove(at, at + size, static_cast<size_t>(newCount - index) * size);
    array->block = JRealloc(array->block, static_cast<size_t>(newCount) * size);
  }
  array->count = newCount;
}

void JArrayEnsureCount(JArray* array, size_t size, uint32_t count) {
  if (count <= array->count) return;
  size_t oldBytes = static_cast<size_t>(array->count) * size;
  size_t bytes = static_cast<size_t>(count) * size;
  array->block = array->block ? JRealloc(array->block, bytes) : JAlloc(bytes);
  memset(Bytes(array->block) + oldBytes, 0, bytes - oldBytes);
  array->count = count;
}

void* JArrayAt(const JArray* array, size_t size, uint32_t index) {
  if (index >= array->count) {
    JDebugReport(kSource, __LINE__, "Indexing past end of array");
    return nullptr;
  }
  return Bytes(array->block) + static_cast<size_t>(index) * size;
}

void JArrayFree(JArray* array) {
  JFree(array->block);
  array->block = nullptr;
  array->count = 0;
}

void JVectorInit(JVector* vector, size_t size, uint32_t step) {
  vector->size = size;
  vector->step = step ? step : 1;
  vector->count = 0;
  vector->capacity = vector->step;
  vector->block = JAlloc(static_cast<size_t>(vector->capacity) * size);
  vector->ownsRecord = false;
}

JVector* JVectorNew(size_t size, uint32_t step) {
  JVector* vector = static_cast<JVector*>(JAlloc(sizeof(JVector)));
  JVectorInit(vector, size, step);
  vector->ownsRecord = true;
  return vector;
}

void JVectorFree(JVector* vector) {
  JFree(vector->block);
  vector->block = nullptr;
  vector->count = vector->capacity = 0;
  if (vector->ownsRecord) JFree(vector);
}

void JVectorClear(JVector* vector) {
  vector->count = 0;
  vector->capacity = vector->step;
  vector->block = JRealloc(vector->block, static_cast<size_t>(vector->capacity) * vector->size);
}

void JVectorAppend(JVector* vector, const void* element) { JVectorInsert(vector, UINT32_MAX, element); }

void JVectorInsert(JVector* vector, uint32_t index, const void* element) {
  // The count may reach at most UINT32_MAX - 1 so that the spare element always exists.
  if (!HasRoom(vector->count + 1, __LINE__)) return;
  uint32_t oldCount = vector->count;
  ++vector->count;
  if (vector->count >= vector->capacity) {
    uint64_t grown = static_cast<uint64_t>(vector->capacity) + vector->step;
    vector->capacity = grown > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(grown);
    vector->block = JRealloc(vector->block, static_cast<size_t>(vector->capacity) * vector->size);
  }
  if (index > oldCount) index = oldCount;
  char* at = Bytes(vector->block) + static_cast<size_t>(index) * vector->size;
  memmove(at + vector->size, at, static_cast<size_t>(oldCount - index) * vector->size);
  memcpy(at, element, vector->size);
}

void JVectorRemove(JVector* vector, uint32_t index) {
  if (index >= vector->count) {
    JDebugReport(kSource, __LINE__, "Removing past end of vector");
    return;
  }
  --vector->count;
  char* at = Bytes(vector->block) + static_cast<size_t>(index) * vector->size;
  memmove(at, at + vector->size, static_cast<size_t>(vector->count - index) * vector->size);
}

void* JVectorAt(const JVector* vector, uint32_t index) {
  if (index >= vector->count) {
    JDebugReport(kSource, __LINE__, "Indexing past end of vector");
    return nullptr;
  }
  return Bytes(vector->block) + static_cast<size_t>(index) * vector->size;
}

int64_t JVectorFindEqual(const JVector* vector, const void* element) {
  for (uint32_t i = vector->count; i-- > 0;)
    if (memcmp(Bytes(vector->block) + static_cast<size_t>(i) * vector->size, element, vector->size) == 0) return i;
  return -1;
}

int64_t JVectorFind(const JVector* vector, JVectorMatchProc match, void* data) {
  for (uint32_t i = vector->count; i-- > 0;)
    if (match(Bytes(vector->block) + static_cast<size_t>(i) * vector->size, data)) return i;
  return -1;
}

bool JVectorRemoveEqual(JVector* vector, const void* element) {
  int64_t i = JVectorFindEqual(vector, element);
  if (i < 0) return false;
  JVectorRemove(vector, static_cast<uint32_t>(i));
  return true;
}

bool JVectorRemoveMatch(JVector* vector, JVectorMatchProc match, void* data) {
  int64_t i = JVectorFind(vector, match, data);
  if (i < 0) return false;
  JVectorRemove(vector, static_cast<uint32_t>(i));
  return true;
}
