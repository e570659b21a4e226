// The nearest-colour search, the merge heap and single merge steps.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTree.h"
#include "engine_support.h"

namespace {

struct Built {
  ColourTable* table;
  uint32_t root;
};

Built BuildFromKeys(const std::vector<uint32_t>& keys) {
  Built built{ColourTableCreate(kColourTableInitialCapacity), ColourTreeNew()};
  for (uint32_t k : keys) ColourTreeAdd(built.root, built.table, k);
  for (uint32_t i = 0; i < built.table->count; ++i) built.table->records[i].weight = built.table->records[i].count;
  return built;
}

void Release(Built built) {
  ColourTreeFree(built.root);
  ColourTableFree(built.table);
}

// Level of the node holding a colour's leaf.
int LeafLevel(uint32_t root, uint32_t colour) {
  uint32_t slot = root;
  for (int level = 7; level >= 0; --level) {
    slot = TreeNodeAt(slot)->slots[ColourSlot(colour, level)];
    if (SlotIsLeaf(slot)) return level;
  }
  return -1;
}

// Every search finds a colour other than itself; none nearer exists anywhere in
// the 3 x 3 x 3 block of leaf-sized cells around the colour, which the search
// promises to cover; and when the true nearest lies in that block it is found.
TEST(FindNearestColour, IsTheTrueNearestWithinTheNeighbourCells) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 60; ++trial) {
    int colours = 2 + static_cast<int>(rng() % (trial < 30 ? 60 : 1500));
    int range = trial % 4 == 0 ? 6 : (trial % 4 == 1 ? 40 : 256);
    TestPicture picture = RandomPicture(rng, 64, 32, colours, range);
    Built built = BuildFromKeys(picture.keys);
    const ColourTable* table = built.table;
    if (table->count < 2) {
      Release(built);
      continue;
    }
    for (uint32_t i = 0; i < table->count; ++i) {
      const uint32_t c = table->records[i].colour;
      const uint32_t j = FindNearestColour(built.root, table, c);
      const uint32_t found = ColourDistance(c, table->records[j].colour);
      ASSERT_GT(found, 0u);
      const int L = LeafLevel(built.root, c);
      uint32_t globalBest = 1000;
      uint32_t blockBest = 1000;
      for (uint32_t o = 0; o < table->count; ++o) {
        if (o == i) continue;
        uint32_t oc = table->records[o].colour;
        uint32_t d = ColourDistance(c, oc);
        globalBest = std::min(globalBest, d);
        bool inBlock = true;
        for (int shift = 0; shift <= 16; shift += 8) {
          int v = static_cast<int>((c >> shift) & 0xFF);
          int w = static_cast<int>((oc >> shift) & 0xFF);
          int base = v & ~((1 << L) - 1);
          if (w < base - (1 << L) || w > base + 2 * (1 << L) - 1) inBlock = false;
        }
        if (inBlock) blockBest = std::min(blockBest, d);
      }
      ASSERT_GE(found, globalBest);
      ASSERT_LE(found, blockBest) << "colour " << std::hex << c << " level " << L;
    }
    Release(built);
  }
}

TEST(FindNearestColour, AmongEqualDistancesTheFirstCellTestedWins) {
  // From 0x404040, 0x3F4040 (red lower) and 0x404041 (blue higher) are both at
  // distance 1; red's lower cell is visited first.
  Built built = BuildFromKeys({0x404040, 0x404041, 0x3F4040});
  EXPECT_EQ(FindNearestColour(built.root, built.table, 0x404040), 2u);
  Release(built);
  // Inside one node slots are tested 0 to 7: green-higher (slot 2) before red-higher (slot 4).
  built = BuildFromKeys({0x000000, 0x010000, 0x000100});
  EXPECT_EQ(FindNearestColour(built.root, built.table, 0x000000), 2u);
  Release(built);
  // A single colour finds nothing.
  built = BuildFromKeys({0x123456, 0x123456});
  EXPECT_EQ(FindNearestColour(built.root, built.table, 0x123456), 0u);
  Release(built);
}

TEST(FindNearestColour, RedAt128WithItsLeafAtLevelZeroSearchesItsLowerCellFromTheRoot) {
  // 0x800000 and 0x800001 part at level 0; 0x7F0000 is the only other colour,
  // reachable only through the root.
  Built built = BuildFromKeys({0x800000, 0x800001, 0x7F0000, 0x80000F});
  // From 0x800000 both 0x800001 and 0x7F0000 are at distance 1; red's lower cell
  // is visited first, from the root, so 0x7F0000 wins the tie.
  EXPECT_EQ(FindNearestColour(built.root, built.table, 0x800000), 2u);
  Release(built);
}

