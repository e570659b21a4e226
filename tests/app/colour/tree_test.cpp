// The block pool, the colour table and the colour tree.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/colour/ColourTree.h"
#include "engine_support.h"
#include "jindep/memory.h"

namespace {

// Walks the tree checking its shape; returns the number of nodes (root included)
// and collects every leaf's index with the level of the node holding it.
int CheckTree(uint32_t nodeRef, int level, bool isRoot, std::map<uint32_t, int>* leaves) {
  TreeNode* node = TreeNodeAt(nodeRef);
  int nodes = 1;
  int occupied = 0;
  bool hasChild = false;
  for (uint32_t s = 0; s < 8; ++s) {
    uint32_t slot = node->slots[s];
    if (slot == 0) continue;
    ++occupied;
    if (SlotIsLeaf(slot)) {
      EXPECT_TRUE(leaves->emplace(LeafIndex(slot), level).second) << "leaf twice";
    } else {
      EXPECT_GT(level, 0) << "a level-0 node holds only leaves";
      hasChild = true;
      nodes += CheckTree(slot, level - 1, false, leaves);
    }
  }
  if (!isRoot) {
    EXPECT_TRUE(occupied >= 2 || (occupied == 1 && hasChild)) << "node should have collapsed";
  }
  return nodes;
}

TEST(BlockPool, HandsOutDistinctBlocksAndHoldsNothingOnceAllAreBack) {
  BlockPool* pool = BlockPoolCreate(32, 36);
  std::mt19937 rng(7);
  std::vector<uint32_t> held;
  std::set<void*> addresses;
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 1000; ++i) {
      held.push_back(BlockPoolGet(pool));
      std::memset(BlockPoolAddress(pool, held.back()), 0xAB, 36);
    }
    std::shuffle(held.begin(), held.end(), rng);
    for (size_t i = held.size() / 3; i < held.size(); ++i) BlockPoolPut(pool, held[i]);
    held.resize(held.size() / 3);
  }
  addresses.clear();
  for (uint32_t h : held) EXPECT_TRUE(addresses.insert(BlockPoolAddress(pool, h)).second);
  EXPECT_EQ(pool->live, held.size());
  EXPECT_GT(BlockPoolBytes(pool), 0u);
  for (uint32_t h : held) BlockPoolPut(pool, h);
  EXPECT_EQ(pool->live, 0u);
  EXPECT_EQ(BlockPoolBytes(pool), 0u);
  EXPECT_EQ(pool->chunks, nullptr);
  held.clear();
  // Usable again after emptying, and past any fixed number of chunks.
  for (int i = 0; i < 32 * 5000; ++i) held.push_back(BlockPoolGet(pool));
  EXPECT_EQ(pool->chunkCount, 5000u);
  for (uint32_t h : held) BlockPoolPut(pool, h);
  EXPECT_EQ(BlockPoolBytes(pool), 0u);
  BlockPoolDestroy(pool);
}

TEST(ColourTable, The512thColourDoublesTheTableAndKeepsWhatWasThere) {
  ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
  for (uint32_t i = 0; i < 511; ++i) {
    EXPECT_EQ(ColourTableAppend(table, i * 3), i);
    table->records[i].count = i + 10;
  }
  EXPECT_EQ(table->capacity, 511u);
  EXPECT_EQ(ColourTableAppend(table, 0xABCDEF), 511u);
  EXPECT_EQ(table->capacity, 1022u);
  for (uint32_t i = 0; i < 511; ++i) {
    ASSERT_EQ(table->records[i].colour, i * 3);
    ASSERT_EQ(table->records[i].count, i + 10);
  }
  EXPECT_EQ(table->records[511].colour, 0xABCDEFu);
  EXPECT_EQ(table->records[511].count, 1u);
  EXPECT_EQ(table->records[511].transparent, 0);
  ColourTableFree(table);
}

TEST(ColourTree, OneColourIsASingleLeafAtTheRoot) {
  ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
  uint32_t root = ColourTreeNew();
  for (int i = 0; i < 100; ++i) ColourTreeAdd(root, table, 0x123456);
  EXPECT_EQ(table->count, 1u);
  EXPECT_EQ(table->records[0].count, 100u);
  std::map<uint32_t, int> leaves;
  EXPECT_EQ(CheckTree(root, 7, true, &leaves), 1);
  EXPECT_EQ(leaves.at(0), 7);
  EXPECT_EQ(TreeNodePool()->live, 1u);
  ColourTreeFree(root);
  EXPECT_EQ(TreeNodePool()->live, 0u);
  ColourTableFree(table);
}

TEST(ColourTree, ColoursPartedInTheLowestBitChainDownToLevelZero) {
  ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
  uint32_t root = ColourTreeNew();
  ColourTreeAdd(root, table, 0x808080);
  ColourTreeAdd(root, table, 0x808081);
  std::map<uint32_t, int> leaves;
  EXPECT_EQ(CheckTree(root, 7, true, &leaves), 8);  // root plus levels 6 .. 0
  EXPECT_EQ(leaves.at(0), 0);
  EXPECT_EQ(leaves.at(1), 0);
  EXPECT_EQ(ColourTreeFind(root, 0x808080), 0u);
  EXPECT_EQ(ColourTreeFind(root, 0x808081), 1u);
  // Removing one collapses the whole chain: the other leaf moves up to the root.
  ColourTreeRemove(root, table, 1);
  leaves.clear();
  EXPECT_EQ(CheckTree(root, 7, true, &leaves), 1);
  EXPECT_EQ(leaves.at(0), 7);
  EXPECT_EQ(TreeNodePool()->live, 1u);
  // Removing the only colour leaves an empty root.
  ColourTreeRemove(root, table, 0);
  leaves.clear();
  EXPECT_EQ(CheckTree(root, 7, true, &leaves), 1);
  EXPECT_TRUE(leaves.empty());
  ColourTreeFree(root);
  ColourTableFree(table);
}

