#include "app/colour/BlockPool.h"

#include <cstring>

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourTree.h"
#include "jindep/memory.h"

BlockPool* BlockPoolCreate(uint16_t blocksPerChunk, uint16_t blockSize) {
  BlockPool* pool = static_cast<BlockPool*>(JAlloc(sizeof(BlockPool)));
  pool->blocksPerChunk = blocksPerChunk;
  pool->blockSize = blockSize < 4 ? 4 : blockSize;
  pool->chunkBytes = static_cast<uint32_t>(blocksPerChunk) * pool->blockSize;
  pool->live = 0;
  pool->chunkShift = 0;
  while ((1u << pool->chunkShift) < blocksPerChunk) ++pool->chunkShift;
  pool->chunkCount = 0;
  pool->chunkCapacity = 0;
  pool->chunks = nullptr;
  pool->freeList = 0;
  return pool;
}

namespace {

constexpr uintptr_t kLine = 64;

// A chunk is allocated one line larger than its blocks need; the blocks start at
// the next line boundary past the allocation's start, and the byte just before
// them tells how far that is (1 .. 64), so the allocation can be found again.
uint8_t* NewChunk(uint32_t chunkBytes) {
  uint8_t* raw = static_cast<uint8_t*>(JAlloc(chunkBytes + kLine));
  uint8_t* blocks = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(raw) + kLine) & ~(kLine - 1));
  blocks[-1] = static_cast<uint8_t>(blocks - raw);
  return blocks;
}

void FreeChunk(uint8_t* blocks) { JFree(blocks - blocks[-1]); }

}  // namespace

static void ReleaseChunks(BlockPool* pool) {
  for (uint32_t i = pool->chunkCount; i > 0; --i) FreeChunk(pool->chunks[i - 1]);
  JFree(pool->chunks);
  pool->chunks = nullptr;
  pool->chunkCount = 0;
  pool->chunkCapacity = 0;
  pool->freeList = 0;
}

void BlockPoolDestroy(BlockPool* pool) {
  ReleaseChunks(pool);
  JFree(pool);
}

uint32_t BlockPoolGet(BlockPool* pool) {
  if (pool->freeList == 0) {
    if (pool->chunkCount == pool->chunkCapacity) {
      pool->chunkCapacity = pool->chunkCapacity ? pool->chunkCapacity * 2 : 32;
      pool->chunks = static_cast<uint8_t**>(JRealloc(pool->chunks, pool->chunkCapacity * sizeof(uint8_t*)));
    }
    uint8_t* chunk = NewChunk(pool->chunkBytes);
    uint32_t first = (pool->chunkCount << pool->chunkShift) + 1;
    pool->chunks[pool->chunkCount++] = chunk;
    for (uint32_t i = 0; i < pool->blocksPerChunk; ++i) {
      uint32_t next = i + 1 < pool->blocksPerChunk ? first + i + 1 : 0;
      std::memcpy(chunk + static_cast<size_t>(i) * pool->blockSize, &next, sizeof next);
    }
    pool->freeList = first;
  }
  ++pool->live;
  uint32_t handle = pool->freeList;
  std::memcpy(&pool->freeList, BlockPoolAddress(pool, handle), sizeof(uint32_t));
  return handle;
}

void BlockPoolPut(BlockPool* pool, uint32_t handle) {
  std::memcpy(BlockPoolAddress(pool, handle), &pool->freeList, sizeof(uint32_t));
  pool->freeList = handle;
  --pool->live;
  if (pool->live == 0 && pool->chunkCount > 0) ReleaseChunks(pool);
}

uint64_t BlockPoolBytes(const BlockPool* pool) {
  return static_cast<uint64_t>(pool->chunkCount) * pool->chunkBytes;
}

BlockPool* gEngineTreeNodes = nullptr;
BlockPool* gEngineGraphNodes = nullptr;

void EngineInit() {
  if (!gEngineTreeNodes) gEngineTreeNodes = BlockPoolCreate(kTreeNodesPerChunk, sizeof(TreeNode));
  if (!gEngineGraphNodes) gEngineGraphNodes = BlockPoolCreate(kGraphNodesPerChunk, sizeof(GraphNode));
}
