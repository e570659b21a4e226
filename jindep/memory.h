// The toolkit allocator: every block in the program is taken and given back here.
// No call ever returns null: when the heap is exhausted the out-of-memory
// procedure runs once, tells the user through the application's callback, and
// the process ends with exit code 3.
#pragma once
#include <cstddef>
#include <cstdint>

void* JAlloc(size_t size);
void* JRealloc(void* block, size_t size);
void JFree(void* block);
// Gives the system back the memory pages lying wholly within `bytes` bytes at `start`,
// a part of a live block its owner will not read before writing: the block stays
// whole, and the part reads as zeros if it is used again.
void JGiveBackPages(void* start, size_t bytes);
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

// Exit status of the process when memory has run out.
constexpr int kJOutOfMemoryExitCode = 3;

typedef void (*JOutOfMemoryProc)(void* data, int quitCount);
// state is 1 when memory has become low, 0 when it is sufficient again.
typedef void (*JLowMemoryProc)(void* data, int state);

// Frees the previous emergency reserve (if any) and takes one of `size` bytes; it is
// released just before the out-of-memory callback so that the alert can be built.
void JMemSetEmergencyReserve(size_t size);
void JMemSetOutOfMemoryCallback(JOutOfMemoryProc proc, void* data);
void JMemSetLowMemoryCallback(JLowMemoryProc proc, void* data);

// How the platform judges memory. Between low and sufficient lies a band where the
// last state stands, so that the callback does not flutter at the boundary.
enum JMemLevel { kJMemSufficient = 0, kJMemFair = 1, kJMemLow = 2 };
typedef JMemLevel (*JMemLevelProc)(void* data);
// Replaces the level probe (null restores the default, which reads /proc/meminfo at
// most once a second: low below 32 MiB available, sufficient again from 64 MiB).
void JMemSetLevelProc(JMemLevelProc proc, void* data);

// Millisecond tick used to space low-memory notifications (null restores the
// monotonic clock). The event loop installs its own clock here.
typedef uint32_t (*JTickProc)(void* data);
void JMemSetTickProc(JTickProc proc, void* data);

// Runs the low-memory watch now (the allocator runs it after every allocate, reallocate and free).
void JMemWatch();
// True while the 8192-byte memory reserve is held (it is let go when memory is low).
bool JMemReserveHeld();

// Figures for the memory display, in bytes (64-bit) and percent.
struct JMemStats {
  uint64_t total;
  uint64_t used;
  uint64_t temporary;
  uint64_t free;
  uint64_t largest;
  uint32_t percentFree;
  uint32_t percentUsed;
};
void JMemGetStats(JMemStats* stats);
// Fills `stats` from the text of /proc/meminfo; false (and `stats` untouched) when
// the text lacks the figures or they make no sense.
bool JMemStatsFromMeminfo(const char* text, size_t length, JMemStats* stats);

// Test hook: makes the next `count` heap requests fail as if the heap were exhausted.
void JMemFailNextAllocations(int count);
