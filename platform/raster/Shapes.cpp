// Closed shapes: the brush fills the inside, the pen draws the outline, and the two never
// share a pixel. Outlines of rectangles, round rectangles and ellipses lie inside the
// bounding rectangle, pen width included.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/raster/DeviceContext.h"
#include "platform/raster/PaintInternal.h"
#include "platform/raster/Scan.h"

namespace platform {

namespace {

using RowProc = bool (*)(const Rect& d, int cw, int ch, int y, int* x0, int* x1);

bool EllipseBoxRow(const Rect& d, int, int, int y, int* x0, int* x1) {
  if (d.empty() || y < d.top || y >= d.bottom) return false;
  return EllipseRow((d.left + d.right) / 2.0, (d.top + d.bottom) / 2.0, d.width() / 2.0,
                    d.height() / 2.0, y, x0, x1);
}

bool RoundRectRow(const Rect& d, int cw, int ch, int y, int* x0, int* x1) {
  if (d.empty() || y < d.top || y >= d.bottom) return false;
  cw = std::min(cw, d.width());
  ch = std::min(ch, d.height());
  *x0 = d.left;
  *x1 = d.right;
  if (cw <= 0 || ch <= 0) return true;
  const double yc = y + 0.5;
  double cy;
  if (yc < d.top + ch / 2.0) {
    cy = d.top + ch / 2.0;
  } else if (yc > d.bottom - ch / 2.0) {
    cy = d.bottom - ch / 2.0;
  } else {
    return true;
  }
  int a, b, c, e;
  if (!EllipseRow(d.left + cw / 2.0, cy, cw / 2.0, ch / 2.0, y, &a, &b)) return false;
  if (!EllipseRow(d.right - cw / 2.0, cy, cw / 2.0, ch / 2.0, y, &c, &e)) return false;
  *x0 = a;
  *x1 = e;
  return true;
}

double Wrap(double angle) {
  const double full = 2 * std::numbers::pi;
  angle = std::fmod(angle, full);
  return angle < 0 ? angle + full : angle;
}

}  // namespace

void DeviceContext::fillAndOutline(SpanCollector& interior, SpanCollector& outline) {
  interior.subtract(outline);
  paintSpans(interior, brushPaint(brush_, rop2_));
  paintSpans(outline, penPaint());
}

bool DeviceContext::dashCurve(SpanCollector& outline, SpanCollector& gaps, double cx, double cy, double rx,
                              double ry) {
  const char* dashes = DashPattern(pen_.style);
  if (!dashes || pen_.width > 1) return false;
  const int period = static_cast<int>(std::char_traits<char>::length(dashes));
  // The distance along the curve is taken as the angle times the mean radius.
  const double radius = (rx + ry) / 2;
  SpanCollector on(outline.bounds());
  outline.forEach([&](int y, int a, int b) {
    for (int x = a; x < b; ++x) {
      const double angle = Wrap(std::atan2(cy - (y + 0.5), x + 0.5 - cx));
      const int step = static_cast<int>(angle * radius);
      if (dashes[step % period] == '1') {
        on.add(y, x, x + 1);
      } else {
        gaps.add(y, x, x + 1);
      }
    }
  });
  outline = std::move(on);
  return backgroundMode_ == BackgroundMode::Opaque;
}

namespace {

// Adds the ring between the outer shape and the shape shrunk by `w` to `outline` and the
// inner shape (or the whole shape without a pen) to `interior`.
void CollectRingShape(RowProc rows, const Rect& d, int cw, int ch, int w, SpanCollector& interior,
                      SpanCollector& outline) {
  const Rect& bounds = interior.bounds();
  const Rect inner{d.left + w, d.top + w, d.right - w, d.bottom - w};
  const int y0 = std::max(d.top, bounds.top);
  const int y1 = std::min(d.bottom, bounds.bottom);
  for (int y = y0; y < y1; ++y) {
    int a, b;
    if (!rows(d, cw, ch, y, &a, &b)) continue;
    if (w <= 0) {
      interior.add(y, a, b);
      continue;
    }
    int c, e;
    if (!rows(inner, cw - 2 * w, ch - 2 * w, y, &c, &e)) {
      outline.add(y, a, b);
      continue;
    }
    outline.add(y, a, c);
    outline.add(y, e, b);
    interior.add(y, c, e);
  }
}

}  // namespace

void DeviceContext::rectangle(const Rect& r) {
  if (!target_) return;
  const Rect d = toDevice(r);
  const Rect bounds = effectiveClip().bounds();
  SpanCollector interior(bounds), outline(bounds), gaps(bounds);
  const bool pen = pen_.style != PenStyle::Null;
  const int w = pen ? std::max(pen_.width, 1) : 0;
  bool opaqueGaps = false;
  if (pen && w == 1 && !d.empty()) {
    // A thin frame follows the edge pixels so that dashed styles run round it.
    const Point frame[4] = {{d.left - origin_.x, d.top - origin_.y},
                            {d.right - 1 - origin_.x, d.top - origin_.y},
                            {d.right - 1 - origin_.x, d.bottom - 1 - origin_.y},
                            {d.left - origin_.x, d.bottom - 1 - origin_.y}};
    opaqueGaps = collectStroke(outline, gaps, frame, 4, true);
    if (d.width() == 1 || d.height() == 1) {
      for (int y = d.top; y < d.bottom; ++y) outline.add(y, d.left, d.right);
    }
    SpanCollector edge(bounds);
    CollectRingShape(RoundRectRow, d, 0, 0, 1, interior, edge);
  } else {
    CollectRingShape(RoundRectRow, d, 0, 0, w, interior, outline);
  }
  interior.subtract(outline);
  interior.subtract(gaps);
  paintSpans(interior, brushPaint(brush_, rop2_));
  paintStroke(outline, gaps, opaqueGaps);
}

void DeviceContext::roundRect(const Rect& r, int cornerWidth, int cornerHeight) {
  if (!target_) return;
  const Rect d = toDevice(r);
  const Rect bounds = effectiveClip().bounds();
  SpanCollector interior(bounds), outline(bounds);
  const int w = pen_.style == PenStyle::Null ? 0 : std::max(pen_.width, 1);
  CollectRingShape(RoundRectRow, d, std::abs(Limit(cornerWidth)), std::abs(Limit(cornerHeight)), w, interior,
                   outline);
  fillAndOutline(interior, outline);
}

void DeviceContext::ellipse(const Rect& r) {
  if (!target_) return;
  const Rect d = toDevice(r);
  const Rect bounds = effectiveClip().bounds();
  SpanCollector interior(bounds), outline(bounds);
  const int w = pen_.style == PenStyle::Null ? 0 : std::max(pen_.width, 1);
  CollectRingShape(EllipseBoxRow, d, 0, 0, w, interior, outline);
  SpanCollector gaps(bounds);
  const bool opaqueGaps = dashCurve(outline, gaps, (d.left + d.right) / 2.0, (d.top + d.bottom) / 2.0,
                                    d.width() / 2.0, d.height() / 2.0);
  interior.subtract(outline);
  interior.subtract(gaps);
  paintSpans(interior, brushPaint(brush_, rop2_));
  paintStroke(outline, gaps, opaqueGaps);
}

void DeviceContext::polygon(const Point* points, int count) {
  if (count < 2) return;
  polyPolygon(points, &count, 1);
}

void DeviceContext::polyPolygon(const Point* points, const int* counts, int polygonCount) {
  if (!target_ || !points || !counts || polygonCount <= 0) return;
  const Rect bounds = effectiveClip().bounds();
  SpanCollector interior(bounds), outline(bounds), gaps(bounds);
  std::vector<PointF> pts;
  std::vector<int> sizes;
  bool opaqueGaps = false;
  const Point* p = points;
  for (int i = 0; i < polygonCount; ++i) {
    const int n = counts[i];
    if (n < 0) return;
    for (int k = 0; k < n; ++k) {
      const Point d = toDevice(p[k].x, p[k].y);
      pts.push_back({double(d.x), double(d.y)});
    }
    sizes.push_back(n);
    if (n >= 2 && collectStroke(outline, gaps, p, n, true)) opaqueGaps = true;
    p += n;
  }
  ScanPolygons(interior, pts, sizes, fillRule_);
  interior.subtract(outline);
  interior.subtract(gaps);
  paintSpans(interior, brushPaint(brush_, rop2_));
  paintStroke(outline, gaps, opaqueGaps);
}

void DeviceContext::arcShape(const Rect& r, Point start, Point end, ArcKind kind) {
  if (!target_) return;
  const Rect d = toDevice(r);
  if (d.empty()) return;
  const Rect bounds = effectiveClip().bounds();
  SpanCollector interior(bounds), outline(bounds), ring(bounds), inside(bounds);
  const bool pen = pen_.style != PenStyle::Null;
  const int w = pen ? std::max(pen_.width, 1) : 0;
  CollectRingShape(EllipseBoxRow, d, 0, 0, w, inside, ring);

  const double cx = (d.left + d.right) / 2.0, cy = (d.top + d.bottom) / 2.0;
  const double rx = d.width() / 2.0, ry = d.height() / 2.0;
  // Angles grow counter-clockwise on the screen (y grows downwards).
  const Point ds = toDevice(start.x, start.y), de = toDevice(end.x, end.y);
  const double a0 = std::atan2(cy - (ds.y + 0.5), ds.x + 0.5 - cx);
  const double a1 = std::atan2(cy - (de.y + 0.5), de.x + 0.5 - cx);
  double sweep = Wrap(a1 - a0);
  if (sweep == 0) sweep = 2 * std::numbers::pi;
  auto inSector = [&](int x, int y) { return Wrap(std::atan2(cy - (y + 0.5), x + 0.5 - cx) - a0) <= sweep; };
  auto onEllipse = [&](double angle, double* px, double* py) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double t = 1.0 / std::sqrt((c * c) / (rx * rx) + (s * s) / (ry * ry));
    *px = cx + t * c;
    *py = cy - t * s;
  };
  double sx, sy, ex, ey, mx, my;
  onEllipse(a0, &sx, &sy);
  onEllipse(a0 + sweep, &ex, &ey);
  onEllipse(a0 + sweep / 2, &mx, &my);
  const double side = (ex - sx) * (my - sy) - (ey - sy) * (mx - sx);
  auto onChordSide = [&](int x, int y) {
    const double c = (ex - sx) * (y + 0.5 - sy) - (ey - sy) * (x + 0.5 - sx);
    return side == 0 || (c >= 0) == (side >= 0);
  };

