#include "app/colour/ColourGraph.h"

#include <cstddef>

#include "app/colour/ColourTree.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

namespace {

// New dependents go to the head of the list.
void LinkUnder(uint32_t d, uint32_t m) {
  GraphNode* dn = GraphNodeAt(d);
  GraphNode* mn = GraphNodeAt(m);
  dn->nearest = m;
  dn->nextDependent = mn->firstDependent;
  mn->firstDependent = d;
}

constexpr uint32_t kColourBits = 0xFFFFFF;

// Nodes are linked in colour index order, which is not their order in memory:
// each node is asked for 2 * kAhead colours ahead, and its nearest kAhead ahead.
constexpr uint32_t kAhead = 8;

// The weight of a colour whose merge cost is `cost` at `distance` from its nearest.
// Distinct colours lie at least 1 apart; only a colour that is its own nearest (a
// tree that lost leaves, see BuildColourGraph) has none, and no weight to give.
inline uint64_t WeightOf(uint64_t cost, uint32_t distance) { return distance ? cost / distance : 0; }

// Graph nodes are taken in the tree's depth-first order of leaves, so that the
// nodes of neighbouring colours, which point at one another, lie together. Each
// leaf then holds its node's handle less one, so that a search answers with the
// node itself. Each record's representative holds its node's handle until the
// graph is built (see BuildColourGraph).
void TakeNodes(ColourRecord* records, uint32_t ref) {
  uint32_t* slots = TreeSlotsAt(ref);
  for (uint32_t s = 0; s < 8; ++s) {
    uint32_t slot = slots[s];
    if (SlotIsLeaf(slot)) {
      const uint32_t handle = BlockPoolGet(GraphNodePool());
      records[LeafIndex(slot)].representative = handle;
      slots[s] = LeafSlot(handle - 1);
    } else if (SlotIsNode(slot)) {
      TakeNodes(records, slot);
    }
  }
}

// Takes d out of its nearest's list of dependents.
void Unlink(uint32_t d) {
  uint32_t* link = &GraphNodeAt(GraphNodeAt(d)->nearest)->firstDependent;
  while (*link != d) link = &GraphNodeAt(*link)->nextDependent;
  *link = GraphNodeAt(d)->nextDependent;
}

}  // namespace

ColourGraph* BuildColourGraph(ColourTable* table, uint32_t root) {
  const uint32_t n = table->count;
  ColourGraph* graph = static_cast<ColourGraph*>(JAlloc(sizeof(ColourGraph)));
  // The nodes are linked in colour index order, so each colour's node handle is
  // needed until the heap holds them all. It waits in the record's representative,
  // which no mapping has used yet, instead of in an array of its own that would
  // add to the peak of memory.
  ColourRecord* records = table->records;
  BlockPool* pool = GraphNodePool();
  for (uint32_t i = 0; i < n; ++i) records[i].representative = 0;
  BlockPoolReserve(pool, n);
  TakeNodes(records, root);
  // Every colour of the table has a leaf; this only guards a tree that lost one,
  // whose colour is then searched on its own below.
  bool leafless = false;
  for (uint32_t i = 0; i < n; ++i) {
    if (!records[i].representative) {
      records[i].representative = BlockPoolGet(pool);
      leafless = true;
    }
    GraphNode* node = GraphNodeAt(records[i].representative);
    node->nearest = 0;
    node->firstDependent = 0;
    node->nextDependent = 0;
    node->index = i;
    node->colour = records[i].colour;
  }
  graph->heap = HeapCreate(n, offsetof(GraphNode, heapPosition), pool);

  ProgressSetLabel(JStr(kStrCreatingColourGraph));
  const uint32_t groups = static_cast<uint32_t>((static_cast<uint64_t>(n) + 127) >> 7);
  const uint32_t step = groups ? (1u << 24) / groups : 0;
  // Each node's nearest field holds the nearest node until the node is linked.
  FindNearestNodes(
      root, n,
      [](void*, uint32_t handle, uint32_t nearest, uint32_t level) {
        GraphNode* node = GraphNodeAt(handle);
        node->nearest = nearest;
        node->colour |= level << 24;
      },
      nullptr, step);
  for (uint32_t i = 0; leafless && i < n; ++i) {
    GraphNode* node = GraphNodeAt(records[i].representative);
    if (node->nearest == 0) node->nearest = FindNearestNode(root, node->colour, 1, nullptr, false);
    if (node->nearest == 0) node->nearest = records[0].representative;
  }
  for (uint32_t i = 0; i < n; ++i) {
    if (i + 2 * kAhead < n) __builtin_prefetch(GraphNodeAt(records[i + 2 * kAhead].representative), 1);
    if (i + kAhead < n) __builtin_prefetch(GraphNodeAt(GraphNodeAt(records[i + kAhead].representative)->nearest), 1);
    const uint32_t handle = records[i].representative;
    records[i].representative = i;
    GraphNode* node = GraphNodeAt(handle);
    LinkUnder(handle, node->nearest);
    const uint32_t distance = ColourDistance(node->colour, GraphNodeAt(node->nearest)->colour);
    HeapInsert(graph->heap, handle, static_cast<uint64_t>(distance) * records[i].count);
  }
  return graph;
}

