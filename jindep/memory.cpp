#include "jindep/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kMemoryReserveBytes = 8192;
constexpr uint32_t kRenotifyMs = 120000;
constexpr uint64_t kLowBytes = 32ull << 20;
constexpr uint64_t kSufficientBytes = 64ull << 20;
constexpr uint32_t kProbeIntervalMs = 1000;

uint64_t gBytesInUse = 0;
uint64_t gPeakBytes = 0;
int gFailNext = 0;

void* gEmergencyReserve = nullptr;
JOutOfMemoryProc gOutOfMemoryProc = nullptr;
void* gOutOfMemoryData = nullptr;
bool gOutOfMemoryArmed = true;
int gQuitCount = 0;

void* gMemoryReserve = nullptr;
bool gWatching = false;
bool gNotifying = false;
JLowMemoryProc gLowMemoryProc = nullptr;
void* gLowMemoryData = nullptr;
int gLastState = 0;
uint32_t gLastNotifyTick = 0;
bool gEverNotified = false;

JMemLevelProc gLevelProc = nullptr;
void* gLevelData = nullptr;
JTickProc gTickProc = nullptr;
void* gTickData = nullptr;

uint32_t MonotonicMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

uint32_t Tick() { return gTickProc ? gTickProc(gTickData) : MonotonicMs(); }

// Reading /proc on every allocation would cost more than the allocation, so the
// answer is kept for a second.
JMemLevel DefaultLevel() {
  static JMemLevel level = kJMemSufficient;
  static uint32_t lastProbe = 0;
  static bool probed = false;
  uint32_t now = MonotonicMs();
  if (probed && now - lastProbe < kProbeIntervalMs) return level;
  probed = true;
  lastProbe = now;
  JMemStats stats;
  JMemGetStats(&stats);
  if (stats.free < kLowBytes)
    level = kJMemLow;
  else if (stats.free >= kSufficientBytes)
    level = kJMemSufficient;
  else
    level = kJMemFair;
  return level;
}

JMemLevel Level() { return gLevelProc ? gLevelProc(gLevelData) : DefaultLevel(); }

// The same state is not repeated within two minutes; the callback may allocate,
// hence the guard.
void Notify(int state) {
  if (gNotifying) return;
  gNotifying = true;
  uint32_t now = Tick();
  if (!(gEverNotified && state == gLastState && now - gLastNotifyTick < kRenotifyMs)) {
    gEverNotified = true;
    gLastNotifyTick = now;
    gLastState = state;
    if (gLowMemoryProc) gLowMemoryProc(gLowMemoryData, state);
  }
  gNotifying = false;
}

size_t BlockSize(void* block) { return block ? malloc_usable_size(block) : 0; }

void Account(int64_t delta) {
  gBytesInUse = static_cast<uint64_t>(static_cast<int64_t>(gBytesInUse) + delta);
  if (gBytesInUse > gPeakBytes) gPeakBytes = gBytesInUse;
}

// Large blocks (pictures, tables of hundreds of thousands of colours) start on a huge-page
// boundary and ask the kernel for huge pages: taking fresh memory 4 KiB at a time costs a
// fault a page, which on some machines takes longer than the work done on the page.
constexpr size_t kHugePage = size_t{2} << 20;

void* TakeLarge(size_t size) {
  // Large blocks come straight from the kernel, each its own mapping, so that the advice
  // covers them and freeing returns them at once.
  static bool thresholdFixed = false;
  if (!thresholdFixed) {
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHugePage));
    thresholdFixed = true;
  }
  void* block = nullptr;
  if (posix_memalign(&block, kHugePage, size) != 0) return nullptr;
  madvise(block, size & ~(kHugePage - 1), MADV_HUGEPAGE);
  return block;
}

void* HeapTake(void* old, size_t size) {
  if (gFailNext > 0) {
    --gFailNext;
    return nullptr;
  }
  if (size == 0) size = 1;
  if (size < kHugePage) return old ? realloc(old, size) : malloc(size);
  if (!old) return TakeLarge(size);
  // Growing into a large block moves it, so that the new block is aligned and advised.
  const size_t oldSize = malloc_usable_size(old);
  if (oldSize >= size) return realloc(old, size);
  void* block = TakeLarge(size);
  if (!block) return nullptr;
  memcpy(block, old, oldSize);
  free(old);
  return block;
}

// Runs at most once: frees the emergency reserve so the alert can be built,
// lets the application tell the user, then ends the process with a failure code
// so that scripts see the failure. A failure while the alert is up exits at once.
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
  _Exit(kJOutOfMemoryExitCode);
}

// One purge-and-retry: there is nothing to purge here, so the retry simply asks again.
void* TakeOrDie(void* old, size_t size) {
  void* block = HeapTake(old, size);
  if (!block) block = HeapTake(old, size);
  if (!block) OutOfMemory();
  return block;
}

