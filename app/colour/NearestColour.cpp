// The bounded nearest-colour search: it looks only at the cells of the colour
// cube next to the colour's own leaf cell, so its answer is the nearest colour
// of that neighbourhood. It runs on a tree whose leaves hold graph node handles
// less one (BuildColourGraph puts them there), and answers with a node handle.
// Ties go to the colour tested first: cells are visited red outermost, then
// green, then blue, each lower, own, upper; inside a node slots 0 to 7.
#include <atomic>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourTree.h"
#include "app/colour/HelperThread.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"

namespace {

// A node stamped with a search's stamp has had its whole subtree examined by
// that search. Searches on two threads at once keep their stamps in arrays of
// their own by node handle, 16 bits each (half the bytes of a full word, so more
// of a large tree's stamps stay in the cache, at the price of clearing them all
// once every 65,535 searches).
typedef uint16_t Stamp;
// Searches one after another keep them in the tree itself, which costs no memory
// of its own: a node's mark is the word its parent keeps for it in place of a
// leaf colour (the root's is gRootMark). Marks have the top bit set, so that no
// colour key there is ever taken for one; each search takes the next value.
constexpr uint32_t kFirstMark = 0x80000000u;
uint32_t gMark = kFirstMark;
uint32_t gRootMark = 0;

// Entries a stamp array needs for every handle the tree pool has made (handles count from 1).
size_t StampEntries() { return static_cast<size_t>(TreeNodePool()->made) + 1; }

struct Search {
  uint32_t colour;
  int red;
  int green;
  int blue;
  Stamp stamp;
  uint32_t best;
  uint32_t bestIndex;
  Stamp* stamps;  // by node handle; null for marks in the tree
  uint32_t mark;
  bool fetch;  // the best leaf's graph node is fetched into the cache whenever the best changes
  uint32_t floor;  // no other colour lies nearer: a leaf found at this distance ends the search
};

// A node's stamp, by its reference and its mark word.
inline bool Stamped(const Search* search, uint32_t ref, const uint32_t* mark) {
  return search->stamps ? search->stamps[ref >> 1] == search->stamp : *mark == search->mark;
}
inline void SetStamp(Search* search, uint32_t ref, uint32_t* mark) {
  if (search->stamps) {
    search->stamps[ref >> 1] = search->stamp;
  } else {
    *mark = search->mark;
  }
}

inline uint32_t Difference(int a, int b) { return static_cast<uint32_t>(a > b ? a - b : b - a); }

// What a search needs of a node's eight slots, worked out for all of them together.
struct NodeView {
  uint32_t distances[8];  // from the searched colour to each slot's leaf colour (meaningless without a leaf)
  uint32_t occupied;      // bit s set when slot s is not empty
  uint32_t leaves;        // bit s set when slot s holds a leaf
};

#if defined(__SSE2__)
// The view of a node's slots whose leaf colours are `low` (slots 0 to 3) and `high` (4 to 7).
inline void ViewSlots(const Search* search, const uint32_t* slotWords, __m128i low, __m128i high, NodeView* view) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set1_epi64x(search->colour);
  uint32_t empty = 0;
  uint32_t leaves = 0;
  for (int half = 0; half < 2; ++half) {
    const __m128i four = half ? high : low;
    // With each key alone in a 64-bit lane, the sum of absolute byte differences
    // is the Manhattan distance (the keys' top bytes are zero).
    const __m128i first = _mm_sad_epu8(_mm_unpacklo_epi32(four, zero), colour);
    const __m128i second = _mm_sad_epu8(_mm_unpackhi_epi32(four, zero), colour);
    const __m128 both = _mm_shuffle_ps(_mm_castsi128_ps(first), _mm_castsi128_ps(second), _MM_SHUFFLE(2, 0, 2, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&view->distances[4 * half]), _mm_castps_si128(both));
    const __m128i slots = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&slotWords[4 * half]));
    empty |= static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(slots, zero)))) << (4 * half);
    leaves |= static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(slots, 31)))) << (4 * half);
  }
  view->occupied = ~empty & 0xFFu;
  view->leaves = leaves;
}
#else
inline void ViewSlots(const Search* search, const uint32_t* slotWords, const uint32_t* leafColours, NodeView* view) {
  view->occupied = 0;
  view->leaves = 0;
  for (uint32_t s = 0; s < 8; ++s) {
    const uint32_t leafColour = leafColours[s];
    view->distances[s] = Difference(static_cast<int>(leafColour >> 16), search->red) +
                         Difference(static_cast<int>((leafColour >> 8) & 0xFF), search->green) +
                         Difference(static_cast<int>(leafColour & 0xFF), search->blue);
    view->occupied |= static_cast<uint32_t>(slotWords[s] != 0) << s;
    view->leaves |= (slotWords[s] & 1u) << s;
  }
}
#endif