// The plain heap, slot by slot as the engine's heap must keep it: insert sifts
// up past strictly greater parents, a changed key is only ever sifted down, pop
// moves the last item to the top and sifts it down.
struct PlainHeap {
  std::vector<uint32_t> blocks;
  std::vector<uint64_t> keys;  // by block handle
  void Up(size_t i) {
    const uint32_t b = blocks[i];
    while (i > 0 && keys[b] < keys[blocks[(i - 1) / 2]]) {
      blocks[i] = blocks[(i - 1) / 2];
      i = (i - 1) / 2;
    }
    blocks[i] = b;
  }
  void Down(size_t i) {
    const uint32_t b = blocks[i];
    for (size_t c = 2 * i + 1; c < blocks.size(); c = 2 * c + 1) {
      if (c + 1 < blocks.size() && keys[blocks[c]] > keys[blocks[c + 1]]) ++c;
      if (keys[b] < keys[blocks[c]]) break;
      blocks[i] = blocks[c];
      i = c;
    }
    blocks[i] = b;
  }
  uint32_t Pop() {
    const uint32_t top = blocks[0];
    blocks[0] = blocks.back();
    blocks.pop_back();
    if (!blocks.empty()) Down(0);
    return top;
  }
};

// Lowering a key and sifting it down, as a merge step does when a dependent's
// new nearest colour is nearer, can leave an item below a greater parent. Pops
// must still follow the plain heap slot for slot (a pop that assumes order along
// its path would not).
TEST(MergeHeap, KeysLoweredAndSiftedDownPopExactlyAsThePlainHeap) {
  std::mt19937 rng(17);
  BlockPool* pool = GraphNodePool();
  for (int trial = 0; trial < 40; ++trial) {
    const uint32_t n = 2 + rng() % 300;
    MergeHeap* heap = HeapCreate(n, offsetof(GraphNode, cost), offsetof(GraphNode, heapPosition), pool);
    PlainHeap plain;
    std::vector<uint32_t> handles;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t h = BlockPoolGet(pool);
      if (plain.keys.size() <= h) plain.keys.resize(h + 1);
      GraphNodeAt(h)->cost = plain.keys[h] = rng() % 16;
      handles.push_back(h);
      HeapInsert(heap, h);
      plain.blocks.push_back(h);
      plain.Up(plain.blocks.size() - 1);
    }
    std::vector<uint32_t> present = handles;
    while (!present.empty()) {
      for (int change = 0; change < 3; ++change) {
        const uint32_t h = present[rng() % present.size()];
        GraphNodeAt(h)->cost = plain.keys[h] = rng() % 16;
        const uint32_t slot = GraphNodeAt(h)->heapPosition;
        HeapSiftDown(heap, slot);
        plain.Down(slot);
      }
      const uint32_t popped = HeapPopMin(heap);
      ASSERT_EQ(popped, plain.Pop());
      present.erase(std::find(present.begin(), present.end(), popped));
      ASSERT_EQ(heap->count, plain.blocks.size());
      for (uint32_t s = 0; s < heap->count; ++s) {
        ASSERT_EQ(HeapBlockAt(heap, s), plain.blocks[s]) << "slot " << s;
        ASSERT_EQ(GraphNodeAt(HeapBlockAt(heap, s))->heapPosition, s);
      }
    }
    for (uint32_t h : handles) BlockPoolPut(pool, h);
    HeapFree(heap);
  }
}

TEST(MergeHeap, EqualKeysNeitherRiseNorBlockASiftDown) {
  BlockPool* pool = GraphNodePool();
  MergeHeap* heap = HeapCreate(4, offsetof(GraphNode, cost), offsetof(GraphNode, heapPosition), pool);
  uint32_t a = BlockPoolGet(pool), b = BlockPoolGet(pool), c = BlockPoolGet(pool);
  GraphNodeAt(a)->cost = 1;
  GraphNodeAt(b)->cost = 3;
  GraphNodeAt(c)->cost = 3;
  HeapInsert(heap, a);
  HeapInsert(heap, b);
  HeapInsert(heap, c);
  EXPECT_EQ(HeapBlockAt(heap, 1), b);
  // Raising a to 3 sinks it below the equal children, taking the left one's place.
  GraphNodeAt(a)->cost = 3;
  HeapSiftDown(heap, 0);
  EXPECT_EQ(HeapBlockAt(heap, 0), b);
  EXPECT_EQ(HeapBlockAt(heap, 1), a);
  EXPECT_EQ(HeapBlockAt(heap, 2), c);
  // A node inserted with its parent's key stays below it.
  uint32_t d = BlockPoolGet(pool);
  GraphNodeAt(d)->cost = 3;
  HeapInsert(heap, d);
  EXPECT_EQ(HeapBlockAt(heap, 3), d);
  for (uint32_t h : {a, b, c, d}) BlockPoolPut(pool, h);
  HeapFree(heap);
}

