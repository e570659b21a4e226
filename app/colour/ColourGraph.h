// The colour graph decides the order in which a picture's colours are given up.
// Every colour points at its nearest other colour still present, with a merge
// cost of distance times the pixels the colour stands for; the cheapest colour
// is merged first and its pixel weight goes to the colour it merged into.
// Costs are wider than 32 bits (40 in the heap): a 32-bit cost wraps for large pictures and would merge a
// dominant colour away first.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/colour/ColourTable.h"
#include "app/colour/MergeHeap.h"

// One per colour, from the graph-node pool. References are pool handles (0 = none).
// A colour's weight, the pixels it stands for while the graph runs, is not kept:
// its merge cost in the heap is always its distance to its nearest times its weight
// (exactly: a weight is below 2^30 pixels and a distance at most 765, so no cost
// reaches kHeapKeyLimit), so the weight is the cost divided by the distance.
// Dependents are singly linked; a colour leaving its nearest's list is found from
// the head.
struct GraphNode {
  uint32_t index;           // colour index
  uint32_t nearest;         // node of the nearest colour found
  uint32_t firstDependent;  // head of the nodes whose nearest is this one
  uint32_t nextDependent;
  uint32_t heapPosition;  // the node's slot in the heap, which holds its merge cost
  uint32_t colour;        // the record's colour key, kept here for the costs; the top byte holds the
                          // level of the colour's leaf at its last search (see FindNearestColourFetching)
};
static_assert(sizeof(GraphNode) == 24, "eight nodes in three cache lines");

// Every colour still present has its node in the heap, and only there: the
// colours' nodes by index are needed only while the graph is built.
struct ColourGraph {
  MergeHeap* heap;
};

// A node handle exists only once the pool does.
inline GraphNode* GraphNodeAt(uint32_t handle) {
  return BlockPoolBlock<GraphNode>(gEngineGraphNodes, handle);
}

// A colour's weight starts as its record's count. Every record's representative
// is its own index afterwards, as in a table no mapping has touched.
ColourGraph* BuildColourGraph(ColourTable* table, uint32_t root);
// Merges the cheapest colour; *removed gets its index, *into the colour it went into.
void MergeStep(ColourGraph* graph, ColourTable* table, uint32_t root, uint32_t* removed, uint32_t* into);
// Frees the heap and any nodes still in it.
void ColourGraphFree(ColourGraph* graph);

// The searches run on the tree once the graph is built: its leaves then hold the
// colours' graph node handles (less one) in place of colour indices.
// Index of the nearest other colour found by the bounded search around c's own leaf.
uint32_t FindNearestColour(uint32_t root, uint32_t colour);
// The same as a graph node handle, for a caller that knows no other colour of the
// tree lies nearer than `floor` (at least 1): a colour found at that distance ends
// the search, with the same answer. *level (may be null) gets the level of the
// colour's own leaf: every colour within 2^level of it in each component is among
// those the search looks at. With `fetch`, the best node found is fetched into the
// cache whenever the best changes, so that it is there when the search ends.
uint32_t FindNearestNode(uint32_t root, uint32_t colour, uint32_t floor, uint32_t* level, bool fetch);
// FindNearestNode of the colour of every graph node with a leaf in the tree (at
// most `count`), handed to store(data, node, nearest, level), on both processors
// when there are many (store is then called from both); advances the progress by
// `progressStep` after every 128 colours. The results are exactly those of the
// searches one after another.
typedef void (*NearestStoreProc)(void* data, uint32_t node, uint32_t nearest, uint32_t level);
void FindNearestNodes(uint32_t root, uint32_t count, NearestStoreProc store, void* data, uint32_t progressStep);
