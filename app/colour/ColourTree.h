// An octree over the bits of the red, green and blue components whose leaves
// carry colour indices. A node at level l picks its slot by bit l of each
// component; the root is at level 7. A leaf sits in the first slot of its
// colour's path that no other colour shares, so the tree has only as many
// nodes as the colours' shared bit prefixes need.
//
// A slot is one 32-bit word: 0 empty, (index << 8) | 1 a leaf, otherwise an even
// node reference (the node's pool handle << 1). References are pool handles,
// never addresses, so the words stay 32 bits on a 64-bit machine.
#pragma once
#include <cstdint>

#include "app/colour/BlockPool.h"
#include "app/colour/ColourTable.h"

// One cache line. A node's search stamp (the last search that examined its whole
// subtree) is kept by the search in an array by node handle, beside the tree,
// so that the stamps a search reads and writes lie together in a few lines.
struct TreeNode {
  uint32_t slots[8];
  uint32_t leafColours[8];  // colour key of the leaf in each slot, kept beside the slots so
                            // that walks and searches need not visit the colour table
};
static_assert(sizeof(TreeNode) == 64, "a tree node fills one cache line");

inline bool SlotIsLeaf(uint32_t slot) { return (slot & 1u) != 0; }
inline bool SlotIsNode(uint32_t slot) { return slot != 0 && (slot & 1u) == 0; }
inline uint32_t LeafIndex(uint32_t slot) { return slot >> 8; }
inline uint32_t LeafSlot(uint32_t index) { return index << 8 | 1u; }
inline uint32_t NodeSlot(uint32_t handle) { return handle << 1; }

// A node reference exists only once the pool does.
inline TreeNode* TreeNodeAt(uint32_t slotOrHandle2) {
  return BlockPoolBlock<TreeNode>(gEngineTreeNodes, slotOrHandle2 >> 1);
}

// Slot of a colour key at a level.
inline uint32_t ColourSlot(uint32_t colour, int level) {
  const uint32_t bits = (colour >> level) & 0x010101u;  // blue in bit 0, green in 8, red in 16
  return (bits | bits >> 7 | bits >> 14) & 7u;
}

// The root is returned as a node reference (an even slot word).
uint32_t ColourTreeNew();
// Counts one pixel of a colour; returns the colour's index.
uint32_t ColourTreeAdd(uint32_t root, ColourTable* table, uint32_t colour);
// Index of a colour, appended to the table (count 1) and the tree when new;
// *added tells which. Counts nothing for a colour already there.
uint32_t ColourTreeLocate(uint32_t root, ColourTable* table, uint32_t colour, bool* added);
// Index of a colour known to be in the tree; 0 when the path ends in an empty slot.
uint32_t ColourTreeFind(uint32_t root, uint32_t colour);
void ColourTreeRemove(uint32_t root, const ColourTable* table, uint32_t index);
// The same, given the colour itself.
void ColourTreeRemoveColour(uint32_t root, uint32_t colour);
void ColourTreeFree(uint32_t root);
// Gives an empty tree (a new root) a leaf for every record of the table, in
// depth-first order of nodes. The tree is the one that adding the colours one by
// one would make; only where its nodes lie in memory differs. The table's
// colours must be distinct. `scratch` and `spare` each have room for one entry a colour.
struct TreePathEntry {
  uint32_t path;   // the colour's slots from level 7 down, three bits each
  uint32_t index;  // the colour's index
};
void ColourTreeBuild(uint32_t root, const ColourTable* table, TreePathEntry* scratch, TreePathEntry* spare);