TEST(MergeStep, TwoColoursTheCheaperGoesFirstWithoutTouchingTheTree) {
  Built built = BuildFromKeys({0x000000, 0x000000, 0x000000, 0x0000FF});
  ColourGraph* graph = BuildColourGraph(built.table, built.root);
  uint32_t removed = 9, into = 9;
  MergeStep(graph, built.table, built.root, &removed, &into);
  EXPECT_EQ(removed, 1u);
  EXPECT_EQ(into, 0u);
  EXPECT_EQ(ColourTreeFind(built.root, 0x0000FF), 1u) << "the tree keeps both colours";
  MergeStep(graph, built.table, built.root, &removed, &into);
  EXPECT_EQ(removed, 0u);
  EXPECT_EQ(into, 0u);
  ColourGraphFree(graph);
  Release(built);
}

// Worked by hand: B is cheapest and goes into A; A and C then find each other;
// C (weight 1) goes before A (weight 11).
TEST(ComputeColourMaps, SmallWorkedExample) {
  std::vector<uint32_t> keys(10, 0x000000);
  keys.push_back(0x00000A);
  keys.push_back(0x00001E);
  Built built = BuildFromKeys(keys);
  ColourGraph* graph = BuildColourGraph(built.table, built.root);
  EXPECT_EQ(GraphNodeAt(graph->nodes[0])->cost, 100u);
  EXPECT_EQ(GraphNodeAt(graph->nodes[1])->cost, 10u);
  EXPECT_EQ(GraphNodeAt(graph->nodes[2])->cost, 20u);
  MergeOrder* order = ComputeColourMaps(graph, built.table, built.root);
  ASSERT_EQ(order->count, 3u);
  EXPECT_EQ(order->order[0], 0u);
  EXPECT_EQ(order->order[1], 2u);
  EXPECT_EQ(order->order[2], 1u);
  EXPECT_EQ(built.table->records[1].mergedInto, 0u);
  EXPECT_EQ(built.table->records[2].mergedInto, 0u);
  EXPECT_EQ(built.table->records[0].mergedInto, 0u);
  // The last merge between two colours leaves the survivor's weight as it was.
  EXPECT_EQ(built.table->records[0].weight, 11u);
  EXPECT_EQ(TreeNodePool()->live, 0u);
  EXPECT_EQ(GraphNodePool()->live, 0u);
  MergeOrderFree(order);
  ColourTableFree(built.table);
}

// A dominant colour far from everything: distance x weight passes 2^32, which a
// 32-bit cost would wrap to a small number and merge the dominant colour first.
TEST(ComputeColourMaps, CostsDoNotWrapForLargeWeights) {
  Built built = BuildFromKeys({0x000000, 0xFFFFFF});
  built.table->records[0].count = built.table->records[0].weight = 6000000;  // 765 x 6e6 > 2^32
  built.table->records[1].count = built.table->records[1].weight = 1000000;
  ColourGraph* graph = BuildColourGraph(built.table, built.root);
  EXPECT_EQ(GraphNodeAt(graph->nodes[0])->cost, 765ull * 6000000);
  MergeOrder* order = ComputeColourMaps(graph, built.table, built.root);
  EXPECT_EQ(order->order[0], 0u) << "the dominant colour survives";
  EXPECT_EQ(built.table->records[1].mergedInto, 0u);
  MergeOrderFree(order);
  ColourTableFree(built.table);
}

// The searches of the first graph run on two processors; each must give what
// the searches one after another give.
TEST(FindNearestColours, MatchesOneSearchAfterAnother) {
  std::mt19937 rng(31);
  TestPicture picture = RandomPicture(rng, 200, 150, 20000, 64);
  Built built = BuildFromKeys(picture.keys);
  ASSERT_GE(built.table->count, 8192u);
  std::vector<uint32_t> together(built.table->count);
  FindNearestColours(
      built.root, built.table,
      [](void* data, uint32_t i, uint32_t j) { (*static_cast<std::vector<uint32_t>*>(data))[i] = j; }, &together, 1);
  for (uint32_t i = 0; i < built.table->count; ++i) {
    ASSERT_EQ(together[i], FindNearestColour(built.root, built.table, built.table->records[i].colour)) << i;
  }
  Release(built);
}

}  // namespace
