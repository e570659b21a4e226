#include "jindep/Ji_tempm.h"

#include "jindep/debug.h"
#include "jindep/list.h"
#include "jindep/memory.h"

namespace {

// Entries are block addresses or the mark, a word with all bits set that no block can have.
constexpr uintptr_t kMark = ~static_cast<uintptr_t>(0);
constexpr int kScratchCount = 2;

JList gStack = {};

struct Scratch {
  size_t capacity;
  void* block;
};
Scratch gScratch[kScratchCount] = {};

}  // namespace

void JTempMark() { JListPushEnd(&gStack, kMark); }

void JTempRelease() {
  while (gStack.count > 0) {
    uintptr_t top = JListLast(&gStack);
    JListRemove(&gStack);
    if (top == kMark) return;
    JFree(reinterpret_cast<void*>(top));
  }
  JDebugReport("jindep/Ji_tempm", __LINE__, "Temporary release without a mark");
}

void* JTempAlloc(size_t size) {
  void* block = JAlloc(size);
  JTempAdopt(block);
  return block;
}

void JTempAdopt(void* block) {
  if (block) JListPushEnd(&gStack, reinterpret_cast<uintptr_t>(block));
}

size_t JTempDepth() { return gStack.count; }

void* JScratchBuffer(int index, size_t size) {
  if (index < 0 || index >= kScratchCount) {
    JDebugReport("jindep/Ji_tempm", __LINE__, "No such scratch buffer");
    index = 0;
  }
  Scratch& s = gScratch[index];
  if (!s.block || size > s.capacity) {
    s.block = JRealloc(s.block, size);
    s.capacity = size;
  }
  return s.block;
}
