// A fixed-size block allocator. Blocks are named by 32-bit handles rather than
// addresses, so structures that must stay compact (a tree slot is one 32-bit
// word) can refer to any block on a 64-bit machine. Handle 0 is never used.
// Chunks are carved into blocks threaded in address order; when the last block
// comes back every chunk is freed, so an idle pool holds no memory. Chunks start
// on a cache-line boundary, so blocks of 64 bytes each fill exactly one line.
#pragma once
#include <cstddef>
#include <cstdint>

struct BlockPool {
  uint16_t blocksPerChunk;  // a power of two
  uint16_t blockSize;       // bytes, at least 4
  uint32_t chunkBytes;
  uint32_t live;            // blocks handed out and not yet returned
  uint32_t chunkShift;      // log2(blocksPerChunk)
  uint32_t chunkCount;
  uint32_t chunkCapacity;
  uint8_t** chunks;  // each chunk's first block (64-byte aligned inside its allocation)
  uint32_t freeList;  // handle of the first free block, 0 when none; linked through each block's first word
};

BlockPool* BlockPoolCreate(uint16_t blocksPerChunk, uint16_t blockSize);
void BlockPoolDestroy(BlockPool* pool);
uint32_t BlockPoolGet(BlockPool* pool);
void BlockPoolPut(BlockPool* pool, uint32_t handle);
// Bytes the pool holds in chunks (0 when every block is back).
uint64_t BlockPoolBytes(const BlockPool* pool);

// The address of a block of a pool whose blocks per chunk and block size are
// known where it is called: the lookups that search and merge use most.
template <typename Block, uint32_t blocksPerChunk>
inline Block* BlockPoolBlock(const BlockPool* pool, uint32_t handle) {
  static_assert((blocksPerChunk & (blocksPerChunk - 1)) == 0, "a power of two");
  const uint32_t slot = handle - 1;
  return reinterpret_cast<Block*>(pool->chunks[slot / blocksPerChunk]) + slot % blocksPerChunk;
}

inline void* BlockPoolAddress(const BlockPool* pool, uint32_t handle) {
  uint32_t slot = handle - 1;
  return pool->chunks[slot >> pool->chunkShift] +
         static_cast<size_t>(slot & (pool->blocksPerChunk - 1u)) * pool->blockSize;
}

// The engine's two pools, made once by EngineInit and kept for the whole run.
constexpr uint16_t kTreeNodesPerChunk = 32;
constexpr uint16_t kGraphNodesPerChunk = 64;
void EngineInit();
extern BlockPool* gEngineTreeNodes;
extern BlockPool* gEngineGraphNodes;
inline BlockPool* TreeNodePool() {
  if (!gEngineTreeNodes) EngineInit();
  return gEngineTreeNodes;
}
inline BlockPool* GraphNodePool() {
  if (!gEngineGraphNodes) EngineInit();
  return gEngineGraphNodes;
}
