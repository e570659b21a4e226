#include "app/colour/ColourTree.h"

uint32_t ColourTreeNew(int level) {
  if (level == 0) {
    const uint32_t ref = NodeSlot(BlockPoolGet(TreeNodePool()));
    for (uint32_t& s : TreeBottomNodeAt(ref)->slots) s = 0;
    return ref;
  }
  const uint32_t ref = NodeSlot(BlockPoolGetPair(TreeNodePool()));
  TreeNode* node = TreeNodeAt(ref);
  for (uint32_t& s : node->slots) s = 0;
  for (uint32_t& c : node->leafColours) c = 0;
  return ref;
}

namespace {

// Gives back a node at `level`.
void PutNode(uint32_t ref, int level) {
  if (level) {
    BlockPoolPutPair(TreeNodePool(), ref >> 1);
  } else {
    BlockPoolPut(TreeNodePool(), ref >> 1);
  }
}

// Puts a leaf in slot s of a node at `level`.
void PutLeaf(uint32_t ref, int level, uint32_t s, uint32_t index, uint32_t colour) {
  TreeSlotsAt(ref)[s] = LeafSlot(index);
  if (level) TreeNodeAt(ref)->leafColours[s] = colour;
}

}  // namespace

uint32_t ColourTreeAdd(uint32_t root, ColourTable* table, uint32_t colour) {
  bool added = false;
  uint32_t index = ColourTreeLocate(root, table, colour, &added);
  if (!added) ++table->records[index].count;
  return index;
}

uint32_t ColourTreeLocate(uint32_t root, ColourTable* table, uint32_t colour, bool* added) {
  *added = false;
  int level = 7;
  uint32_t nodeRef = root;
  for (;;) {
    const uint32_t s = ColourSlot(colour, level);
    const uint32_t slot = TreeSlotsAt(nodeRef)[s];
    if (slot == 0) {
      const uint32_t appended = ColourTableAppend(table, colour);
      PutLeaf(nodeRef, level, s, appended, colour);
      *added = true;
      return appended;
    }
    if (SlotIsNode(slot)) {
      nodeRef = slot;
      --level;
      continue;
    }
    const uint32_t index = LeafIndex(slot);
    // At level 0 the colour's own slot can hold no other colour.
    if (level == 0) return index;
    const uint32_t other = TreeNodeAt(nodeRef)->leafColours[s];
    if (other == colour) return index;
    // Split: the two colours share this slot, so they go one level down.
    const uint32_t child = ColourTreeNew(level - 1);  // may move the nodes
    TreeNodeAt(nodeRef)->slots[s] = child;
    --level;
    nodeRef = child;
    PutLeaf(child, level, ColourSlot(other, level), index, other);
  }
}

namespace {

// A node left with a single leaf (or nothing) gives way to it; a node with two
// occupied slots or with a child node stays. `colour` is one on the node's path,
// which gives a leaf's colour at level 0.
uint32_t Collapse(uint32_t nodeRef, int level, uint32_t colour, uint32_t* leafColour) {
  const uint32_t* slots = TreeSlotsAt(nodeRef);
  uint32_t only = 0;
  bool seen = false;
  for (uint32_t s = 0; s < 8; ++s) {
    const uint32_t slot = slots[s];
    if (slot == 0) continue;
    if (seen || SlotIsNode(slot)) return nodeRef;
    seen = true;
    only = slot;
    *leafColour = level ? TreeNodeAt(nodeRef)->leafColours[s] : ChildBase(colour & ~0x010101u, s, 0);
  }
  PutNode(nodeRef, level);
  return only;
}

}  // namespace

void ColourTreeRemoveColour(uint32_t root, uint32_t colour) {
  // The nodes on the colour's path above its leaf, and the slot taken in each.
  uint32_t above[8];
  uint32_t aboveSlot[8];
  int depth = 0;
  uint32_t nodeRef = root;
  int level = 7;
  for (;; --level) {
    uint32_t* slots = TreeSlotsAt(nodeRef);
    const uint32_t s = ColourSlot(colour, level);
    const uint32_t slot = slots[s];
    if (!SlotIsNode(slot)) {
      slots[s] = 0;
      break;
    }
    above[depth] = nodeRef;
    aboveSlot[depth] = s;
    ++depth;
    nodeRef = slot;
  }
  // Collapse from the bottom up. A node that stays leaves every node above it
  // as it was, and those already met the rule, so the walk stops there.
  for (; depth > 0; ++level) {
    uint32_t leafColour = 0;
    const uint32_t collapsed = Collapse(nodeRef, level, colour, &leafColour);
    if (collapsed == nodeRef) return;
    --depth;
    TreeNode* parent = TreeNodeAt(above[depth]);
    parent->slots[aboveSlot[depth]] = collapsed;
    if (SlotIsLeaf(collapsed)) parent->leafColours[aboveSlot[depth]] = leafColour;
    nodeRef = above[depth];
  }
}

namespace {

void FreeNode(uint32_t ref, int level) {
  for (uint32_t s = 0; s < 8; ++s) {
    const uint32_t slot = TreeSlotsAt(ref)[s];
    if (SlotIsNode(slot)) FreeNode(slot, level - 1);
  }
  PutNode(ref, level);
}

}  // namespace

void ColourTreeFree(uint32_t root) { FreeNode(root, 7); }
