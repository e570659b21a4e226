// The bounded nearest-colour search: it looks only at the cells of the colour
// cube next to the colour's own leaf cell, so its answer is the nearest colour
// of that neighbourhood. Ties go to the colour tested first: cells are visited
// red outermost, then green, then blue, each lower, own, upper; inside a node
// slots 0 to 7.
#include "app/colour/ColourGraph.h"
#include "app/colour/ColourTree.h"

namespace {

// Incremented once before every search; a node stamped with the current value
// has had its whole subtree examined by this search.
uint32_t gSearchCounter = 1;

struct Search {
  const ColourTable* table;
  uint32_t colour;
  uint32_t stamp;
  uint32_t best;
  uint32_t bestIndex;
};

inline void TestLeaf(Search* search, uint32_t index, uint32_t leafColour) {
  uint32_t d = ColourDistance(leafColour, search->colour);
  if (d < search->best && d > 0) {
    search->best = d;
    search->bestIndex = index;
  }
}

// Smallest Manhattan distance from the searched colour to any colour of a node's
// cube (side 2 << level, lowest corner base). A subtree whose cube lies no nearer
// than the best distance found holds no leaf that could replace it, so passing it
// by leaves the result exactly as examining it would; it is not stamped then.
inline uint32_t CubeDistance(const Search* search, uint32_t base, int level) {
  const uint32_t side = (2u << level) - 1;
  uint32_t total = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    uint32_t v = (search->colour >> shift) & 0xFF;
    uint32_t lo = (base >> shift) & 0xFF;
    uint32_t hi = lo + side;
    total += v < lo ? lo - v : (v > hi ? v - hi : 0);
  }
  return total;
}

// Corner of the child in slot s of a node at `level` whose corner is `base`.
inline uint32_t ChildBase(uint32_t base, uint32_t s, int level) {
  return base | ((s >> 2) & 1u) << (16 + level) | ((s >> 1) & 1u) << (8 + level) | (s & 1u) << level;
}

void SearchSubtree(Search* search, TreeNode* node, uint32_t base, int level) {
  if (node->stamp == search->stamp) return;
  if (CubeDistance(search, base, level) >= search->best) return;
  node->stamp = search->stamp;
  for (uint32_t s = 0; s < 8; ++s) {
    uint32_t slot = node->slots[s];
    if (slot == 0) continue;
    if (SlotIsLeaf(slot)) {
      TestLeaf(search, LeafIndex(slot), node->leafColours[s]);
    } else {
      SearchSubtree(search, TreeNodeAt(slot), ChildBase(base, s, level), level - 1);
    }
  }
}

void DescendAndSearch(Search* search, TreeNode* node, uint32_t base, uint32_t target, int level, int stopLevel) {
  for (;;) {
    uint32_t s = ColourSlot(target, level);
    uint32_t slot = node->slots[s];
    if (!SlotIsNode(slot)) {
      SearchSubtree(search, node, base, level);
      return;
    }
    node = TreeNodeAt(slot);
    base = ChildBase(base, s, level);
    --level;
    if (node->stamp == search->stamp) return;
    if (level <= stopLevel) {
      SearchSubtree(search, node, base, level);
      return;
    }
  }
}

inline int HighestBit(uint32_t value) {
  int bit = 0;
  while (value >>= 1) ++bit;
  return bit;
}

}  // namespace

uint32_t FindNearestColour(uint32_t root, const ColourTable* table, uint32_t colour) {
  uint32_t stamp = ++gSearchCounter;
  TreeNode* path[8] = {};
  uint32_t slot = root;
  int leafLevel = -1;
  for (int level = 7; level >= 0; --level) {
    TreeNode* node = TreeNodeAt(slot);
    path[level] = node;
    slot = node->slots[ColourSlot(colour, level)];
    if (slot == 0) return 0;
    if (SlotIsLeaf(slot)) {
      leafLevel = level;
      break;
    }
  }
  if (leafLevel < 0) return 0;
  const int L = leafLevel;

  // For each component (red, green, blue): up to three candidate values and the
  // level of the deepest node on the colour's path that also holds them.
  int values[3][3];
  int starts[3][3];
  bool present[3][3];
  for (int c = 0; c < 3; ++c) {
    uint32_t v = (colour >> (16 - 8 * c)) & 0xFF;
    uint32_t base = v & (0xFFu << L) & 0xFF;
    uint32_t lo = (base - 1) & 0xFF;
    uint32_t hi = (base + (1u << L)) & 0xFF;
    values[c][0] = static_cast<int>(lo);
    values[c][1] = static_cast<int>(v);
    values[c][2] = static_cast<int>(hi);
    present[c][0] = lo != 255;
    present[c][1] = true;
    present[c][2] = hi != 0;
    starts[c][0] = lo != v ? (HighestBit(lo ^ v) > L ? HighestBit(lo ^ v) : L) : L;
    starts[c][1] = L;
    starts[c][2] = hi != v ? (HighestBit(hi ^ v) > L ? HighestBit(hi ^ v) : L) : L;
  }

  Search search{table, colour, stamp, 768, 0};
  const int red = static_cast<int>((colour >> 16) & 0xFF);
  const int green = static_cast<int>((colour >> 8) & 0xFF);
  const int blue = static_cast<int>(colour & 0xFF);
  for (int ri = 0; ri < 3; ++ri) {
    if (!present[0][ri]) continue;
    int r = values[0][ri];
    int dr = r > red ? r - red : red - r;
    for (int gi = 0; gi < 3; ++gi) {
      if (!present[1][gi]) continue;
      int g = values[1][gi];
      int dg = g > green ? g - green : green - g;
      for (int bi = 0; bi < 3; ++bi) {
        if (!present[2][bi]) continue;
        int b = values[2][bi];
        int db = b > blue ? b - blue : blue - b;
        uint32_t d = static_cast<uint32_t>(dr + dg + db);
        if (d >= search.best) continue;
        int start = starts[0][ri];
        if (starts[1][gi] > start) start = starts[1][gi];
        if (starts[2][bi] > start) start = starts[2][bi];
        uint32_t target = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
        const uint32_t keep = (0xFFu << (start + 1)) & 0xFFu;
        const uint32_t base = colour & (keep << 16 | keep << 8 | keep);
        DescendAndSearch(&search, path[start], base, target, start, L);
      }
    }
  }
  return search.bestIndex;
}
