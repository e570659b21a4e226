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

// One cache line: a node of levels 1 to 7.
struct TreeNode {
  uint32_t slots[8];
  uint32_t leafColours[8];  // colour key of the leaf in each slot, kept beside the slots so
                            // that walks and searches need not visit the colour table; the
                            // search keeps a child node's stamp in its slot's word
};
static_assert(sizeof(TreeNode) == 64, "a tree node fills one cache line");

// A node of level 0 holds only leaves, and a leaf's colour there is the node's
// corner with the slot's bits (ChildBase), so it keeps no leaf colours, and,
// having no child nodes, no stamps: half a line. Most of a tree's nodes are at
// level 0 (70% of a smooth gradient's). The pool's blocks are half a line: a
// node of level 0 takes one, any other node a pair (one line). Both kinds start
// with their slots, so a walk needs the level only to reach the leaf colours.
struct TreeBottomNode {
  uint32_t slots[8];
};
static_assert(sizeof(TreeBottomNode) == 32, "two bottom nodes a cache line");

inline bool SlotIsLeaf(uint32_t slot) { return (slot & 1u) != 0; }
inline bool SlotIsNode(uint32_t slot) { return slot != 0 && (slot & 1u) == 0; }
inline uint32_t LeafIndex(uint32_t slot) { return slot >> 8; }
inline uint32_t LeafSlot(uint32_t index) { return index << 8 | 1u; }
inline uint32_t NodeSlot(uint32_t handle) { return handle << 1; }

// A node reference exists only once the pool does. TreeNodeAt is for a node of
// levels 1 to 7, TreeBottomNodeAt for one of level 0.
inline TreeBottomNode* TreeBottomNodeAt(uint32_t slotOrHandle2) {
  return BlockPoolBlock<TreeBottomNode>(gEngineTreeNodes, slotOrHandle2 >> 1);
}
inline TreeNode* TreeNodeAt(uint32_t slotOrHandle2) {
  return reinterpret_cast<TreeNode*>(TreeBottomNodeAt(slotOrHandle2));
}
// The slots of the node a reference names, of any level.
inline uint32_t* TreeSlotsAt(uint32_t ref) { return TreeBottomNodeAt(ref)->slots; }

// Slot s's bits placed in a colour key at level 0: red bit 2, green bit 1, blue bit 0.
constexpr uint32_t kSlotCorner[8] = {0x000000, 0x000001, 0x000100, 0x000101,
                                     0x010000, 0x010001, 0x010100, 0x010101};

// Corner of the child in slot s of a node at `level` whose corner is `base`; at
// level 0 the colour of the leaf in slot s.
inline uint32_t ChildBase(uint32_t base, uint32_t s, int level) { return base | kSlotCorner[s] << level; }

// Slot of a colour key at a level.
inline uint32_t ColourSlot(uint32_t colour, int level) {
  const uint32_t bits = (colour >> level) & 0x010101u;  // blue in bit 0, green in 8, red in 16
  return (bits | bits >> 7 | bits >> 14) & 7u;
}

// A new empty node at a level (the root is at 7), as a node reference (an even slot word).
uint32_t ColourTreeNew(int level = 7);
// Counts one pixel of a colour; returns the colour's index.
uint32_t ColourTreeAdd(uint32_t root, ColourTable* table, uint32_t colour);
// Index of a colour, appended to the table (count 1) and the tree when new;
// *added tells which. Counts nothing for a colour already there.
uint32_t ColourTreeLocate(uint32_t root, ColourTable* table, uint32_t colour, bool* added);
// Takes a colour's leaf out of the tree.
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
