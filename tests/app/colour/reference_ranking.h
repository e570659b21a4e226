// A second, deliberately plain implementation of the colour ranking: histogram,
// colour tree, bounded nearest-colour search, colour graph with its merge heap,
// merge order and the two measures. It is written for reading, not for speed
// (std containers, indices instead of pool handles, no cached colours), and the
// engine's results are compared with it step by step.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace reference {

uint32_t Distance(uint32_t a, uint32_t b);

// The octree over the colour bits. Slots hold nothing, a leaf (a colour index)
// or a child node; nodes are never reused, so an index names one node forever.
class ColourTree {
 public:
  ColourTree();
  // Counts one pixel; appends the colour to `colours`/`counts` when it is new.
  void Add(uint32_t colour, std::vector<uint32_t>& colours, std::vector<uint32_t>& counts);
  void Remove(uint32_t colour);
  // Index of the nearest other colour found by the bounded neighbourhood search
  // around the colour's own leaf; 0 when nothing is found.
  uint32_t FindNearest(uint32_t colour, const std::vector<uint32_t>& colours);
  // Level of the node holding the colour's leaf, -1 when it is not in the tree.
  int LeafLevel(uint32_t colour) const;

 private:
  enum Kind : uint8_t { kEmpty, kLeaf, kNode };
  struct Slot {
    Kind kind = kEmpty;
    uint32_t value = 0;  // colour index of a leaf, node number of a child
  };
  struct Node {
    std::array<Slot, 8> slots{};
    uint32_t stamp = 0;
  };

  uint32_t NewNode();
  void RemoveBelow(uint32_t node, int level, uint32_t colour);
  Slot Collapse(uint32_t node);
  void DescendAndSearch(uint32_t node, uint32_t target, int level, int stopLevel);
  void SearchSubtree(uint32_t node);
  void TestLeaf(uint32_t index);

  std::vector<Node> nodes_;
  uint32_t searchCounter_ = 1;
  // State of the search under way.
  const std::vector<uint32_t>* searchColours_ = nullptr;
  uint32_t searchColour_ = 0;
  uint32_t best_ = 0;
  uint32_t bestIndex_ = 0;
};

// Histogram, graph and merge order of one picture.
class Ranking {
 public:
  // `keys` are colour keys 0x00RRGGBB, rows from the top, left to right.
  Ranking(int width, int height, const std::vector<uint32_t>& keys);

  uint32_t ColourCount() const { return static_cast<uint32_t>(colours_.size()); }
  const std::vector<uint32_t>& Colours() const { return colours_; }
  const std::vector<uint32_t>& Counts() const { return counts_; }
  ColourTree& Tree() { return tree_; }

  // Builds the graph: every colour's nearest, cost and heap entry.
  void BuildGraph();
  bool Finished() const { return heap_.empty() && merged_ == ColourCount(); }
  // One merge of the cheapest colour; returns false once every colour is merged.
  bool Step(uint32_t* removed, uint32_t* into);
  // Runs the remaining steps, filling the order and merge targets.
  void RunToEnd();
  // The engine only ever sifts a changed cost down, also when it fell; with this
  // set, a fallen cost rises in the heap as it would in a textbook heap, so a
  // test can tell whether a picture's order depends on the difference.
  void RaiseFallenCosts(bool raise) { raiseFallenCosts_ = raise; }

  bool Alive(uint32_t i) const { return alive_[i]; }
  uint32_t Nearest(uint32_t i) const { return nearest_[i]; }
  uint64_t Cost(uint32_t i) const { return cost_[i]; }
  uint32_t Weight(uint32_t i) const { return weight_[i]; }
  uint32_t HeapCount() const { return static_cast<uint32_t>(heap_.size()); }

  const std::vector<uint32_t>& Order() const { return order_; }
  const std::vector<uint32_t>& MergedInto() const { return mergedInto_; }
  const std::vector<uint32_t>& MergePosition() const { return mergePosition_; }

  // Measures for k = 1 .. c (entry k - 1), c = colours not marked transparent.
  // A merge that would leave no colour (when order[0] is transparent) is dropped.
  std::vector<uint32_t> MaximumError(const std::vector<uint8_t>& transparent) const;
  std::vector<uint64_t> Quality(const std::vector<uint8_t>& transparent) const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  uint64_t MergeCost(uint32_t i, uint32_t j) const;
  void Link(uint32_t d, uint32_t m);
  void Unlink(uint32_t d);
  void HeapInsert(uint32_t x);
  uint32_t HeapPopMin();
  void HeapSiftDown(uint32_t i);
  void Reposition(uint32_t x, uint64_t oldCost);

  int width_;
  int height_;
  std::vector<uint32_t> colours_;
  std::vector<uint32_t> counts_;
  ColourTree tree_;

  std::vector<uint8_t> alive_;
  std::vector<uint32_t> weight_;
  std::vector<uint32_t> nearest_;
  std::vector<uint32_t> firstDependent_;
  std::vector<uint32_t> nextDependent_;
  std::vector<uint32_t> prevDependent_;
  std::vector<uint32_t> heapPosition_;
  std::vector<uint64_t> cost_;
  std::vector<uint32_t> heap_;
  uint32_t merged_ = 0;
  bool raiseFallenCosts_ = false;

  std::vector<uint32_t> order_;
  std::vector<uint32_t> mergedInto_;
  std::vector<uint32_t> mergePosition_;
};

}  // namespace reference
