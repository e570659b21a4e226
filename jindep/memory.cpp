#include "jindep/memory.h"

#include <malloc.h>
#include <cstdlib>
#include <cstring>

namespace {

uint64_t gBytesInUse = 0;
uint64_t gPeakBytes = 0;
int gFailNext = 0;

void* gEmergencyReserve = nullptr;
JOutOfMemoryProc gOutOfMemoryProc = nullptr;
void* gOutOfMemoryData = nullptr;
bool gOutOfMemoryArmed = true;
int gQuitCount = 0;

size_t BlockSize(void* block) { return block ? malloc_usable_size(block) : 0; }

void Account(int64_t delta) {
  gBytesInUse = static_cast<uint64_t>(static_cast<int64_t>(gBytesInUse) + delta);
  if (gBytesInUse > gPeakBytes) gPeakBytes = gBytesInUse;
}

void* HeapTake(void* old, size_t size) {
  if (gFailNext > 0) {
    --gFailNext;
    return nullptr;
  }
  if (size == 0) size = 1;
  return old ? realloc(old, size) : malloc(size);
}

// Runs at most once: frees the emergency reserve so the alert can be built,
// lets the application tell the user, then ends the process with a failure code
// so that scripts see the failure.
[[noreturn]] void OutOfMemory() {
  if (gOutOfMemoryArmed) {
    gOutOfMemoryArmed = false;
    if (gEmergencyReserve) {
      free(gEmergencyReserve);
      gEmergencyReserve = nullptr;
    }
    ++gQuitCount;
    if (gOutOfMemoryProc) gOutOfMemoryProc(gOutOfMemoryData, gQuitCount);
  }
  _Exit(3);
}

// One purge-and-retry: there is nothing to purge here, so the retry simply asks again.
void* TakeOrDie(void* old, size_t size) {
  void* block = HeapTake(old, size);
  if (!block) block = HeapTake(old, size);
  if (!block) OutOfMemory();
  return block;
}

}  // namespace

void* JAlloc(size_t size) {
  void* block = TakeOrDie(nullptr, size);
  Account(static_cast<int64_t>(BlockSize(block)));
  return block;
}

void* JRealloc(void* block, size_t size) {
  if (!block) return JAlloc(size);
  size_t oldSize = BlockSize(block);
  void* moved = TakeOrDie(block, size);
  Account(static_cast<int64_t>(BlockSize(moved)) - static_cast<int64_t>(oldSize));
  return moved;
}

void JFree(void* block) {
  if (!block) return;
  Account(-static_cast<int64_t>(BlockSize(block)));
  free(block);
}

char* JStrDup(const char* s) {
  size_t n = strlen(s) + 1;
  char* copy = static_cast<char*>(JAlloc(n));
  memcpy(copy, s, n);
  return copy;
}

void JStrFree(char* s) { JFree(s); }

uint64_t JMemBytesInUse() { return gBytesInUse; }
uint64_t JMemPeakBytes() { return gPeakBytes; }
void JMemResetPeak() { gPeakBytes = gBytesInUse; }

void JMemSetEmergencyReserve(size_t size) {
  if (gEmergencyReserve) free(gEmergencyReserve);
  gEmergencyReserve = size ? malloc(size) : nullptr;
}

void JMemSetOutOfMemoryCallback(JOutOfMemoryProc proc, void* data) {
  gOutOfMemoryProc = proc;
  gOutOfMemoryData = data;
}

void JMemSetLowMemoryCallback(JLowMemoryProc, void*) {}

void JMemFailNextAllocations(int count) { gFailNext = count; }
