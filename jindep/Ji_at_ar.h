// Untyped arrays of fixed-size elements, copied byte-wise.
//
// JArray keeps exactly `count` elements in its block (no spare room, no block when
// empty) and suits short lists. JVector grows by a fixed step and never shrinks
// except on clear. Counts are 32-bit; an index past the end reads and writes
// nothing and is reported on the debug channel.
#pragma once
#include <cstddef>
#include <cstdint>

struct JArray {
  void* block;
  uint32_t count;
};

// Adds one element at the end (contents zeroed) and answers its address.
void* JArrayGrow(JArray* array, size_t size);
void JArrayAppend(JArray* array, size_t size, const void* element);
// An index at or past the end appends.
void JArrayInsert(JArray* array, size_t size, uint32_t index, const void* element);
void JArrayRemove(JArray* array, size_t size, uint32_t index);
// Grows the array to `count` elements (new ones zeroed); never shrinks it.
void JArrayEnsureCount(JArray* array, size_t size, uint32_t count);
// Address of element `index`, or null (reported) past the end.
void* JArrayAt(const JArray* array, size_t size, uint32_t index);
void JArrayFree(JArray* array);

struct JVector {
  void* block;
  uint32_t count;
  uint32_t capacity;
  uint32_t step;
  size_t size;
  bool ownsRecord;
};

// Decides whether the vector element `element` is the one sought.
typedef bool (*JVectorMatchProc)(const void* element, void* data);

// The first block holds `step` elements (a step of 0 counts as 1).
void JVectorInit(JVector* vector, size_t size, uint32_t step);
JVector* JVectorNew(size_t size, uint32_t step);
// Frees the block, and the record too when JVectorNew made it.
void JVectorFree(JVector* vector);
void JVectorClear(JVector* vector);

void JVectorAppend(JVector* vector, const void* element);
// An index at or past the end appends.
void JVectorInsert(JVector* vector, uint32_t index, const void* element);
void JVectorRemove(JVector* vector, uint32_t index);
// Address of element `index`, or null (reported) past the end.
void* JVectorAt(const JVector* vector, uint32_t index);

// Searches run from the last element to the first; -1 when nothing matches.
int64_t JVectorFindEqual(const JVector* vector, const void* element);
int64_t JVectorFind(const JVector* vector, JVectorMatchProc match, void* data);
bool JVectorRemoveEqual(JVector* vector, const void* element);
bool JVectorRemoveMatch(JVector* vector, JVectorMatchProc match, void* data);