// Finds "Key:" at the start of a line and reads its figure in kB.
bool MeminfoField(const char* text, size_t length, const char* key, uint64_t* bytes) {
  size_t keyLength = strlen(key);
  size_t i = 0;
  while (i < length) {
    size_t lineEnd = i;
    while (lineEnd < length && text[lineEnd] != '\n') ++lineEnd;
    if (lineEnd - i > keyLength && memcmp(text + i, key, keyLength) == 0 && text[i + keyLength] == ':') {
      size_t p = i + keyLength + 1;
      while (p < lineEnd && text[p] == ' ') ++p;
      if (p == lineEnd || text[p] < '0' || text[p] > '9') return false;
      uint64_t kb = 0;
      for (; p < lineEnd && text[p] >= '0' && text[p] <= '9'; ++p) {
        if (kb > (UINT64_MAX / 1024 - 9) / 10) return false;
        kb = kb * 10 + static_cast<uint64_t>(text[p] - '0');
      }
      *bytes = kb * 1024;
      return true;
    }
    i = lineEnd + 1;
  }
  return false;
}

}  // namespace

void* JAlloc(size_t size) {
  void* block = TakeOrDie(nullptr, size);
  Account(static_cast<int64_t>(BlockSize(block)));
  JMemWatch();
  return block;
}

void* JRealloc(void* block, size_t size) {
  if (!block) return JAlloc(size);
  size_t oldSize = BlockSize(block);
  void* moved = TakeOrDie(block, size);
  Account(static_cast<int64_t>(BlockSize(moved)) - static_cast<int64_t>(oldSize));
  JMemWatch();
  return moved;
}

void JFree(void* block) {
  if (!block) return;
  Account(-static_cast<int64_t>(BlockSize(block)));
  free(block);
  JMemWatch();
}

void JGiveBackPages(void* start, size_t bytes) {
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(page - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
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

void JMemSetLowMemoryCallback(JLowMemoryProc proc, void* data) {
  gLowMemoryProc = proc;
  gLowMemoryData = data;
}

void JMemSetLevelProc(JMemLevelProc proc, void* data) {
  gLevelProc = proc;
  gLevelData = data;
}

void JMemSetTickProc(JTickProc proc, void* data) {
  gTickProc = proc;
  gTickData = data;
}

void JMemWatch() {
  if (gWatching) return;
  gWatching = true;
  JMemLevel level = Level();
  if (level == kJMemLow) {
    if (gMemoryReserve) {
      free(gMemoryReserve);
      gMemoryReserve = nullptr;
    }
    Notify(1);
  } else {
    if (gLastState == 1 && level == kJMemSufficient) Notify(0);
    if (!gMemoryReserve) gMemoryReserve = malloc(kMemoryReserveBytes);
  }
  gWatching = false;
}

bool JMemReserveHeld() { return gMemoryReserve != nullptr; }

bool JMemStatsFromMeminfo(const char* text, size_t length, JMemStats* stats) {
  uint64_t memTotal, memAvailable, swapTotal = 0, swapFree = 0;
  if (!MeminfoField(text, length, "MemTotal", &memTotal) || !MeminfoField(text, length, "MemAvailable", &memAvailable))
    return false;
  if (memTotal == 0 || memAvailable > memTotal) return false;
  if (!MeminfoField(text, length, "SwapTotal", &swapTotal) || !MeminfoField(text, length, "SwapFree", &swapFree) ||
      swapFree > swapTotal)
    swapTotal = swapFree = 0;
  // Physical load as a percentage, the way a memory-status call would report it.
  uint32_t load = static_cast<uint32_t>((memTotal - memAvailable) / (memTotal / 100 ? memTotal / 100 : 1));
  if (load > 100) load = 100;
  stats->total = memTotal + swapTotal;
  stats->free = memAvailable + swapFree;
  stats->used = stats->total - stats->free;
  stats->largest = stats->free;
  stats->temporary = 0;
  stats->percentFree = 100 - load;
  stats->percentUsed = load;
  return true;
}

void JMemGetStats(JMemStats* stats) {
  char text[8192];
  size_t length = 0;
  if (FILE* f = fopen("/proc/meminfo", "rb")) {
    length = fread(text, 1, sizeof text, f);
    fclose(f);
  }
  if (JMemStatsFromMeminfo(text, length, stats)) return;
  // Without the system's figures, show what the toolkit itself holds.
  stats->used = gBytesInUse;
  stats->free = 1048576;
  stats->total = stats->used + stats->free;
  stats->largest = stats->free;
  stats->temporary = 0;
  stats->percentFree = static_cast<uint32_t>(stats->free * 100 / stats->total);
  stats->percentUsed = 100 - stats->percentFree;
}

void JMemFailNextAllocations(int count) { gFailNext = count; }