TEST(ColourTree, NodeLeftWithOnlyAChildNodeStays) {
  ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
  uint32_t root = ColourTreeNew();
  // All three have red and green 0, so they share the root's slot 0.
  ColourTreeAdd(root, table, 0x000000);
  ColourTreeAdd(root, table, 0x000001);
  ColourTreeAdd(root, table, 0x000040);  // parts from the others at level 6
  std::map<uint32_t, int> leaves;
  CheckTree(root, 7, true, &leaves);
  EXPECT_EQ(leaves.at(2), 6);
  ColourTreeRemove(root, table, 2);
  leaves.clear();
  // The level-6 node now holds only a child node: it stays, the chain below is intact.
  EXPECT_EQ(CheckTree(root, 7, true, &leaves), 8);
  EXPECT_EQ(leaves.at(0), 0);
  ColourTreeFree(root);
  ColourTableFree(table);
}

// Random colours, added and removed in random order: the tree keeps its shape,
// every colour present is found, and its node count returns to the pool.
TEST(ColourTree, RandomAddsAndRemovesKeepTheTreeSound) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 30; ++trial) {
    ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
    uint32_t root = ColourTreeNew();
    int range = trial % 3 == 0 ? 4 : 256;
    std::uniform_int_distribution<int> component(0, range - 1);
    std::map<uint32_t, uint32_t> counts;
    int pixels = 1 + static_cast<int>(rng() % 1500);
    for (int i = 0; i < pixels; ++i) {
      uint32_t key = ColourKey(component(rng), component(rng), component(rng));
      ColourTreeAdd(root, table, key);
      ++counts[key];
    }
    ASSERT_EQ(table->count, counts.size());
    for (uint32_t i = 0; i < table->count; ++i) {
      ASSERT_EQ(table->records[i].count, counts[table->records[i].colour]);
      ASSERT_EQ(ColourTreeFind(root, table->records[i].colour), i);
    }
    std::vector<uint32_t> order(table->count);
    for (uint32_t i = 0; i < table->count; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    for (size_t r = 0; r < order.size(); ++r) {
      ColourTreeRemove(root, table, order[r]);
      if (r % 61 == 0 || r + 1 == order.size()) {
        std::map<uint32_t, int> leaves;
        int nodes = CheckTree(root, 7, true, &leaves);
        ASSERT_EQ(static_cast<uint32_t>(nodes), TreeNodePool()->live);
        ASSERT_EQ(leaves.size(), order.size() - r - 1);
        for (size_t q = r + 1; q < order.size(); ++q) {
          ASSERT_EQ(ColourTreeFind(root, table->records[order[q]].colour), order[q]);
        }
      }
    }
    ColourTreeFree(root);
    ASSERT_EQ(TreeNodePool()->live, 0u);
    ColourTableFree(table);
  }
}

// Two trees hold the same colours in the same places: every slot of every node
// is alike (leaf index and kept colour, or a node with the same contents).
void ExpectSameTree(uint32_t a, uint32_t b, int level) {
  const TreeNode* na = TreeNodeAt(a);
  const TreeNode* nb = TreeNodeAt(b);
  for (uint32_t s = 0; s < 8; ++s) {
    const uint32_t sa = na->slots[s];
    const uint32_t sb = nb->slots[s];
    ASSERT_EQ(sa == 0, sb == 0) << "level " << level << " slot " << s;
    ASSERT_EQ(SlotIsLeaf(sa), SlotIsLeaf(sb)) << "level " << level << " slot " << s;
    if (SlotIsLeaf(sa)) {
      ASSERT_EQ(sa, sb);
      ASSERT_EQ(na->leafColours[s], nb->leafColours[s]);
    } else if (sa != 0) {
      ExpectSameTree(sa, sb, level - 1);
    }
  }
}

// The tree built at once from a table is the tree of adding its colours one by
// one: clustered colours, colours apart only in their lowest bits, wide spreads.
TEST(ColourTree, BuiltAtOnceIsTheTreeOfOneByOneAdds) {
  std::mt19937 rng(23);
  for (int trial = 0; trial < 40; ++trial) {
    ColourTable* table = ColourTableCreate(kColourTableInitialCapacity);
    const uint32_t added = ColourTreeNew();
    const int range = trial % 4 == 0 ? 2 : (trial % 4 == 1 ? 8 : 256);
    const uint32_t offset = static_cast<uint32_t>(rng()) & 0x808080u;
    std::uniform_int_distribution<int> component(0, range - 1);
    const int pixels = 1 + static_cast<int>(rng() % 3000);
    for (int i = 0; i < pixels; ++i) {
      ColourTreeAdd(added, table, ColourKey(component(rng), component(rng), component(rng)) | offset);
    }
    const uint32_t built = ColourTreeNew();
    std::vector<TreePathEntry> scratch(table->count);
    ColourTreeBuild(built, table, scratch.data());
    ExpectSameTree(added, built, 7);
    std::map<uint32_t, int> leaves;
    CheckTree(built, 7, true, &leaves);
    ASSERT_EQ(leaves.size(), table->count);
    ColourTreeFree(added);
    ColourTreeFree(built);
    ColourTableFree(table);
  }
  EXPECT_EQ(TreeNodePool()->live, 0u);
}

}  // namespace
