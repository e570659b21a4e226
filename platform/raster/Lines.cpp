// Lines and polylines. Thin lines step along their major axis and leave out their last
// pixel, so joined segments touch each pixel once; wide lines are filled outlines with
// round ends and joins.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/raster/DeviceContext.h"
#include "platform/raster/PaintInternal.h"
#include "platform/raster/Scan.h"

namespace platform {

namespace {

// floor(a / b) for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b) != 0 && a < 0) --q;
  return q;
}

}  // namespace

void DeviceContext::strokeSegment(SpanCollector& spans, int x0, int y0, int x1, int y1,
                                  int& dashPhase, SpanCollector* gaps, bool lastPixel) {
  if (pen_.width > 1) {
    const double ax = x0 + 0.5, ay = y0 + 0.5, bx = x1 + 0.5, by = y1 + 0.5;
    const double r = pen_.width / 2.0;
    ScanEllipse(spans, ax, ay, r, r);
    ScanEllipse(spans, bx, by, r, r);
    const double length = std::hypot(bx - ax, by - ay);
    if (length > 0) {
      const double nx = -(by - ay) / length * r;
      const double ny = (bx - ax) / length * r;
      ScanPolygons(spans, {{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}},
                   {4}, FillRule::Winding);
    }
    return;
  }
  const int64_t dx = static_cast<int64_t>(x1) - x0;
  const int64_t dy = static_cast<int64_t>(y1) - y0;
  const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  const int64_t steps = lastPixel ? n + 1 : n;
  const char* dashes = DashPattern(pen_.style);
  const int period = dashes ? static_cast<int>(std::char_traits<char>::length(dashes)) : 1;
  if (n == 0) {
    if (lastPixel) spans.add(y0, x0, x0 + 1);
    return;
  }
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t major0 = xMajor ? x0 : y0;
  const int64_t sign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int64_t minorDelta = xMajor ? dy : dx;
  const Rect& b = spans.bounds();
  const int64_t lo = xMajor ? b.left : b.top;
  const int64_t hi = xMajor ? b.right : b.bottom;
  // Only the steps whose major coordinate lies inside the kept bounds are visited.
  int64_t first, last;
  if (sign > 0) {
    first = lo - major0;
    last = hi - major0;
  } else {
    first = major0 - hi + 1;
    last = major0 - lo + 1;
  }
  first = std::max<int64_t>(first, 0);
  last = std::min(last, steps);
  for (int64_t i = first; i < last; ++i) {
    const int64_t major = major0 + sign * i;
    // Nearest pixel to the exact line, halves rounded up.
    const int64_t minor = (xMajor ? y0 : x0) + FloorDiv(2 * i * minorDelta + n, 2 * n);
    const int x = static_cast<int>(xMajor ? major : minor);
    const int y = static_cast<int>(xMajor ? minor : major);
    const bool on = !dashes || dashes[(dashPhase + i) % period] == '1';
    if (on) {
      spans.add(y, x, x + 1);
    } else if (gaps) {
      gaps->add(y, x, x + 1);
    }
  }
  dashPhase = static_cast<int>((dashPhase + n) % period);
}

bool DeviceContext::collectStroke(SpanCollector& spans, SpanCollector& gaps, const Point* points,
                                  int count, bool closed) {
  if (!points || count < 1 || pen_.style == PenStyle::Null) return false;
  const bool opaqueGaps = backgroundMode_ == BackgroundMode::Opaque && pen_.width <= 1 &&
                          DashPattern(pen_.style) != nullptr;
  int phase = 0;
  const int segments = closed ? count : count - 1;
  for (int i = 0; i < segments; ++i) {
    const Point& a = points[i];
    const Point& b = points[(i + 1) % count];
    const Point da = toDevice(a.x, a.y), db = toDevice(b.x, b.y);
    strokeSegment(spans, da.x, da.y, db.x, db.y, phase, opaqueGaps ? &gaps : nullptr, false);
  }
  return opaqueGaps;
}

void DeviceContext::paintStroke(SpanCollector& spans, SpanCollector& gaps, bool opaqueGaps) {
  if (opaqueGaps) {
    gaps.subtract(spans);
    Paint back;
    back.rop = rop2_;
    back.value = valueOfColour(backgroundColour_);
    paintSpans(gaps, back);
  }
  paintSpans(spans, penPaint());
}

void DeviceContext::strokePolyline(const Point* points, int count, bool closed) {
  if (!target_ || count < 2) return;
  const Rect bounds = effectiveClip().bounds();
  SpanCollector spans(bounds);
  SpanCollector gaps(bounds);
  const bool opaqueGaps = collectStroke(spans, gaps, points, count, closed);
  paintStroke(spans, gaps, opaqueGaps);
}

void DeviceContext::lineTo(int x, int y) {
  const Point pts[2] = {position_, {x, y}};
  strokePolyline(pts, 2, false);
  position_ = {x, y};
}

void DeviceContext::line(int x0, int y0, int x1, int y1) {
  moveTo(x0, y0);
  lineTo(x1, y1);
}

void DeviceContext::polyline(const Point* points, int count) {
  strokePolyline(points, count, false);
}

}  // namespace platform