inline void ViewNode(const Search* search, const TreeNode* node, NodeView* view) {
#if defined(__SSE2__)
  ViewSlots(search, node->slots, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&node->leafColours[0])),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(&node->leafColours[4])), view);
#else
  ViewSlots(search, node->slots, node->leafColours, view);
#endif
}

// A node of level 0 whose corner is `base`: its leaves' colours are the corner with the slots' bits.
inline void ViewBottomNode(const Search* search, const TreeBottomNode* node, uint32_t base, NodeView* view) {
#if defined(__SSE2__)
  const __m128i corner = _mm_set1_epi32(static_cast<int>(base));
  ViewSlots(search, node->slots, _mm_or_si128(corner, _mm_setr_epi32(0x000000, 0x000001, 0x000100, 0x000101)),
            _mm_or_si128(corner, _mm_setr_epi32(0x010000, 0x010001, 0x010100, 0x010101)), view);
#else
  uint32_t leafColours[8];
  for (uint32_t s = 0; s < 8; ++s) leafColours[s] = ChildBase(base, s, 0);
  ViewSlots(search, node->slots, leafColours, view);
#endif
}

inline void TestLeaf(Search* search, uint32_t index, uint32_t d) {
  // 0 < d < best in one comparison (best is at least 1).
  if (d - 1 < search->best - 1) {
    search->best = d;
    search->bestIndex = index;
    if (search->fetch) __builtin_prefetch(GraphNodeAt(index + 1));
  }
}

// How far v lies outside [low, low + side].
inline uint32_t Outside(int v, int low, int side) {
  const int below = low - v;
  const int above = v - low - side;
  return static_cast<uint32_t>((below > 0 ? below : 0) + (above > 0 ? above : 0));
}

// Smallest Manhattan distance from the searched colour to any colour of a node's
// cube (side 2 << level, lowest corner base). A subtree whose cube lies no nearer
// than the best distance found holds no leaf that could replace it, so passing it
// by leaves the result exactly as examining it would; it is not stamped then.
inline uint32_t CubeDistance(const Search* search, uint32_t base, int level) {
  const int side = (2 << level) - 1;
  return Outside(search->red, static_cast<int>(base >> 16), side) +
         Outside(search->green, static_cast<int>((base >> 8) & 0xFF), side) +
         Outside(search->blue, static_cast<int>(base & 0xFF), side);
}

// Examines every leaf of a node of level 0 not yet examined by this search.
void ExamineBottomNode(Search* search, uint32_t ref, uint32_t* mark, uint32_t base) {
  SetStamp(search, ref, mark);
  const TreeBottomNode* node = TreeBottomNodeAt(ref);
  NodeView view;
  ViewBottomNode(search, node, base, &view);
  for (uint32_t bits = view.occupied; bits != 0; bits &= bits - 1) {
    if (search->best <= search->floor) return;
    const uint32_t s = static_cast<uint32_t>(__builtin_ctz(bits));
    TestLeaf(search, LeafIndex(node->slots[s]), view.distances[s]);
  }
}

// Examines every slot of a node not yet examined by this search whose cube lies
// nearer than the best distance found; its child nodes are checked the same way
// before they are entered.
void ExamineNode(Search* search, uint32_t ref, uint32_t* mark, uint32_t base, int level) {
  if (level == 0) {
    ExamineBottomNode(search, ref, mark, base);
    return;
  }
  SetStamp(search, ref, mark);
  TreeNode* node = TreeNodeAt(ref);
  NodeView view;
  ViewNode(search, node, &view);
  // Occupied slots in order, 0 to 7.
  for (uint32_t bits = view.occupied; bits != 0; bits &= bits - 1) {
    if (search->best <= search->floor) return;
    const uint32_t s = static_cast<uint32_t>(__builtin_ctz(bits));
    const uint32_t slot = node->slots[s];
    if ((view.leaves >> s) & 1u) {
      TestLeaf(search, LeafIndex(slot), view.distances[s]);
    } else {
      const uint32_t childBase = ChildBase(base, s, level);
      uint32_t* childMark = &node->leafColours[s];
      if (!Stamped(search, slot, childMark) && CubeDistance(search, childBase, level - 1) < search->best) {
        ExamineNode(search, slot, childMark, childBase, level - 1);
      }
    }
  }
}

void SearchSubtree(Search* search, uint32_t ref, uint32_t* mark, uint32_t base, int level) {
  if (Stamped(search, ref, mark)) return;
  if (CubeDistance(search, base, level) >= search->best) return;
  ExamineNode(search, ref, mark, base, level);
}

