#include "platform/wm/DirtyRegion.h"

#include <algorithm>

namespace platform::wm {

Rect Unite(const Rect& a, const Rect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

namespace {

// Two rectangles merge when their union covers nothing that neither covers: one holds
// the other, or they share a full edge (side by side with equal rows, or stacked with
// equal columns) and overlap or touch.
bool Mergeable(const Rect& a, const Rect& b) {
  const Rect u = Unite(a, b);
  if (u == a || u == b) return true;
  if (a.top == b.top && a.bottom == b.bottom) return a.left <= b.right && b.left <= a.right;
  if (a.left == b.left && a.right == b.right) return a.top <= b.bottom && b.top <= a.bottom;
  return false;
}

// Overlapping rectangles also merge when the union wastes little: a quarter of the
// union's area at most.
bool CheapToMerge(const Rect& a, const Rect& b) {
  const Rect i = a.intersected(b);
  if (i.empty()) return false;
  const Rect u = Unite(a, b);
  const long long covered = static_cast<long long>(a.width()) * a.height() +
                            static_cast<long long>(b.width()) * b.height() -
                            static_cast<long long>(i.width()) * i.height();
  const long long whole = static_cast<long long>(u.width()) * u.height();
  return (whole - covered) * 4 <= whole;
}

}  // namespace

void DirtyRegion::add(const Rect& r) { addMerging(r, true); }

void DirtyRegion::addMerging(const Rect& r, bool lossy) {
  if (r.empty()) return;
  Rect pending = r;
  // A merge can make the grown rectangle mergeable with others, so repeat until stable.
  bool merged = true;
  while (merged) {
    merged = false;
    for (size_t i = 0; i < rects_.size(); ++i) {
      if (Mergeable(rects_[i], pending) || (lossy && CheapToMerge(rects_[i], pending))) {
        pending = Unite(rects_[i], pending);
        rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(i));
        merged = true;
        break;
      }
    }
  }
  rects_.push_back(pending);
  if (lossy && rects_.size() > kMaxRects) {
    const Rect all = bounds();
    rects_.assign(1, all);
  }
}

void DirtyRegion::subtract(const Rect& cut) {
  if (cut.empty() || rects_.empty()) return;
  std::vector<Rect> out;
  out.reserve(rects_.size() + 4);
  for (const Rect& r : rects_) {
    const Rect i = r.intersected(cut);
    if (i.empty()) {
      out.push_back(r);
      continue;
    }
    const Rect pieces[4] = {{r.left, r.top, r.right, i.top},
                            {r.left, i.bottom, r.right, r.bottom},
                            {r.left, i.top, i.left, i.bottom},
                            {i.right, i.top, r.right, i.bottom}};
    for (const Rect& p : pieces)
      if (!p.empty()) out.push_back(p);
  }
  // Only exact merges here: a lossy one could grow back over the area just removed.
  rects_.clear();
  for (const Rect& p : out) addMerging(p, false);
}

void DirtyRegion::intersect(const Rect& clip) {
  std::vector<Rect> out;
  for (const Rect& r : rects_) {
    const Rect i = r.intersected(clip);
    if (!i.empty()) out.push_back(i);
  }
  rects_ = std::move(out);
}

Rect DirtyRegion::bounds() const {
  Rect b;
  for (const Rect& r : rects_) b = Unite(b, r);
  return b;
}

bool DirtyRegion::contains(int x, int y) const {
  return std::any_of(rects_.begin(), rects_.end(),
                     [x, y](const Rect& r) { return r.contains(x, y); });
}

}  // namespace platform::wm
