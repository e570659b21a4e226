// The toolkit allocator: every block in the program is taken and given back here.
// No call ever returns null: when the heap is exhausted the out-of-memory
// procedure runs and the process ends.
#pragma once
#include <cstddef>
#include <cstdint>

void* JAlloc(size_t size);
void* JRealloc(void* block, size_t size);
void JFree(void* block);
char* JStrDup(const char* s);
void JStrFree(char* s);

// Typed helpers for arrays of plain records.
template <typename T>
inline T* JAllocArray(size_t count) {
  return static_cast<T*>(JAlloc(count * sizeof(T)));
}

// Accounting: the platform's own size of every live block (64-bit: machines hold more than 4 GiB).
uint64_t JMemBytesInUse();
uint64_t JMemPeakBytes();
void JMemResetPeak();

typedef void (*JOutOfMemoryProc)(void* data, int quitCount);
typedef void (*JLowMemoryProc)(void* data, int state);

void JMemSetEmergencyReserve(size_t size);
void JMemSetOutOfMemoryCallback(JOutOfMemoryProc proc, void* data);
void JMemSetLowMemoryCallback(JLowMemoryProc proc, void* data);

// Test hook: makes the next `count` heap requests fail as if the heap were exhausted.
void JMemFailNextAllocations(int count);
