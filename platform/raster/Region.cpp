#include "platform/raster/Region.h"

namespace platform {

namespace {

// Appends the parts of `a` outside `b` (at most four rectangles).
void AppendDifference(const Rect& a, const Rect& b, std::vector<Rect>& out) {
  const Rect i = a.intersected(b);
  if (i.empty()) {
    out.push_back(a);
    return;
  }
  if (a.top < i.top) out.push_back({a.left, a.top, a.right, i.top});
  if (i.bottom < a.bottom) out.push_back({a.left, i.bottom, a.right, a.bottom});
  if (a.left < i.left) out.push_back({a.left, i.top, i.left, i.bottom});
  if (i.right < a.right) out.push_back({i.right, i.top, a.right, i.bottom});
}

}  // namespace

Rect Region::bounds() const {
  if (rects_.empty()) return {};
  Rect b = rects_[0];
  for (const Rect& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::contains(int x, int y) const {
  for (const Rect& r : rects_) {
    if (r.contains(x, y)) return true;
  }
  return false;
}

int64_t Region::area() const {
  int64_t total = 0;
  for (const Rect& r : rects_) total += static_cast<int64_t>(r.width()) * r.height();
  return total;
}

void Region::unite(const Rect& r) {
  if (r.empty()) return;
  // Keep the rectangles disjoint: add only the parts of r nobody covers yet.
  std::vector<Rect> pieces{r};
  for (const Rect& existing : rects_) {
    std::vector<Rect> next;
    for (const Rect& p : pieces) AppendDifference(p, existing, next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::unite(const Region& other) {
  for (const Rect& r : other.rects_) unite(r);
}

void Region::intersect(const Rect& r) {
  std::vector<Rect> out;
  for (const Rect& a : rects_) {
    const Rect i = a.intersected(r);
    if (!i.empty()) out.push_back(i);
  }
  rects_.swap(out);
}

void Region::intersect(const Region& other) {
  std::vector<Rect> out;
  for (const Rect& a : rects_) {
    for (const Rect& b : other.rects_) {
      const Rect i = a.intersected(b);
      if (!i.empty()) out.push_back(i);
    }
  }
  rects_.swap(out);
}

void Region::subtract(const Rect& r) {
  if (r.empty()) return;
  std::vector<Rect> out;
  for (const Rect& a : rects_) AppendDifference(a, r, out);
  rects_.swap(out);
}

void Region::subtract(const Region& other) {
  for (const Rect& r : other.rects_) subtract(r);
}

void Region::translate(int dx, int dy) {
  for (Rect& r : rects_) r = r.translated(dx, dy);
}

bool Region::operator==(const Region& o) const {
  if (area() != o.area()) return false;
  Region rest = *this;
  rest.subtract(o);
  return rest.empty();
}

}  // namespace platform
