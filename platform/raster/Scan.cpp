#include "platform/raster/Scan.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

struct Edge {
  double x0, y0, x1, y1;
  int direction;  // +1 downwards, -1 upwards
};

int ClampToInt(double v) {
  if (v < -1e9) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<int>(v);
}

}  // namespace

void ScanPolygons(SpanCollector& spans, const std::vector<PointF>& points,
                  const std::vector<int>& counts, FillRule rule) {
  std::vector<Edge> edges;
  double top = 1e18, bottom = -1e18;
  size_t start = 0;
  for (int count : counts) {
    if (count < 0 || start + static_cast<size_t>(count) > points.size()) break;
    for (int i = 0; i < count; ++i) {
      const PointF& a = points[start + static_cast<size_t>(i)];
      const PointF& b = points[start + static_cast<size_t>((i + 1) % count)];
      top = std::min(top, a.y);
      bottom = std::max(bottom, a.y);
      if (a.y == b.y) continue;
      if (a.y < b.y) {
        edges.push_back({a.x, a.y, b.x, b.y, 1});
      } else {
        edges.push_back({b.x, b.y, a.x, a.y, -1});
      }
    }
    start += static_cast<size_t>(count);
  }
  if (edges.empty()) return;
  const Rect& bounds = spans.bounds();
  const int y0 = std::max(bounds.top, ClampToInt(std::floor(top)));
  const int y1 = std::min(bounds.bottom, ClampToInt(std::ceil(bottom)) + 1);
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  std::vector<std::pair<double, int>> crossings;
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    crossings.clear();
    for (const Edge& e : edges) {
      if (e.y0 > yc) break;
      if (yc >= e.y1) continue;
      const double x = e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
      crossings.emplace_back(x, e.direction);
    }
    if (crossings.size() < 2) continue;
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      const bool inside = rule == FillRule::Winding ? winding != 0 : (i % 2) == 0;
      if (!inside) continue;
      // Pixels whose centres lie in [xa, xb).
      const int a = ClampToInt(std::ceil(crossings[i].first - 0.5));
      const int b = ClampToInt(std::ceil(crossings[i + 1].first - 0.5));
      spans.add(y, a, b);
    }
  }
}

bool EllipseRow(double cx, double cy, double rx, double ry, int y, int* x0, int* x1) {
  if (rx <= 0 || ry <= 0) return false;
  const double dy = (y + 0.5 - cy) / ry;
  const double q = 1.0 - dy * dy;
  if (q < 0) return false;
  const double half = rx * std::sqrt(q);
  // Pixels whose centres satisfy |x + 0.5 - cx| <= half.
  const int a = ClampToInt(std::ceil(cx - half - 0.5));
  const int b = ClampToInt(std::floor(cx + half - 0.5)) + 1;
  if (a >= b) return false;
  *x0 = a;
  *x1 = b;
  return true;
}

void ScanEllipse(SpanCollector& spans, double cx, double cy, double rx, double ry) {
  const Rect& bounds = spans.bounds();
  const int y0 = std::max(bounds.top, ClampToInt(std::floor(cy - ry)));
  const int y1 = std::min(bounds.bottom, ClampToInt(std::ceil(cy + ry)) + 1);
  for (int y = y0; y < y1; ++y) {
    int a, b;
    if (EllipseRow(cx, cy, rx, ry, y, &a, &b)) spans.add(y, a, b);
  }
}

}  // namespace platform
