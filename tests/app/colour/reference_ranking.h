// A second, deliberately plain implementation of the colour ranking: histogram,
// colour tree, bounded nearest-colour search, colour graph with its merge heap,
// merge order and the two measures. It is written for reading, not for speed
// (std containers, indices instead of pool handles, no cached colours), and the
// engine's results are compared with it step by step.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace reference {

inline int Component(uint32_t colour, int which) { return static_cast<int>((colour >> (16 - 8 * which)) & 0xFF); }

inline uint32_t Distance(uint32_t a, uint32_t b) {
  uint32_t d = 0;
  for (int c = 0; c < 3; ++c) d += static_cast<uint32_t>(std::abs(Component(a, c) - Component(b, c)));
  return d;
}

// Slot of a colour in a node at `level`: bit `level` of blue, green, red.
inline int SlotOf(uint32_t colour, int level) {
  return static_cast<int>(((colour >> level) & 1u) | ((colour >> (level + 8)) & 1u) << 1 |
                          ((colour >> (level + 16)) & 1u) << 2);
}

// The octree over the colour bits. Slots hold nothing, a leaf (a colour index)
// or a child node; nodes are never reused, so an index names one node forever.
class ColourTree {
 public:
  ColourTree() { nodes_.push_back(Node{}); }

  // Counts one pixel; appends the colour to `colours`/`counts` when it is new.
  void Add(uint32_t colour, std::vector<uint32_t>& colours, std::vector<uint32_t>& counts) {
    uint32_t node = 0;
    for (int level = 7;;) {
      const int s = SlotOf(colour, level);
      const Slot slot = nodes_[node].slots[s];
      if (slot.kind == kEmpty) {
        colours.push_back(colour);
        counts.push_back(1);
        nodes_[node].slots[s] = {kLeaf, static_cast<uint32_t>(colours.size() - 1)};
        return;
      }
      if (slot.kind == kLeaf && colours[slot.value] == colour) {
        ++counts[slot.value];
        return;
      }
      --level;
      if (slot.kind == kLeaf) {  // another colour holds the slot: push it one level down
        nodes_.push_back(Node{});
        nodes_[node].slots[s] = {kNode, static_cast<uint32_t>(nodes_.size() - 1)};
        nodes_.back().slots[SlotOf(colours[slot.value], level)] = slot;
      }
      node = nodes_[node].slots[s].value;
    }
  }

  void Remove(uint32_t colour) { RemoveBelow(0, 7, colour); }

  // Level of the node holding the colour's leaf, -1 when it is not in the tree.
  int LeafLevel(uint32_t colour) const {
    uint32_t node = 0;
    for (int level = 7; level >= 0; --level) {
      const Slot slot = nodes_[node].slots[SlotOf(colour, level)];
      if (slot.kind != kNode) return slot.kind == kLeaf ? level : -1;
      node = slot.value;
    }
    return -1;
  }

  // Index of the nearest other colour found by the bounded neighbourhood search
  // around the colour's own leaf (the 3 x 3 x 3 leaf-sized cells around it, the
  // nearer cells first); 0 when nothing is found.
  uint32_t FindNearest(uint32_t colour, const std::vector<uint32_t>& colours) {
    ++searchCounter_;
    std::array<uint32_t, 8> path{};
    uint32_t node = 0;
    int leafLevel = 7;
    for (;; --leafLevel) {
      if (leafLevel < 0) return 0;
      path[leafLevel] = node;
      const Slot slot = nodes_[node].slots[SlotOf(colour, leafLevel)];
      if (slot.kind == kEmpty) return 0;
      if (slot.kind == kLeaf) break;
      node = slot.value;
    }
    std::vector<Candidate> candidates[3];
    for (int c = 0; c < 3; ++c) candidates[c] = Candidates(Component(colour, c), leafLevel);
    best_ = 768;
    bestIndex_ = 0;
    for (const Candidate& r : candidates[0]) {
      for (const Candidate& g : candidates[1]) {
        for (const Candidate& b : candidates[2]) {
          const uint32_t target = static_cast<uint32_t>(r.value) << 16 | static_cast<uint32_t>(g.value) << 8 |
                                  static_cast<uint32_t>(b.value);
          if (Distance(target, colour) >= best_) continue;
          const int start = std::max({r.startLevel, g.startLevel, b.startLevel});
          DescendAndSearch(path[start], target, start, leafLevel, colour, colours);
        }
      }
    }
    return bestIndex_;
  }

