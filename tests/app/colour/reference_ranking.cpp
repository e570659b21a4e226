#include "reference_ranking.h"

#include <algorithm>
#include <cstdlib>

namespace reference {

namespace {

int Component(uint32_t colour, int which) { return static_cast<int>((colour >> (16 - 8 * which)) & 0xFF); }

// Slot of a colour in a node at `level`: bit `level` of blue, green, red.
int SlotOf(uint32_t colour, int level) {
  return static_cast<int>(((colour >> level) & 1u) | ((colour >> (level + 8)) & 1u) << 1 |
                          ((colour >> (level + 16)) & 1u) << 2);
}

int HighestBit(int value) {
  int bit = 0;
  for (int b = 0; b < 8; ++b) {
    if (value & (1 << b)) bit = b;
  }
  return bit;
}

struct Candidate {
  int value;
  int startLevel;
};

// lo, v and hi of one component around a leaf at level L; lo and hi are the
// nearest points of the neighbouring cells and are left out when they would
// fall off the cube.
std::vector<Candidate> Candidates(int v, int leafLevel) {
  const int base = v & (255 << leafLevel) & 0xFF;
  const int unit = 1 << leafLevel;
  std::vector<Candidate> out;
  if (base != 0) {
    const int lo = base - 1;
    out.push_back({lo, std::max(leafLevel, HighestBit(lo ^ v))});
  }
  out.push_back({v, leafLevel});
  if (base + unit != 256) {
    const int hi = base + unit;
    out.push_back({hi, std::max(leafLevel, HighestBit(hi ^ v))});
  }
  return out;
}

}  // namespace

uint32_t Distance(uint32_t a, uint32_t b) {
  uint32_t d = 0;
  for (int c = 0; c < 3; ++c) d += static_cast<uint32_t>(std::abs(Component(a, c) - Component(b, c)));
  return d;
}

// ---------------------------------------------------------------- colour tree

ColourTree::ColourTree() { NewNode(); }

uint32_t ColourTree::NewNode() {
  nodes_.push_back(Node{});
  return static_cast<uint32_t>(nodes_.size() - 1);
}

void ColourTree::Add(uint32_t colour, std::vector<uint32_t>& colours, std::vector<uint32_t>& counts) {
  uint32_t node = 0;
  int level = 7;
  for (;;) {
    const int s = SlotOf(colour, level);
    const Slot slot = nodes_[node].slots[s];
    if (slot.kind == kEmpty) {
      colours.push_back(colour);
      counts.push_back(1);
      nodes_[node].slots[s] = {kLeaf, static_cast<uint32_t>(colours.size() - 1)};
      return;
    }
    if (slot.kind == kNode) {
      node = slot.value;
      --level;
      continue;
    }
    if (colours[slot.value] == colour) {
      ++counts[slot.value];
      return;
    }
    // Another colour holds the slot: push it one level down and try again there.
    const uint32_t split = NewNode();
    --level;
    nodes_[node].slots[s] = {kNode, split};
    nodes_[split].slots[SlotOf(colours[slot.value], level)] = slot;
    node = split;
  }
}

void ColourTree::Remove(uint32_t colour) { RemoveBelow(0, 7, colour); }

void ColourTree::RemoveBelow(uint32_t node, int level, uint32_t colour) {
  const int s = SlotOf(colour, level);
  const Slot slot = nodes_[node].slots[s];
  if (slot.kind == kNode) {
    RemoveBelow(slot.value, level - 1, colour);
    nodes_[node].slots[s] = Collapse(slot.value);
  } else if (slot.kind == kLeaf) {
    nodes_[node].slots[s] = Slot{};
  }
}

// A node keeps its place while it has two occupied slots or holds a node;
// otherwise its single leaf (or nothing) takes its place in the parent.
ColourTree::Slot ColourTree::Collapse(uint32_t node) {
  Slot only;
  for (const Slot& slot : nodes_[node].slots) {
    if (slot.kind == kEmpty) continue;
    if (slot.kind == kNode || only.kind != kEmpty) return {kNode, node};
    only = slot;
  }
  return only;
}

int ColourTree::LeafLevel(uint32_t colour) const {
  uint32_t node = 0;
  for (int level = 7; level >= 0; --level) {
    const Slot slot = nodes_[node].slots[SlotOf(colour, level)];
    if (slot.kind == kEmpty) return -1;
    if (slot.kind == kLeaf) return level;
    node = slot.value;
  }
  return -1;
}

uint32_t ColourTree::FindNearest(uint32_t colour, const std::vector<uint32_t>& colours) {
  ++searchCounter_;
  searchColours_ = &colours;
  searchColour_ = colour;

  std::array<uint32_t, 8> path{};
  uint32_t node = 0;
  int leafLevel = -1;
  for (int level = 7; level >= 0; --level) {
    path[level] = node;
    const Slot slot = nodes_[node].slots[SlotOf(colour, level)];
    if (slot.kind == kEmpty) return 0;
    if (slot.kind == kLeaf) {
      leafLevel = level;
      break;
    }
    node = slot.value;
  }
  if (leafLevel < 0) return 0;

  const int red = Component(colour, 0), green = Component(colour, 1), blue = Component(colour, 2);
  const std::vector<Candidate> reds = Candidates(red, leafLevel);
  const std::vector<Candidate> greens = Candidates(green, leafLevel);
  const std::vector<Candidate> blues = Candidates(blue, leafLevel);

  best_ = 768;
  bestIndex_ = 0;
  for (const Candidate& r : reds) {
    for (const Candidate& g : greens) {
      for (const Candidate& b : blues) {
        const uint32_t bound =
            static_cast<uint32_t>(std::abs(r.value - red) + std::abs(g.value - green) + std::abs(b.value - blue));
        if (bound >= best_) continue;
        const int start = std::max({r.startLevel, g.startLevel, b.startLevel});
        const uint32_t target = static_cast<uint32_t>(r.value) << 16 | static_cast<uint32_t>(g.value) << 8 |
                                static_cast<uint32_t>(b.value);
        DescendAndSearch(path[start], target, start, leafLevel);
      }
    }
  }
  return bestIndex_;
}

void ColourTree::DescendAndSearch(uint32_t node, uint32_t target, int level, int stopLevel) {
  for (;;) {
    const Slot slot = nodes_[node].slots[SlotOf(target, level)];
    if (slot.kind != kNode) {
      if (nodes_[node].stamp == searchCounter_) return;
      nodes_[node].stamp = searchCounter_;
      for (const Slot& s : nodes_[node].slots) {
        if (s.kind == kLeaf) TestLeaf(s.value);
        if (s.kind == kNode) SearchSubtree(s.value);
      }
      return;
    }
    node = slot.value;
    --level;
    if (nodes_[node].stamp == searchCounter_) return;
    if (level <= stopLevel) {
      SearchSubtree(node);
      return;
    }
  }
}

void ColourTree::SearchSubtree(uint32_t node) {
  if (nodes_[node].stamp == searchCounter_) return;
  nodes_[node].stamp = searchCounter_;
  for (const Slot& s : nodes_[node].slots) {
    if (s.kind == kLeaf) TestLeaf(s.value);
    if (s.kind == kNode) SearchSubtree(s.value);
  }
}

// The first colour met at a distance wins; the searched colour itself never does.
void ColourTree::TestLeaf(uint32_t index) {
  const uint32_t d = Distance((*searchColours_)[index], searchColour_);
  if (d < best_ && d > 0) {
    best_ = d;
    bestIndex_ = index;
  }
}

// ---------------------------------------------------------------- ranking

Ranking::Ranking(int width, int height, const std::vector<uint32_t>& keys) : width_(width), height_(height) {
  for (uint32_t key : keys) tree_.Add(key & 0xFFFFFF, colours_, counts_);
}

uint64_t Ranking::MergeCost(uint32_t i, uint32_t j) const {
  return static_cast<uint64_t>(Distance(colours_[i], colours_[j])) * weight_[i];
}

// New dependents go to the head of the list.
void Ranking::Link(uint32_t d, uint32_t m) {
  nearest_[d] = m;
  prevDependent_[d] = kNone;
  nextDependent_[d] = firstDependent_[m];
  if (firstDependent_[m] != kNone) prevDependent_[firstDependent_[m]] = d;
  firstDependent_[m] = d;
}

void Ranking::Unlink(uint32_t d) {
  if (prevDependent_[d] != kNone) nextDependent_[prevDependent_[d]] = nextDependent_[d];
  if (nextDependent_[d] != kNone) prevDependent_[nextDependent_[d]] = prevDependent_[d];
  if (firstDependent_[nearest_[d]] == d) firstDependent_[nearest_[d]] = nextDependent_[d];
}

// Rises only past strictly greater keys.
void Ranking::HeapInsert(uint32_t x) {
  uint32_t i = static_cast<uint32_t>(heap_.size());
  heap_.push_back(x);
  while (i > 0) {
    const uint32_t parent = (i - 1) / 2;
    if (!(cost_[x] < cost_[heap_[parent]])) break;
    heap_[i] = heap_[parent];
    heapPosition_[heap_[i]] = i;
    i = parent;
  }
  heap_[i] = x;
  heapPosition_[x] = i;
}

uint32_t Ranking::HeapPopMin() {
  if (heap_.empty()) return kNone;
  const uint32_t top = heap_[0];
  const uint32_t last = heap_.back();
  heap_.pop_back();
  if (!heap_.empty()) {
    heap_[0] = last;
    heapPosition_[last] = 0;
    HeapSiftDown(0);
  }
  return top;
}

// Sinks past children of equal key; of two equal children the left one moves up.
void Ranking::HeapSiftDown(uint32_t i) {
  const uint32_t x = heap_[i];
  const uint64_t key = cost_[x];
  const uint32_t count = static_cast<uint32_t>(heap_.size());
  uint32_t c = 2 * i + 1;
  while (c < count) {
    if (c + 1 < count && cost_[heap_[c]] > cost_[heap_[c + 1]]) ++c;
    if (key < cost_[heap_[c]]) break;
    heap_[i] = heap_[c];
    heapPosition_[heap_[i]] = i;
    i = c;
    c = 2 * c + 1;
  }
  heap_[i] = x;
  heapPosition_[x] = i;
}

void Ranking::Reposition(uint32_t x, uint64_t oldCost) {
  HeapSiftDown(heapPosition_[x]);
  if (!raiseFallenCosts_ || cost_[x] >= oldCost) return;
  for (uint32_t i = heapPosition_[x]; i > 0 && cost_[x] < cost_[heap_[(i - 1) / 2]]; i = (i - 1) / 2) {
    std::swap(heap_[i], heap_[(i - 1) / 2]);
    heapPosition_[heap_[i]] = i;
    heapPosition_[x] = (i - 1) / 2;
  }
}

void Ranking::BuildGraph() {
  const uint32_t n = ColourCount();
  alive_.assign(n, 1);
  weight_ = counts_;
  nearest_.assign(n, kNone);
  firstDependent_.assign(n, kNone);
  nextDependent_.assign(n, kNone);
  prevDependent_.assign(n, kNone);
  heapPosition_.assign(n, 0);
  cost_.assign(n, 0);
  heap_.clear();
  order_.assign(n, 0);
  mergedInto_.assign(n, 0);
  mergePosition_.assign(n, 0);
  merged_ = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t j = tree_.FindNearest(colours_[i], colours_);
    Link(i, j);
    cost_[i] = MergeCost(i, j);
    HeapInsert(i);
  }
}