void MergeStep(ColourGraph* graph, ColourTable* table, uint32_t root, uint32_t* removed, uint32_t* into) {
  MergeHeap* heap = graph->heap;
  // The nodes a step works on lie anywhere in memory. Each is asked for as soon
  // as its handle is known, and the heap and the tree are repaired meanwhile.
  if (heap->count) __builtin_prefetch(GraphNodeAt(HeapBlockAt(heap, 0)));
  const uint64_t cost = heap->count ? HeapKeyAt(heap, 0) : 0;
  uint32_t handle = HeapPopMin(heap);
  GraphNode* node = GraphNodeAt(handle);
  *removed = node->index;
  if (heap->count == 0) {
    *into = *removed;
  } else {
    GraphNode* nn = GraphNodeAt(node->nearest);
    __builtin_prefetch(nn, 1);
    if (heap->count != 1) {
      if (node->firstDependent) __builtin_prefetch(GraphNodeAt(node->firstDependent), 1);
      if (node->nextDependent) __builtin_prefetch(GraphNodeAt(node->nextDependent), 1);
      __builtin_prefetch(&table->records[*removed], 1);
      ColourTreeRemoveColour(root, node->colour & kColourBits);

      // The absorber takes the removed colour's weight; its distance is unchanged.
      const uint32_t nnDistance = ColourDistance(nn->colour, GraphNodeAt(nn->nearest)->colour);
      const uint64_t nnCost = HeapKeyAt(heap, nn->heapPosition);
      const uint64_t weight = WeightOf(nnCost, nnDistance) + WeightOf(cost, ColourDistance(node->colour, nn->colour));
      HeapSiftDown(heap, nn->heapPosition, nnDistance * weight);

      Unlink(handle);

      // Each dependent leaves the removed colour's list, which goes with it.
      uint32_t d = node->firstDependent;
      while (d) {
        GraphNode* dn = GraphNodeAt(d);
        uint32_t next = dn->nextDependent;
        if (next) __builtin_prefetch(GraphNodeAt(next), 1);
        __builtin_prefetch(&heap->items[dn->heapPosition], 1);
        // The removed colour was the nearest of those its last search looked at,
        // which took in every colour within 2^level of it each way; colours only
        // leave, so none lies nearer now than the lesser of the two distances.
        const uint32_t colour = dn->colour & kColourBits;
        const uint32_t reach = (1u << (dn->colour >> 24)) + 1;
        const uint32_t last = ColourDistance(colour, node->colour);
        uint32_t level = 0;
        const uint32_t m = FindNearestNode(root, colour, last < reach ? last : reach, &level, true);
        dn->colour = colour | level << 24;
        if (m != dn->nearest) {
          GraphNode* mn = GraphNodeAt(m);
          __builtin_prefetch(mn, 1);
          const uint64_t dWeight = WeightOf(HeapKeyAt(heap, dn->heapPosition), last);
          HeapSiftDown(heap, dn->heapPosition, ColourDistance(colour, mn->colour) * dWeight);
          LinkUnder(d, m);
        }
        d = next;
      }
    }
    *into = nn->index;
  }
  BlockPoolPut(GraphNodePool(), handle);
}

void ColourGraphFree(ColourGraph* graph) {
  if (!graph) return;
  MergeHeap* heap = graph->heap;
  for (uint32_t slot = 0; slot < heap->count; ++slot) BlockPoolPut(GraphNodePool(), HeapBlockAt(heap, slot));
  HeapFree(heap);
  JFree(graph);
}
