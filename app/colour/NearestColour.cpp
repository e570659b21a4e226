// The bounded nearest-colour search: it looks only at the cells of the colour
// cube next to the colour's own leaf cell, so its answer is the nearest colour
// of that neighbourhood. Ties go to the colour tested first: cells are visited
// red outermost, then green, then blue, each lower, own, upper; inside a node
// slots 0 to 7.
#include <atomic>
#include <cstring>
#include <thread>

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourTree.h"
#include "app/shell/progress.h"
#include "jindep/memory.h"

namespace {

// Incremented once before every search; a node stamped with the current value
// has had its whole subtree examined by this search.
uint32_t gSearchCounter = 1;

struct Search {
  uint32_t colour;
  uint32_t stamp;
  uint32_t best;
  uint32_t bestIndex;
  // Stamps of a search running beside the main one, by node handle; null when
  // the nodes' own stamps are used.
  uint32_t* sideStamps;
};

inline bool Stamped(const Search* search, uint32_t ref) {
  return (search->sideStamps ? search->sideStamps[ref >> 1] : TreeNodeAt(ref)->stamp) == search->stamp;
}
inline void SetStamp(Search* search, uint32_t ref) {
  if (search->sideStamps) {
    search->sideStamps[ref >> 1] = search->stamp;
  } else {
    TreeNodeAt(ref)->stamp = search->stamp;
  }
}

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

void SearchSubtree(Search* search, uint32_t ref, uint32_t base, int level) {
  if (Stamped(search, ref)) return;
  if (CubeDistance(search, base, level) >= search->best) return;
  SetStamp(search, ref);
  const TreeNode* node = TreeNodeAt(ref);
  for (uint32_t s = 0; s < 8; ++s) {
    uint32_t slot = node->slots[s];
    if (slot == 0) continue;
    if (SlotIsLeaf(slot)) {
      TestLeaf(search, LeafIndex(slot), node->leafColours[s]);
    } else {
      SearchSubtree(search, slot, ChildBase(base, s, level), level - 1);
    }
  }
}

void DescendAndSearch(Search* search, uint32_t ref, uint32_t base, uint32_t target, int level, int stopLevel) {
  for (;;) {
    uint32_t s = ColourSlot(target, level);
    uint32_t slot = TreeNodeAt(ref)->slots[s];
    if (!SlotIsNode(slot)) {
      SearchSubtree(search, ref, base, level);
      return;
    }
    ref = slot;
    base = ChildBase(base, s, level);
    --level;
    if (Stamped(search, ref)) return;
    if (level <= stopLevel) {
      SearchSubtree(search, ref, base, level);
      return;
    }
  }
}

inline int HighestBit(uint32_t value) {
  int bit = 0;
  while (value >>= 1) ++bit;
  return bit;
}

void ClearStamps(uint32_t ref) {
  TreeNode* node = TreeNodeAt(ref);
  node->stamp = 0;
  for (uint32_t s = 0; s < 8; ++s) {
    if (SlotIsNode(node->slots[s])) ClearStamps(node->slots[s]);
  }
}

// The search proper, with the stamp to use and where stamps are kept.
uint32_t Nearest(uint32_t root, uint32_t colour, uint32_t stamp, uint32_t* sideStamps) {
  uint32_t path[8] = {};
  uint32_t slot = root;
  int leafLevel = -1;
  for (int level = 7; level >= 0; --level) {
    uint32_t ref = slot;
    path[level] = ref;
    slot = TreeNodeAt(ref)->slots[ColourSlot(colour, level)];
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

  Search search{colour, stamp, 768, 0, sideStamps};
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

}  // namespace

uint32_t FindNearestColour(uint32_t root, const ColourTable* table, uint32_t colour) {
  // Once the counter has gone all the way round, old stamps could match it again.
  if (++gSearchCounter == 0) {
    ClearStamps(root);
    gSearchCounter = 1;
  }
  return Nearest(root, colour, gSearchCounter, nullptr);
}

void FindNearestColours(uint32_t root, const ColourTable* table, NearestStoreProc store, void* data,
                        uint32_t progressStep) {
  const uint32_t n = table->count;
  const bool parallel = n >= 8192 && std::thread::hardware_concurrency() > 1;
  if (!parallel) {
    for (uint32_t i = 0; i < n; ++i) {
      store(data, i, FindNearestColour(root, table, table->records[i].colour));
      if ((i & 127) == 0) ProgressStep(progressStep);
    }
    return;
  }
  // Every search is independent of the others, and stamps only spare a search
  // from looking at a subtree twice: results are those of one search after
  // another. Each thread keeps its stamps in an array of its own, so that
  // neither writes into the tree the other is reading.
  constexpr uint32_t kBlock = 128;  // colours per claim, and per progress step
  const size_t handles = static_cast<size_t>(TreeNodePool()->chunkCount) * TreeNodePool()->blocksPerChunk + 1;
  uint32_t* stamps = JAllocArray<uint32_t>(2 * handles);
  std::memset(stamps, 0, 2 * handles * sizeof(uint32_t));
  std::atomic<uint32_t> next{0};
  std::atomic<uint32_t> helperBlocks{0};
  uint32_t stepped = 0;
  uint32_t mainBlocks = 0;
  auto work = [&](uint32_t* sideStamps, bool main) {
    uint32_t stamp = 0;
    for (;;) {
      const uint32_t first = next.fetch_add(kBlock);
      if (first >= n) break;
      const uint32_t last = first + kBlock < n ? first + kBlock : n;
      for (uint32_t i = first; i < last; ++i) {
        if (++stamp == 0) {
          std::memset(sideStamps, 0, handles * sizeof(uint32_t));
          stamp = 1;
        }
        store(data, i, Nearest(root, table->records[i].colour, stamp, sideStamps));
      }
      if (!main) {
        helperBlocks.fetch_add(1);
        continue;
      }
      // The main thread reports the blocks of both.
      ++mainBlocks;
      for (uint32_t all = mainBlocks + helperBlocks.load(); stepped < all; ++stepped) ProgressStep(progressStep);
    }
  };
  std::thread helper(work, stamps + handles, false);
  work(stamps, true);
  helper.join();
  for (uint32_t all = mainBlocks + helperBlocks.load(); stepped < all; ++stepped) ProgressStep(progressStep);
  JFree(stamps);
}
