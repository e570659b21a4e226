// Building a whole colour tree at once from the distinct colours of a picture.
// The shape of the tree depends only on which colours it holds: a node exists
// exactly where two colours share the path to it, and a leaf sits at the first
// slot its colour has to itself. So the colours are sorted by their path through
// the tree (the bits of red, green and blue interleaved from the top level down),
// which is depth-first order; then each colour's leaf lies as deep as the longer
// of the path prefixes it shares with its neighbours in that order, and the nodes
// below the prefix it shares with the colour before it are new. One pass over the
// sorted colours makes every node once, in depth-first order.
#include "app/colour/ColourTree.h"

namespace {

// Bit l of a byte moved to bit 3l.
constexpr uint32_t Spread(uint32_t v) {
  uint32_t out = 0;
  for (int l = 0; l < 8; ++l) out |= ((v >> l) & 1u) << (3 * l);
  return out;
}

// The colour bits of three levels of a path (nine bits): the inverse of Spread.
constexpr uint32_t Gather(uint32_t path) {
  uint32_t colour = 0;
  for (int l = 0; l < 3; ++l) {
    const uint32_t s = (path >> (3 * l)) & 7u;
    colour |= (s & 1u) << l | ((s >> 1) & 1u) << (8 + l) | ((s >> 2) & 1u) << (16 + l);
  }
  return colour;
}

struct PathTables {
  uint32_t spread[256];
  uint32_t gather[512];
  constexpr PathTables() : spread(), gather() {
    for (uint32_t v = 0; v < 256; ++v) spread[v] = Spread(v);
    for (uint32_t v = 0; v < 512; ++v) gather[v] = Gather(v);
  }
};
constexpr PathTables kPaths;

// The colour's slots from level 7 down to 0, three bits each, level 7 highest.
inline uint32_t TreePath(uint32_t colour) {
  return kPaths.spread[(colour >> 16) & 0xFF] << 2 | kPaths.spread[(colour >> 8) & 0xFF] << 1 |
         kPaths.spread[colour & 0xFF];
}

// Three levels of a path are three bits of each component.
inline uint32_t ColourOfPath(uint32_t path) {
  return kPaths.gather[path & 511] | kPaths.gather[(path >> 9) & 511] << 3 | kPaths.gather[path >> 18] << 6;
}

// Slot at `depth` levels below the root (depth 0 is level 7).
inline uint32_t SlotAtDepth(uint32_t path, int depth) { return (path >> (3 * (7 - depth))) & 7u; }

// Levels two paths share from the top (8 when they are equal).
inline int SharedLevels(uint32_t a, uint32_t b) {
  return a == b ? 8 : (__builtin_clz(a ^ b) - 8) / 3;
}

// Sorts the entries by path: three stable passes of eight bits, least significant
// first, between `entries` and `spare`. Returns the array that holds the result.
TreePathEntry* SortByPath(TreePathEntry* entries, TreePathEntry* spare, size_t n) {
  uint32_t counts[3][256] = {};
  for (size_t i = 0; i < n; ++i) {
    const uint32_t path = entries[i].path;
    ++counts[0][path & 0xFF];
    ++counts[1][(path >> 8) & 0xFF];
    ++counts[2][path >> 16];
  }
  for (int pass = 0; pass < 3; ++pass) {
    uint32_t* next = counts[pass];
    const int shift = 8 * pass;
    // A pass where every path has the same byte would move nothing.
    if (next[(entries[0].path >> shift) & 0xFF] == n) continue;
    uint32_t sum = 0;
    for (int d = 0; d < 256; ++d) {
      const uint32_t c = next[d];
      next[d] = sum;
      sum += c;
    }
    for (size_t i = 0; i < n; ++i) spare[next[(entries[i].path >> shift) & 0xFF]++] = entries[i];
    TreePathEntry* t = entries;
    entries = spare;
    spare = t;
  }
  return entries;
}

// Depth of a colour's leaf in the sorted order, from the levels its path shares
// with the paths before and after it. Distinct colours always part by level 0; a
// repeated colour keeps one leaf.
inline int LeafDepth(int sharedBefore, int sharedAfter) {
  const int depth = sharedBefore > sharedAfter ? sharedBefore : sharedAfter;
  return depth > 7 ? 7 : depth;
}

}  // namespace

void ColourTreeBuild(uint32_t root, const ColourTable* table, TreePathEntry* scratch, TreePathEntry* spare) {
  const uint32_t n = table->count;
  if (n == 0) return;
  for (uint32_t i = 0; i < n; ++i) scratch[i] = {TreePath(table->records[i].colour), i};
  // Pictures take a quarter to a half of a block a colour (a node of level 0 takes
  // one, any other node two); room for a block a colour spares the array from
  // moving while it fills.
  BlockPoolReserve(TreeNodePool(), n + 8);
  const TreePathEntry* sorted = SortByPath(scratch, spare, n);
  uint32_t nodes[8];  // the current colour's nodes by depth; depth 0 is the root, at level 7
  nodes[0] = root;
  int sharedBefore = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t path = sorted[i].path;
    const int sharedAfter = i + 1 < n ? SharedLevels(path, sorted[i + 1].path) : 0;
    const int depth = LeafDepth(sharedBefore, sharedAfter);
    for (int d = sharedBefore + 1; d <= depth; ++d) {
      const uint32_t child = ColourTreeNew(7 - d);
      TreeNodeAt(nodes[d - 1])->slots[SlotAtDepth(path, d - 1)] = child;
      nodes[d] = child;
    }
    const uint32_t s = SlotAtDepth(path, depth);
    TreeSlotsAt(nodes[depth])[s] = LeafSlot(sorted[i].index);
    if (depth < 7) TreeNodeAt(nodes[depth])->leafColours[s] = ColourOfPath(path);
    sharedBefore = sharedAfter;
  }
}