 private:
  enum Kind : uint8_t { kEmpty, kLeaf, kNode };
  struct Slot {
    Kind kind = kEmpty;
    uint32_t value = 0;  // colour index of a leaf, node number of a child
  };
  struct Node {
    std::array<Slot, 8> slots{};
    uint32_t stamp = 0;  // the last search that looked at the whole node
  };
  struct Candidate {
    int value;
    int startLevel;
  };

  static int HighestBit(int value) {
    int bit = 0;
    for (int b = 0; b < 8; ++b) bit = value & (1 << b) ? b : bit;
    return bit;
  }

  // lo, v and hi of one component around a leaf at level L; lo and hi are the
  // nearest points of the neighbouring cells, left out where they would fall off the cube.
  static std::vector<Candidate> Candidates(int v, int leafLevel) {
    const int base = v & (255 << leafLevel) & 0xFF;
    const int unit = 1 << leafLevel;
    std::vector<Candidate> out;
    if (base != 0) out.push_back({base - 1, std::max(leafLevel, HighestBit((base - 1) ^ v))});
    out.push_back({v, leafLevel});
    if (base + unit != 256) out.push_back({base + unit, std::max(leafLevel, HighestBit((base + unit) ^ v))});
    return out;
  }

  void RemoveBelow(uint32_t node, int level, uint32_t colour) {
    const int s = SlotOf(colour, level);
    const Slot slot = nodes_[node].slots[s];
    if (slot.kind == kLeaf) nodes_[node].slots[s] = Slot{};
    if (slot.kind != kNode) return;
    RemoveBelow(slot.value, level - 1, colour);
    // A node keeps its place while it has two occupied slots or holds a node;
    // otherwise its single leaf (or nothing) takes its place in the parent.
    Slot only;
    for (const Slot& child : nodes_[slot.value].slots) {
      if (child.kind == kEmpty) continue;
      if (child.kind == kNode || only.kind != kEmpty) return;
      only = child;
    }
    nodes_[node].slots[s] = only;
  }

  void DescendAndSearch(uint32_t node, uint32_t target, int level, int stopLevel, uint32_t colour,
                        const std::vector<uint32_t>& colours) {
    for (;;) {
      const Slot slot = nodes_[node].slots[SlotOf(target, level)];
      if (slot.kind != kNode) return SearchSubtree(node, colour, colours);
      node = slot.value;
      --level;
      if (nodes_[node].stamp == searchCounter_) return;
      if (level <= stopLevel) return SearchSubtree(node, colour, colours);
    }
  }

  // The first colour met at a distance wins; the searched colour itself never does.
  void SearchSubtree(uint32_t node, uint32_t colour, const std::vector<uint32_t>& colours) {
    if (nodes_[node].stamp == searchCounter_) return;
    nodes_[node].stamp = searchCounter_;
    for (const Slot& s : nodes_[node].slots) {
      const uint32_t d = s.kind == kLeaf ? Distance(colours[s.value], colour) : 0;
      if (d < best_ && d > 0) best_ = d, bestIndex_ = s.value;
      if (s.kind == kNode) SearchSubtree(s.value, colour, colours);
    }
  }

  std::vector<Node> nodes_;
  uint32_t searchCounter_ = 1;
  uint32_t best_ = 0;
  uint32_t bestIndex_ = 0;
};

// Histogram, graph and merge order of one picture.
class Ranking {
 public:
  // `keys` are colour keys 0x00RRGGBB, rows from the top, left to right.
  Ranking(int width, int height, const std::vector<uint32_t>& keys) : width_(width), height_(height) {
    for (uint32_t key : keys) tree_.Add(key & 0xFFFFFF, colours_, counts_);
  }