void DescendAndSearch(Search* search, uint32_t ref, uint32_t* mark, uint32_t base, uint32_t target, int level,
                      int stopLevel) {
  for (;;) {
    const uint32_t s = ColourSlot(target, level);
    const uint32_t slot = TreeSlotsAt(ref)[s];
    if (!SlotIsNode(slot)) {
      SearchSubtree(search, ref, mark, base, level);
      return;
    }
    mark = &TreeNodeAt(ref)->leafColours[s];
    ref = slot;
    base = ChildBase(base, s, level);
    --level;
    if (Stamped(search, ref, mark)) return;
    if (level <= stopLevel) {
      SearchSubtree(search, ref, mark, base, level);
      return;
    }
  }
}

// Takes every mark out of a tree: node slots' words back to 0. Nodes of level 0 keep none.
void ClearMarks(uint32_t ref, int level) {
  TreeNode* node = TreeNodeAt(ref);
  for (uint32_t s = 0; s < 8; ++s) {
    if (SlotIsNode(node->slots[s])) {
      node->leafColours[s] = 0;
      if (level > 1) ClearMarks(node->slots[s], level - 1);
    }
  }
}

inline int HighestBit(uint32_t value) { return 31 - __builtin_clz(value); }

// The search proper, with the stamp to use and the array the stamps are kept in
// (null: the mark to use, in the tree).
uint32_t Nearest(uint32_t root, uint32_t colour, Stamp stamp, Stamp* stamps, uint32_t mark, uint32_t floor,
                 uint32_t* level = nullptr, bool fetch = false) {
  uint32_t path[8] = {};
  uint32_t* marks[8] = {};
  uint32_t slot = root;
  uint32_t* slotMark = &gRootMark;
  int leafLevel = -1;
  for (int level = 7; level >= 0; --level) {
    const uint32_t ref = slot;
    path[level] = ref;
    marks[level] = slotMark;
    const uint32_t s = ColourSlot(colour, level);
    slot = TreeSlotsAt(ref)[s];
    if (slot == 0) return 0;
    if (SlotIsLeaf(slot)) {
      leafLevel = level;
      break;
    }
    slotMark = &TreeNodeAt(ref)->leafColours[s];
  }
  if (leafLevel < 0) return 0;
  const int L = leafLevel;
  if (level) *level = static_cast<uint32_t>(L);

  // For each component (red, green, blue): up to three candidate values, their
  // distance from the colour's own value, and the level of the deepest node on
  // the colour's path that also holds them.
  int values[3][3];
  int gaps[3][3];
  int starts[3][3];
  int counts[3];
  for (int c = 0; c < 3; ++c) {
    const int v = static_cast<int>((colour >> (16 - 8 * c)) & 0xFF);
    const int base = v & (0xFF << L) & 0xFF;
    const int lo = base - 1;
    const int hi = base + (1 << L);
    int k = 0;
    if (lo >= 0) {
      values[c][k] = lo;
      gaps[c][k] = v - lo;
      const int high = HighestBit(static_cast<uint32_t>(lo ^ v));
      starts[c][k++] = high > L ? high : L;
    }
    values[c][k] = v;
    gaps[c][k] = 0;
    starts[c][k++] = L;
    if (hi <= 255) {
      values[c][k] = hi;
      gaps[c][k] = hi - v;
      const int high = HighestBit(static_cast<uint32_t>(hi ^ v));
      starts[c][k++] = high > L ? high : L;
    }
    counts[c] = k;
  }

  Search search{colour, static_cast<int>((colour >> 16) & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>(colour & 0xFF), stamp, 768, 0, stamps, mark, fetch, floor};
  for (int ri = 0; ri < counts[0]; ++ri) {
    for (int gi = 0; gi < counts[1]; ++gi) {
      const int drg = gaps[0][ri] + gaps[1][gi];
      const int startRG = starts[0][ri] > starts[1][gi] ? starts[0][ri] : starts[1][gi];
      for (int bi = 0; bi < counts[2]; ++bi) {
        if (search.best <= search.floor) return search.bestIndex + 1;
        const uint32_t d = static_cast<uint32_t>(drg + gaps[2][bi]);
        if (d >= search.best) continue;
        const int start = startRG > starts[2][bi] ? startRG : starts[2][bi];
        const uint32_t target = static_cast<uint32_t>(values[0][ri]) << 16 |
                                static_cast<uint32_t>(values[1][gi]) << 8 | static_cast<uint32_t>(values[2][bi]);
        const uint32_t keep = (0xFFu << (start + 1)) & 0xFFu;
        const uint32_t base = colour & (keep << 16 | keep << 8 | keep);
        DescendAndSearch(&search, path[start], marks[start], base, target, start, L);
      }
    }
  }
  return search.bestIndex + 1;
}

}  // namespace

uint32_t FindNearestColour(uint32_t root, uint32_t colour) {
  return GraphNodeAt(FindNearestNode(root, colour, 1, nullptr, false))->index;
}

