// A fixed-size block allocator. Blocks are named by 32-bit handles rather than
// addresses, so structures that must stay compact (a tree slot is one 32-bit
// word) can refer to any block on a 64-bit machine. Handle 0 is never used.
// The blocks lie in one array, handle h at h blocks from its start, so finding a
// block is one multiplication and never a lookup: the searches and the merging
// follow handles millions of times. The array grows by doubling (a caller that
// knows how many blocks it will take reserves them first, and nothing is moved);
// when the last block comes back the array is freed, so an idle pool holds no
// memory. The array starts on a cache-line boundary, so blocks of 64 bytes each
// fill exactly one line, and so does a pair of 32-byte blocks taken together (an
// even handle and the next). A block's address holds only until the pool next grows.
#pragma once
#include <cstddef>
#include <cstdint>

struct BlockPool {
  uint16_t blocksPerChunk;  // the array grows by at least this many blocks
  uint16_t blockSize;       // bytes, at least 4
  uint32_t chunkBytes;
  uint32_t live;      // blocks handed out and not yet returned
  uint32_t made;      // handles handed out so far at least once (1 .. made)
  uint32_t capacity;  // handles the array has room for (1 .. capacity)
  uint8_t* blocks;    // the array; its entry 0 stands for handle 0 and is never used
  uint32_t freeList;  // handle of the first returned block, 0 when none; linked through each block's first word
  uint32_t freePairs;  // the same for returned pairs
};

BlockPool* BlockPoolCreate(uint16_t blocksPerChunk, uint16_t blockSize);
void BlockPoolDestroy(BlockPool* pool);
uint32_t BlockPoolGet(BlockPool* pool);
void BlockPoolPut(BlockPool* pool, uint32_t handle);
// Two adjacent blocks, the first at an even handle, which is returned. When the
// next handle is odd, that block waits among the returned ones for the next Get.
uint32_t BlockPoolGetPair(BlockPool* pool);
void BlockPoolPutPair(BlockPool* pool, uint32_t handle);
// Makes room for `count` more blocks than have been made, so that taking them moves nothing.
void BlockPoolReserve(BlockPool* pool, uint32_t count);
// Gives the system back the pages of the array past the blocks made so far (a
// reserve larger than the need would otherwise hold the huge page it ends in).
// The array keeps its room: blocks taken later come from fresh pages.
void BlockPoolTrim(BlockPool* pool);
// Bytes the pool holds (0 when every block is back).
uint64_t BlockPoolBytes(const BlockPool* pool);

// The address of a block of a pool whose block type is known where it is called.
template <typename Block>
inline Block* BlockPoolBlock(const BlockPool* pool, uint32_t handle) {
  return reinterpret_cast<Block*>(pool->blocks) + handle;
}

inline void* BlockPoolAddress(const BlockPool* pool, uint32_t handle) {
  return pool->blocks + static_cast<size_t>(handle) * pool->blockSize;
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