  if (pen) {
    ring.forEach([&](int y, int a, int b) {
      for (int x = a; x < b; ++x) {
        if (inSector(x, y)) outline.add(y, x, x + 1);
      }
    });
  }
  SpanCollector gaps(bounds);
  const bool opaqueGaps = dashCurve(outline, gaps, cx, cy, rx, ry);
  if (kind == ArcKind::Arc) {
    paintStroke(outline, gaps, opaqueGaps);
    return;
  }
  inside.forEach([&](int y, int a, int b) {
    for (int x = a; x < b; ++x) {
      if (kind == ArcKind::Pie ? inSector(x, y) : onChordSide(x, y)) interior.add(y, x, x + 1);
    }
  });
  if (pen && sweep < 2 * std::numbers::pi) {
    int phase = 0;
    const int isx = static_cast<int>(std::floor(sx)), isy = static_cast<int>(std::floor(sy));
    const int iex = static_cast<int>(std::floor(ex)), iey = static_cast<int>(std::floor(ey));
    if (kind == ArcKind::Pie) {
      const int icx = static_cast<int>(std::floor(cx)), icy = static_cast<int>(std::floor(cy));
      strokeSegment(outline, icx, icy, isx, isy, phase, nullptr, true);
      strokeSegment(outline, icx, icy, iex, iey, phase, nullptr, true);
    } else {
      strokeSegment(outline, isx, isy, iex, iey, phase, nullptr, true);
    }
  }
  gaps.subtract(outline);
  interior.subtract(outline);
  interior.subtract(gaps);
  paintSpans(interior, brushPaint(brush_, rop2_));
  paintStroke(outline, gaps, opaqueGaps);
}

void DeviceContext::arc(const Rect& r, Point start, Point end) { arcShape(r, start, end, ArcKind::Arc); }
void DeviceContext::pie(const Rect& r, Point start, Point end) { arcShape(r, start, end, ArcKind::Pie); }
void DeviceContext::chord(const Rect& r, Point start, Point end) { arcShape(r, start, end, ArcKind::Chord); }

}  // namespace platform
