// Areas waiting to be redrawn, kept as a short list of rectangles. Overlapping or
// touching rectangles are merged as they arrive, and a list that grows past a few
// dozen entries collapses into its bounding box: redrawing a little more is cheaper
// than tracking many slivers.
#pragma once
#include <vector>

#include "platform/raster/Geometry.h"

namespace platform::wm {

class DirtyRegion {
 public:
  static constexpr size_t kMaxRects = 32;

  void add(const Rect& r);
  // Removes an area; rectangles it cuts are split into at most four pieces.
  void subtract(const Rect& r);
  void intersect(const Rect& r);
  void clear() { rects_.clear(); }
  bool empty() const { return rects_.empty(); }
  const std::vector<Rect>& rects() const { return rects_; }
  Rect bounds() const;
  bool contains(int x, int y) const;

 private:
  void addMerging(const Rect& r, bool lossy);
  std::vector<Rect> rects_;  // none empty, pairwise not mergeable at the time they were added
};

// Smallest rectangle holding both; an empty rectangle adds nothing.
Rect Unite(const Rect& a, const Rect& b);

}  // namespace platform::wm
