// Temporary memory: blocks that live until the end of the current event-loop step.
// The event loop marks at the start of every step and releases at its end; marks
// nest, and a release frees only what was taken since the most recent mark.
#pragma once
#include <cstddef>

void JTempMark();
// Frees every temporary block above the most recent mark, then drops the mark.
// A release with no mark left is reported on the debug channel and frees nothing more.
void JTempRelease();
// A JAlloc block that the next release frees; never null.
void* JTempAlloc(size_t size);
// Hands an existing JAlloc block to temporary memory; the next release frees it.
void JTempAdopt(void* block);
// Number of entries (blocks and marks) on the temporary stack.
size_t JTempDepth();

// Two scratch buffers (index 0 and 1) that only grow: answers a block of at least
// `size` bytes. Contents are not kept across calls as a promise. Buffer 1 is the
// formatted-text engine's.
void* JScratchBuffer(int index, size_t size);
