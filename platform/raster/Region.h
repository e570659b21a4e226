// A set of pixels kept as non-overlapping rectangles. Clip regions of device
// contexts are regions; a handful of rectangles is the usual case.
#pragma once
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/raster/Geometry.h"

namespace platform {

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r) { if (!r.empty()) rects_.push_back(r); }

  bool empty() const { return rects_.empty(); }
  const std::vector<Rect>& rects() const { return rects_; }
  Rect bounds() const;
  bool contains(int x, int y) const;
  // Number of pixels covered (64-bit: a region can be large).
  int64_t area() const;

  void unite(const Rect& r);
  void unite(const Region& other);
  void intersect(const Rect& r);
  void intersect(const Region& other);
  void subtract(const Rect& r);
  void subtract(const Region& other);
  void translate(int dx, int dy);

  // Calls sink(x0, x1) for each piece of the row span [x0, x1) at row y inside the region,
  // from left to right.
  template <typename Sink>
  void clipSpan(int y, int x0, int x1, Sink&& sink) const;

  bool operator==(const Region& o) const;

 private:
  std::vector<Rect> rects_;  // pairwise disjoint, none empty
};

template <typename Sink>
void Region::clipSpan(int y, int x0, int x1, Sink&& sink) const {
  if (x0 >= x1) return;
  if (rects_.size() == 1) {
    const Rect& r = rects_[0];
    if (y < r.top || y >= r.bottom) return;
    const int a = std::max(x0, r.left);
    const int b = std::min(x1, r.right);
    if (a < b) sink(a, b);
    return;
  }
  // The rectangles are disjoint, so the pieces only need ordering.
  std::vector<std::pair<int, int>> pieces;
  for (const Rect& r : rects_) {
    if (y < r.top || y >= r.bottom) continue;
    const int a = std::max(x0, r.left);
    const int b = std::min(x1, r.right);
    if (a < b) pieces.emplace_back(a, b);
  }
  std::sort(pieces.begin(), pieces.end());
  for (const auto& [a, b] : pieces) sink(a, b);
}

}  // namespace platform
