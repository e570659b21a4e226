#include "app/colour/BlockPool.h"

#include <cstring>

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourTree.h"
#include "jindep/memory.h"

BlockPool* BlockPoolCreate(uint16_t blocksPerChunk, uint16_t blockSize) {
  BlockPool* pool = static_cast<BlockPool*>(JAlloc(sizeof(BlockPool)));
  pool->blocksPerChunk = blocksPerChunk ? blocksPerChunk : 1;
  pool->blockSize = blockSize < 4 ? 4 : blockSize;
  pool->chunkBytes = static_cast<uint32_t>(pool->blocksPerChunk) * pool->blockSize;
  pool->live = 0;
  pool->made = 0;
  pool->capacity = 0;
  pool->blocks = nullptr;
  pool->freeList = 0;
  pool->freePairs = 0;
  return pool;
}

namespace {

constexpr uintptr_t kLine = 64;

// The array is allocated one line larger than its blocks need; the blocks start at
// the next line boundary past the allocation's start, and the byte just before
// them tells how far that is (1 .. 64), so the allocation can be found again.
uint8_t* NewArray(size_t bytes) {
  uint8_t* raw = static_cast<uint8_t*>(JAlloc(bytes + kLine));
  uint8_t* blocks = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(raw) + kLine) & ~(kLine - 1));
  blocks[-1] = static_cast<uint8_t>(blocks - raw);
  return blocks;
}

void FreeArray(uint8_t* blocks) {
  if (blocks) JFree(blocks - blocks[-1]);
}

void Resize(BlockPool* pool, uint64_t capacity) {
  if (capacity > UINT32_MAX - 1) capacity = UINT32_MAX - 1;
  uint8_t* grown = NewArray((capacity + 1) * pool->blockSize);
  if (pool->blocks) std::memcpy(grown, pool->blocks, (static_cast<size_t>(pool->made) + 1) * pool->blockSize);
  FreeArray(pool->blocks);
  pool->blocks = grown;
  pool->capacity = static_cast<uint32_t>(capacity);
}

void Release(BlockPool* pool) {
  FreeArray(pool->blocks);
  pool->blocks = nullptr;
  pool->made = 0;
  pool->capacity = 0;
  pool->freeList = 0;
  pool->freePairs = 0;
}

// Room for `count` more blocks than have been made.
void MakeRoom(BlockPool* pool, uint32_t count) {
  const uint64_t wanted = static_cast<uint64_t>(pool->made) + count;
  if (wanted <= pool->capacity) return;
  const uint64_t doubled = 2 * static_cast<uint64_t>(pool->capacity);
  const uint64_t grown = doubled > pool->blocksPerChunk ? doubled : pool->blocksPerChunk;
  Resize(pool, grown > wanted ? grown : wanted);
}

uint32_t Pop(BlockPool* pool, uint32_t* list) {
  const uint32_t handle = *list;
  std::memcpy(list, BlockPoolAddress(pool, handle), sizeof(uint32_t));
  return handle;
}

void Push(BlockPool* pool, uint32_t* list, uint32_t handle) {
  std::memcpy(BlockPoolAddress(pool, handle), list, sizeof(uint32_t));
  *list = handle;
}

}  // namespace

void BlockPoolDestroy(BlockPool* pool) {
  Release(pool);
  JFree(pool);
}

void BlockPoolReserve(BlockPool* pool, uint32_t count) {
  const uint64_t wanted = static_cast<uint64_t>(pool->made) + count;
  if (wanted > pool->capacity) Resize(pool, wanted);
}

uint32_t BlockPoolGet(BlockPool* pool) {
  ++pool->live;
  if (pool->freeList != 0) return Pop(pool, &pool->freeList);
  MakeRoom(pool, 1);
  return ++pool->made;
}

void BlockPoolPut(BlockPool* pool, uint32_t handle) {
  Push(pool, &pool->freeList, handle);
  --pool->live;
  if (pool->live == 0) Release(pool);
}

uint32_t BlockPoolGetPair(BlockPool* pool) {
  pool->live += 2;
  if (pool->freePairs != 0) return Pop(pool, &pool->freePairs);
  const bool oddNext = pool->made % 2 == 0;
  MakeRoom(pool, oddNext ? 3 : 2);
  if (oddNext) Push(pool, &pool->freeList, ++pool->made);
  pool->made += 2;
  return pool->made - 1;
}

void BlockPoolPutPair(BlockPool* pool, uint32_t handle) {
  Push(pool, &pool->freePairs, handle);
  pool->live -= 2;
  if (pool->live == 0) Release(pool);
}

void BlockPoolTrim(BlockPool* pool) {
  if (!pool->blocks) return;
  const size_t used = (static_cast<size_t>(pool->made) + 1) * pool->blockSize;
  JGiveBackPages(pool->blocks + used, (static_cast<size_t>(pool->capacity) - pool->made) * pool->blockSize);
}

uint64_t BlockPoolBytes(const BlockPool* pool) {
  return pool->blocks ? (static_cast<uint64_t>(pool->capacity) + 1) * pool->blockSize : 0;
}

BlockPool* gEngineTreeNodes = nullptr;
BlockPool* gEngineGraphNodes = nullptr;

void EngineInit() {
  if (!gEngineTreeNodes) gEngineTreeNodes = BlockPoolCreate(kTreeNodesPerChunk, sizeof(TreeBottomNode));
  if (!gEngineGraphNodes) gEngineGraphNodes = BlockPoolCreate(kGraphNodesPerChunk, sizeof(GraphNode));
}
