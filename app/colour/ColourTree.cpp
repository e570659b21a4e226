#include "app/colour/ColourTree.h"

static uint32_t NewNode() {
  uint32_t handle = BlockPoolGet(TreeNodePool());
  TreeNode* node = static_cast<TreeNode*>(BlockPoolAddress(TreeNodePool(), handle));
  for (uint32_t& s : node->slots) s = 0;
  for (uint32_t& c : node->leafColours) c = 0;
  return NodeSlot(handle);
}

uint32_t ColourTreeNew() { return NewNode(); }

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
    TreeNode* node = TreeNodeAt(nodeRef);
    uint32_t s = ColourSlot(colour, level);
    uint32_t slot = node->slots[s];
    if (slot == 0) {
      uint32_t appended = ColourTableAppend(table, colour);
      node->slots[s] = LeafSlot(appended);
      node->leafColours[s] = colour;
      *added = true;
      return appended;
    }
    if (SlotIsNode(slot)) {
      nodeRef = slot;
      --level;
      continue;
    }
    uint32_t index = LeafIndex(slot);
    uint32_t other = node->leafColours[s];
    if (other == colour) return index;
    // Split: the two colours share this slot, so they go one level down.
    const uint32_t child = NewNode();  // may move the nodes
    TreeNodeAt(nodeRef)->slots[s] = child;
    --level;
    nodeRef = child;
    node = TreeNodeAt(child);
    node->slots[ColourSlot(other, level)] = LeafSlot(index);
    node->leafColours[ColourSlot(other, level)] = other;
  }
}

uint32_t ColourTreeFind(uint32_t root, uint32_t colour) {
  uint32_t slot = root;
  for (int level = 7; level >= 0; --level) {
    slot = TreeNodeAt(slot)->slots[ColourSlot(colour, level)];
    if (slot == 0) return 0;
    if (SlotIsLeaf(slot)) return LeafIndex(slot);
  }
  return 0;
}

// A node left with a single leaf (or nothing) gives way to it; a node with two
// occupied slots or with a child node stays.
static uint32_t Collapse(uint32_t nodeRef, uint32_t* leafColour) {
  TreeNode* node = TreeNodeAt(nodeRef);
  uint32_t only = 0;
  bool seen = false;
  for (uint32_t s = 0; s < 8; ++s) {
    uint32_t slot = node->slots[s];
    if (slot == 0) continue;
    if (seen || SlotIsNode(slot)) return nodeRef;
    seen = true;
    only = slot;
    *leafColour = node->leafColours[s];
  }
  BlockPoolPut(TreeNodePool(), nodeRef >> 1);
  return only;
}

void ColourTreeRemoveColour(uint32_t root, uint32_t colour) {
  // The nodes on the colour's path above its leaf, and the slot taken in each.
  uint32_t above[8];
  uint32_t aboveSlot[8];
  int depth = 0;
  uint32_t nodeRef = root;
  for (int level = 7;; --level) {
    TreeNode* node = TreeNodeAt(nodeRef);
    const uint32_t s = ColourSlot(colour, level);
    const uint32_t slot = node->slots[s];
    if (!SlotIsNode(slot)) {
      node->slots[s] = 0;
      break;
    }
    above[depth] = nodeRef;
    aboveSlot[depth] = s;
    ++depth;
    nodeRef = slot;
  }
  // Collapse from the bottom up. A node that stays leaves every node above it
  // as it was, and those already met the rule, so the walk stops there.
  while (depth > 0) {
    uint32_t leafColour = 0;
    const uint32_t collapsed = Collapse(nodeRef, &leafColour);
    if (collapsed == nodeRef) return;
    --depth;
    TreeNode* parent = TreeNodeAt(above[depth]);
    parent->slots[aboveSlot[depth]] = collapsed;
    if (SlotIsLeaf(collapsed)) parent->leafColours[aboveSlot[depth]] = leafColour;
    nodeRef = above[depth];
  }
}

void ColourTreeRemove(uint32_t root, const ColourTable* table, uint32_t index) {
  ColourTreeRemoveColour(root, table->records[index].colour);
}

void ColourTreeFree(uint32_t root) {
  TreeNode* node = TreeNodeAt(root);
  for (uint32_t s = 0; s < 8; ++s) {
    if (SlotIsNode(node->slots[s])) {
      ColourTreeFree(node->slots[s]);
      node = TreeNodeAt(root);
    }
  }
  BlockPoolPut(TreeNodePool(), root >> 1);
}