uint32_t FindNearestNode(uint32_t root, uint32_t colour, uint32_t floor, uint32_t* level, bool fetch) {
  // Once the marks have gone all the way round, old ones could match again.
  if (++gMark == 0) {
    ClearMarks(root, 7);
    gRootMark = 0;
    gMark = kFirstMark;
  }
  return Nearest(root, colour, 0, nullptr, gMark, floor, level, fetch);
}

namespace {

// Graph node handles (less one) of the tree's leaves in depth-first order (at most `room`).
void CollectLeaves(uint32_t ref, uint32_t* leaves, uint32_t room, uint32_t* count) {
  const uint32_t* slots = TreeSlotsAt(ref);
  for (uint32_t s = 0; s < 8; ++s) {
    const uint32_t slot = slots[s];
    if (SlotIsLeaf(slot)) {
      if (*count < room) leaves[(*count)++] = LeafIndex(slot);
    } else if (SlotIsNode(slot)) {
      CollectLeaves(slot, leaves, room, count);
    }
  }
}

}  // namespace

namespace {

// The searches of every colour shared between the main thread and a helper, a
// block of colours at a time.
struct SharedSearches {
  uint32_t root;
  NearestStoreProc store;
  void* data;
  const uint32_t* leaves;  // leaf words' handles less one, in the order they are searched
  uint32_t leafCount;
  size_t handles;          // entries of each thread's stamp array
  std::atomic<uint32_t> next;
  std::atomic<uint32_t> helperBlocks;
};

constexpr uint32_t kBlock = 128;  // colours per claim, and per progress step

// Searches blocks until none is left; returns the blocks it did. The main thread
// (`stepped` not null) reports the progress of both.
uint32_t SearchBlocks(SharedSearches* shared, Stamp* ownStamps, uint32_t progressStep, uint32_t* stepped) {
  Stamp stamp = 0;
  uint32_t blocks = 0;
  for (;;) {
    const uint32_t first = shared->next.fetch_add(kBlock);
    if (first >= shared->leafCount) return blocks;
    const uint32_t last = first + kBlock < shared->leafCount ? first + kBlock : shared->leafCount;
    for (uint32_t k = first; k < last; ++k) {
      if (++stamp == 0) {
        std::memset(ownStamps, 0, shared->handles * sizeof(Stamp));
        stamp = 1;
      }
      const uint32_t handle = shared->leaves[k] + 1;
      uint32_t level = 0;
      const uint32_t colour = GraphNodeAt(handle)->colour & 0xFFFFFF;
      const uint32_t nearest = Nearest(shared->root, colour, stamp, ownStamps, 0, 1, &level);
      shared->store(shared->data, handle, nearest, level);
    }
    ++blocks;
    if (!stepped) {
      shared->helperBlocks.fetch_add(1);
      continue;
    }
    for (uint32_t all = blocks + shared->helperBlocks.load(); *stepped < all; ++*stepped) ProgressStep(progressStep);
  }
}

struct HelperSearches {
  SharedSearches* shared;
  Stamp* stamps;
};

void SearchAsHelper(void* data) {
  HelperSearches* helper = static_cast<HelperSearches*>(data);
  SearchBlocks(helper->shared, helper->stamps, 0, nullptr);
}

}  // namespace

void FindNearestNodes(uint32_t root, uint32_t count, NearestStoreProc store, void* data, uint32_t progressStep) {
  // Every search is independent of the others, and stamps only spare a search
  // from looking at a subtree twice: results are those of one search after
  // another, in any order. The colours are searched in the tree's depth-first
  // order of leaves, so that one search finds the nodes the last one used still
  // in the cache. Each thread keeps its stamps in an array of its own. Should no
  // helper start, the main thread searches every block itself.
  uint32_t* leaves = JAllocArray<uint32_t>(count ? count : 1);
  uint32_t leafCount = 0;
  CollectLeaves(root, leaves, count, &leafCount);
  const size_t handles = StampEntries();
  const bool helped = leafCount >= 8192 && HelperThreadsWorthwhile();
  Stamp* stamps = JAllocArray<Stamp>((helped ? 2 : 1) * handles);
  std::memset(stamps, 0, (helped ? 2 : 1) * handles * sizeof(Stamp));
  SharedSearches shared{root, store, data, leaves, leafCount, handles, {0}, {0}};
  HelperSearches helperSearches{&shared, stamps + handles};
  HelperThread helper;
  if (helped) HelperStart(&helper, SearchAsHelper, &helperSearches);
  uint32_t stepped = 0;
  const uint32_t mainBlocks = SearchBlocks(&shared, stamps, progressStep, &stepped);
  if (helped) HelperJoin(&helper);
  for (uint32_t all = mainBlocks + shared.helperBlocks.load(); stepped < all; ++stepped) ProgressStep(progressStep);
  JFree(stamps);
  JFree(leaves);
}