bool Ranking::Step(uint32_t* removed, uint32_t* into) {
  const uint32_t node = HeapPopMin();
  if (node == kNone) return false;
  *removed = node;
  if (heap_.empty()) {
    *into = node;
  } else {
    *into = nearest_[node];
    if (heap_.size() != 1) {
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
  }
  alive_[node] = 0;
  const uint32_t position = ColourCount() - merged_ - 1;
  order_[position] = node;
  mergePosition_[node] = position;
  mergedInto_[node] = *into;
  ++merged_;
  return true;
}

void Ranking::RunToEnd() {
  uint32_t removed = 0, into = 0;
  while (Step(&removed, &into)) {
  }
}

// Colours are visited in the order they were merged away; order[0] never is.
std::vector<uint32_t> Ranking::MaximumError(const std::vector<uint8_t>& transparent) const {
  const uint32_t n = ColourCount();
  uint32_t t = 0;
  for (uint32_t i = 0; i < n; ++i) t += transparent[i] ? 1 : 0;
  const uint32_t c = n - t;
  std::vector<uint32_t> values(n, 0xFFFFFFFFu);
  if (c == 0) return values;
  uint32_t j = c - 1;
  values[j] = 0;
  uint32_t running = 0;
  for (uint32_t i = 1; i < n; ++i) {
    const uint32_t x = order_[n - i];
    if (transparent[x]) continue;
    running = std::max(running, Distance(colours_[x], colours_[mergedInto_[x]]));
    if (j == 0) break;
    values[--j] = running;
  }
  return values;
}

std::vector<uint64_t> Ranking::Quality(const std::vector<uint8_t>& transparent) const {
  const uint32_t n = ColourCount();
  uint32_t t = 0;
  for (uint32_t i = 0; i < n; ++i) t += transparent[i] ? 1 : 0;
  const uint32_t c = n - t;
  std::vector<uint64_t> values(n, UINT64_MAX);
  if (c == 0) return values;
  std::vector<uint64_t> weight(counts_.begin(), counts_.end());
  uint64_t budget = static_cast<uint64_t>(width_) * 768u * static_cast<uint64_t>(height_);
  uint32_t j = c - 1;
  values[j] = budget;
  for (uint32_t i = 1; i < n; ++i) {
    const uint32_t x = order_[n - i];
    if (transparent[x]) continue;
    const uint32_t p = mergedInto_[x];
    budget -= static_cast<uint64_t>(Distance(colours_[x], colours_[p])) * weight[x];
    weight[p] += weight[x];
    if (j == 0) break;
    values[--j] = budget;
  }
  return values;
}

}  // namespace reference
