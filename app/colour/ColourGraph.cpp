#include "app/colour/ColourGraph.h"

#include <cstddef>

#include "app/colour/ColourTree.h"
#include "app/colour/StageLabels.h"
#include "app/shell/progress.h"
#include "jindep/memory.h"

namespace {

// New dependents go to the head of the list.
void LinkUnder(uint32_t d, uint32_t m) {
  GraphNode* dn = GraphNodeAt(d);
  GraphNode* mn = GraphNodeAt(m);
  dn->nearest = m;
  dn->prevDependent = 0;
  dn->nextDependent = mn->firstDependent;
  if (mn->firstDependent) GraphNodeAt(mn->firstDependent)->prevDependent = d;
  mn->firstDependent = d;
}

void Unlink(uint32_t d) {
  GraphNode* dn = GraphNodeAt(d);
  if (dn->prevDependent) GraphNodeAt(dn->prevDependent)->nextDependent = dn->nextDependent;
  if (dn->nextDependent) GraphNodeAt(dn->nextDependent)->prevDependent = dn->prevDependent;
  GraphNode* mn = GraphNodeAt(dn->nearest);
  if (mn->firstDependent == d) mn->firstDependent = dn->nextDependent;
}

}  // namespace

ColourGraph* BuildColourGraph(ColourTable* table, uint32_t root) {
  const uint32_t n = table->count;
  ColourGraph* graph = static_cast<ColourGraph*>(JAlloc(sizeof(ColourGraph)));
  graph->size = n;
  graph->nodes = JAllocArray<uint32_t>(n ? n : 1);
  BlockPool* pool = GraphNodePool();
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t handle = BlockPoolGet(pool);
    GraphNode* node = GraphNodeAt(handle);
    node->firstDependent = 0;
    node->nextDependent = 0;
    node->prevDependent = 0;
    graph->nodes[i] = handle;
  }
  graph->heap = HeapCreate(n, offsetof(GraphNode, cost), offsetof(GraphNode, heapPosition), pool);

  ProgressSetLabel(kLabelCreatingColourGraph);
  const uint32_t groups = static_cast<uint32_t>((static_cast<uint64_t>(n) + 127) >> 7);
  const uint32_t step = groups ? (1u << 24) / groups : 0;
  uint32_t* nearest = JAllocArray<uint32_t>(n ? n : 1);
  FindNearestColours(root, table, nearest, step);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t j = nearest[i];
    uint32_t handle = graph->nodes[i];
    GraphNode* node = GraphNodeAt(handle);
    node->index = i;
    LinkUnder(handle, graph->nodes[j]);
    node->cost = MergeCost(table, i, j);
    HeapInsert(graph->heap, handle);
  }
  JFree(nearest);
  return graph;
}

void MergeStep(ColourGraph* graph, ColourTable* table, uint32_t root, uint32_t* removed, uint32_t* into) {
  uint32_t handle = HeapPopMin(graph->heap);
  GraphNode* node = GraphNodeAt(handle);
  *removed = node->index;
  if (graph->heap->count == 0) {
    *into = *removed;
  } else {
    *into = GraphNodeAt(node->nearest)->index;
    if (graph->heap->count != 1) {
      ColourTreeRemove(root, table, *removed);

      uint32_t n = node->nearest;
      GraphNode* nn = GraphNodeAt(n);
      table->records[nn->index].weight += table->records[*removed].weight;
      nn->cost = MergeCost(table, nn->index, GraphNodeAt(nn->nearest)->index);
      HeapSiftDown(graph->heap, nn->heapPosition);

      Unlink(handle);

      uint32_t d = node->firstDependent;
      while (d) {
        GraphNode* dn = GraphNodeAt(d);
        uint32_t next = dn->nextDependent;
        uint32_t j = FindNearestColour(root, table, table->records[dn->index].colour);
        uint32_t m = graph->nodes[j];
        if (m != dn->nearest) {
          dn->cost = MergeCost(table, dn->index, j);
          HeapSiftDown(graph->heap, dn->heapPosition);
          Unlink(d);
          LinkUnder(d, m);
        }
        d = next;
      }
    }
  }
  BlockPoolPut(GraphNodePool(), handle);
  graph->nodes[*removed] = 0;
}

void ColourGraphFree(ColourGraph* graph) {
  if (!graph) return;
  for (uint32_t i = 0; i < graph->size; ++i) {
    if (graph->nodes[i]) BlockPoolPut(GraphNodePool(), graph->nodes[i]);
  }
  JFree(graph->nodes);
  HeapFree(graph->heap);
  JFree(graph);
}