  uint32_t ColourCount() const { return static_cast<uint32_t>(colours_.size()); }
  const std::vector<uint32_t>& Colours() const { return colours_; }
  const std::vector<uint32_t>& Counts() const { return counts_; }
  ColourTree& Tree() { return tree_; }
  // The engine only ever sifts a changed cost down, also when it fell; with this
  // set, a fallen cost rises in the heap as it would in a textbook heap, so a
  // test can tell whether a picture's order depends on the difference.
  void RaiseFallenCosts(bool raise) { raiseFallenCosts_ = raise; }
  bool Alive(uint32_t i) const { return alive_[i]; }
  uint32_t Nearest(uint32_t i) const { return nearest_[i]; }
  uint64_t Cost(uint32_t i) const { return cost_[i]; }
  uint32_t HeapCount() const { return static_cast<uint32_t>(heap_.size()); }
  const std::vector<uint32_t>& Order() const { return order_; }
  const std::vector<uint32_t>& MergedInto() const { return mergedInto_; }

  // Builds the graph: every colour's nearest, cost and heap entry.
  void BuildGraph() {
    const uint32_t n = ColourCount();
    alive_.assign(n, 1);
    weight_ = counts_;
    for (auto* v : {&nearest_, &firstDependent_, &nextDependent_, &prevDependent_}) v->assign(n, kNone);
    for (auto* v : {&heapPosition_, &order_, &mergedInto_}) v->assign(n, 0);
    cost_.assign(n, 0);
    heap_.clear();
    merged_ = 0;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t j = tree_.FindNearest(colours_[i], colours_);
      Link(i, j);
      cost_[i] = MergeCost(i, j);
      HeapInsert(i);
    }
  }

  // One merge of the cheapest colour; returns false once every colour is merged.
  bool Step(uint32_t* removed, uint32_t* into) {
    if (heap_.empty()) return false;
    const uint32_t node = heap_[0];
    heap_[0] = heap_.back();
    heap_.pop_back();
    if (!heap_.empty()) HeapSiftDown(0);
    *removed = node;
    *into = heap_.empty() ? node : nearest_[node];
    if (heap_.size() > 1) {
      tree_.Remove(colours_[node]);
      const uint32_t absorber = nearest_[node];
      weight_[absorber] += weight_[node];
      // The absorber's own nearest may be the colour going away; its record is
      // still there, and the absorber is searched again below in that case.
      const uint64_t absorberCost = cost_[absorber];
      cost_[absorber] = MergeCost(absorber, nearest_[absorber]);
      Reposition(absorber, absorberCost);
      Unlink(node);
      for (uint32_t d = firstDependent_[node]; d != kNone;) {
        const uint32_t next = nextDependent_[d];
        const uint32_t j = tree_.FindNearest(colours_[d], colours_);
        if (j != nearest_[d]) {
          const uint64_t oldCost = cost_[d];
          cost_[d] = MergeCost(d, j);
          Reposition(d, oldCost);
          Unlink(d);
          Link(d, j);
        }
        d = next;
      }
    }
    alive_[node] = 0;
    order_[ColourCount() - merged_++ - 1] = node;
    mergedInto_[node] = *into;
    return true;
  }

  void RunToEnd() {
    uint32_t removed = 0, into = 0;
    while (Step(&removed, &into)) {
    }
  }

  // Both measures for k = 1 .. c (entry k - 1), c = colours not marked transparent,
  // walking the merges backwards; entries from c on are unmeasured (all ones). A
  // merge that would leave no colour (when order[0] is transparent) is dropped.
  void Measures(const std::vector<uint8_t>& transparent, std::vector<uint32_t>* errors,
                std::vector<uint64_t>* quality) const {
    const uint32_t n = ColourCount();
    uint32_t c = n;
    for (uint32_t i = 0; i < n; ++i) c -= transparent[i] ? 1 : 0;
    errors->assign(n, UINT32_MAX);
    quality->assign(n, UINT64_MAX);
    if (c == 0) return;
    std::vector<uint64_t> weight(counts_.begin(), counts_.end());
    uint64_t budget = static_cast<uint64_t>(width_) * 768u * static_cast<uint64_t>(height_);
    uint32_t running = 0;
    uint32_t j = c - 1;
    (*errors)[j] = 0;
    (*quality)[j] = budget;
    for (uint32_t i = 1; i < n && j > 0; ++i) {
      const uint32_t x = order_[n - i];
      if (transparent[x]) continue;
      const uint32_t p = mergedInto_[x];
      running = std::max(running, Distance(colours_[x], colours_[p]));
      budget -= static_cast<uint64_t>(Distance(colours_[x], colours_[p])) * weight[x];
      weight[p] += weight[x];
      --j;
      (*errors)[j] = running;
      (*quality)[j] = budget;
    }
  }

 private:
  static constexpr uint32_t kNone = UINT32_MAX;

  uint64_t MergeCost(uint32_t i, uint32_t j) const {
    return static_cast<uint64_t>(Distance(colours_[i], colours_[j])) * weight_[i];
  }

  // New dependents go to the head of the list.
  void Link(uint32_t d, uint32_t m) {
    nearest_[d] = m;
    prevDependent_[d] = kNone;
    nextDependent_[d] = firstDependent_[m];
    if (firstDependent_[m] != kNone) prevDependent_[firstDependent_[m]] = d;
    firstDependent_[m] = d;
  }

  void Unlink(uint32_t d) {
    if (prevDependent_[d] != kNone) nextDependent_[prevDependent_[d]] = nextDependent_[d];
    if (nextDependent_[d] != kNone) prevDependent_[nextDependent_[d]] = prevDependent_[d];
    if (firstDependent_[nearest_[d]] == d) firstDependent_[nearest_[d]] = nextDependent_[d];
  }

  void Place(uint32_t i, uint32_t x) {
    heap_[i] = x;
    heapPosition_[x] = i;
  }

  // Rises only past strictly greater keys.
  void HeapInsert(uint32_t x) {
    uint32_t i = static_cast<uint32_t>(heap_.size());
    heap_.push_back(x);
    for (; i > 0 && cost_[x] < cost_[heap_[(i - 1) / 2]]; i = (i - 1) / 2) Place(i, heap_[(i - 1) / 2]);
    Place(i, x);
  }

  // Sinks past children of equal key; of two equal children the left one moves up.
  void HeapSiftDown(uint32_t i) {
    const uint32_t x = heap_[i];
    const uint32_t count = static_cast<uint32_t>(heap_.size());
    for (uint32_t c = 2 * i + 1; c < count; i = c, c = 2 * c + 1) {
      if (c + 1 < count && cost_[heap_[c]] > cost_[heap_[c + 1]]) ++c;
      if (cost_[x] < cost_[heap_[c]]) break;
      Place(i, heap_[c]);
    }
    Place(i, x);
  }

  void Reposition(uint32_t x, uint64_t oldCost) {
    HeapSiftDown(heapPosition_[x]);
    if (!raiseFallenCosts_ || cost_[x] >= oldCost) return;
    for (uint32_t i = heapPosition_[x]; i > 0 && cost_[x] < cost_[heap_[(i - 1) / 2]]; i = (i - 1) / 2) {
      Place(i, heap_[(i - 1) / 2]);
      Place((i - 1) / 2, x);
    }
  }

  int width_;
  int height_;
  std::vector<uint32_t> colours_;
  std::vector<uint32_t> counts_;
  ColourTree tree_;
  std::vector<uint8_t> alive_;
  std::vector<uint32_t> weight_, nearest_, firstDependent_, nextDependent_, prevDependent_, heapPosition_;
  std::vector<uint64_t> cost_;
  std::vector<uint32_t> heap_;
  uint32_t merged_ = 0;
  bool raiseFallenCosts_ = false;
  std::vector<uint32_t> order_, mergedInto_;
};

}  // namespace reference
