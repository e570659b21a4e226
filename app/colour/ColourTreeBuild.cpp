// Building a whole colour tree at once from the distinct colours of a picture.
// The shape of the tree depends only on which colours it holds: a node exists
// exactly where two colours share the path to it, and a leaf sits at the first
// slot its colour has to itself. So the colours are grouped by their path
// through the tree (the bits of red, green and blue interleaved from the top
// level down), one level at a time and in place, and every node is made once,
// in depth-first order, with no node ever split and no colour walked down from
// the root.
#include "app/colour/ColourTree.h"

namespace {

// Bit l of a byte moved to bit 3l.
constexpr uint32_t Spread(uint32_t v) {
  uint32_t out = 0;
  for (int l = 0; l < 8; ++l) out |= ((v >> l) & 1u) << (3 * l);
  return out;
}

struct SpreadTable {
  uint32_t bits[256];
  constexpr SpreadTable() : bits() {
    for (uint32_t v = 0; v < 256; ++v) bits[v] = Spread(v);
  }
};
constexpr SpreadTable kSpread;

// The colour's slots from level 7 down to 0, three bits each, level 7 highest.
inline uint32_t TreePath(uint32_t colour) {
  return kSpread.bits[(colour >> 16) & 0xFF] << 2 | kSpread.bits[(colour >> 8) & 0xFF] << 1 |
         kSpread.bits[colour & 0xFF];
}

inline uint32_t ColourOfPath(uint32_t path) {
  uint32_t colour = 0;
  for (int l = 0; l < 8; ++l) {
    const uint32_t s = (path >> (3 * l)) & 7u;
    colour |= (s & 1u) << l | ((s >> 1) & 1u) << (8 + l) | ((s >> 2) & 1u) << (16 + l);
  }
  return colour;
}

inline uint32_t SlotAt(uint32_t path, int level) { return (path >> (3 * level)) & 7u; }

// Fills the node at `level` with the entries below it (at least one), all of
// which share the path down to it. The entries are first put in order of their
// slot at this level, in place, so that each slot's colours lie together.
void Fill(uint32_t nodeRef, int level, TreePathEntry* entries, size_t n) {
  size_t start[8] = {};
  for (size_t i = 0; i < n; ++i) ++start[SlotAt(entries[i].path, level)];
  size_t end[8];
  size_t sum = 0;
  for (int s = 0; s < 8; ++s) {
    const size_t count = start[s];
    start[s] = sum;
    sum += count;
    end[s] = sum;
  }
  size_t next[8];
  for (int s = 0; s < 8; ++s) next[s] = start[s];
  for (uint32_t s = 0; s < 8; ++s) {
    while (next[s] < end[s]) {
      const uint32_t home = SlotAt(entries[next[s]].path, level);
      if (home == s) {
        ++next[s];
      } else {
        const TreePathEntry moved = entries[next[s]];
        entries[next[s]] = entries[next[home]];
        entries[next[home]++] = moved;
      }
    }
  }
  for (uint32_t s = 0; s < 8; ++s) {
    const size_t count = end[s] - start[s];
    if (count == 0) continue;
    const TreePathEntry* first = &entries[start[s]];
    // Distinct colours always part by level 0; a repeated colour keeps one leaf.
    if (count == 1 || level == 0) {
      TreeNode* node = TreeNodeAt(nodeRef);
      node->slots[s] = LeafSlot(first->index);
      node->leafColours[s] = ColourOfPath(first->path);
    } else {
      const uint32_t child = ColourTreeNew();
      TreeNodeAt(nodeRef)->slots[s] = child;
      Fill(child, level - 1, &entries[start[s]], count);
    }
  }
}

}  // namespace

void ColourTreeBuild(uint32_t root, const ColourTable* table, TreePathEntry* scratch) {
  const uint32_t n = table->count;
  // Pictures need a quarter to a third of a node a colour; room for half a node
  // a colour spares the array from moving while it fills.
  BlockPoolReserve(TreeNodePool(), n / 2 + 8);
  for (uint32_t i = 0; i < n; ++i) scratch[i] = {TreePath(table->records[i].colour), i};
  if (n > 0) Fill(root, 7, scratch, n);
}
