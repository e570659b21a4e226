// Lines, shapes, fills and regions of a metafile.
#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/metafile/Playback.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::wmf {

bool Playback::lineRecord(const Record& r) {
  const Mapping& m = st_.mapping;
  switch (r.function) {
    case fn::MoveTo:
      if (r.has(2)) dc_.moveTo(m.x(r.p(1)), m.y(r.p(0)));
      break;
    case fn::LineTo:
      if (r.has(2)) {
        applyPen();
        dc_.lineTo(m.x(r.p(1)), m.y(r.p(0)));
      }
      break;
    case fn::Polyline:
    case fn::Polygon: {
      if (!r.has(1)) break;
      const std::vector<Point> pts = points(r, 1, r.u(0));
      applyPen();
      if (r.function == fn::Polyline)
        dc_.polyline(pts.data(), static_cast<int>(pts.size()));
      else
        dc_.polygon(pts.data(), static_cast<int>(pts.size()));
      break;
    }
    case fn::PolyPolygon: {
      if (!r.has(1)) break;
      const size_t polygons = r.u(0);
      if (!r.has(1 + polygons)) break;
      std::vector<int> counts(polygons);
      size_t total = 0;
      for (size_t i = 0; i < polygons; ++i) total += counts[i] = r.u(1 + i);
      const std::vector<Point> pts = points(r, 1 + polygons, total);
      if (pts.size() != total) break;
      applyPen();
      dc_.polyPolygon(pts.data(), counts.data(), static_cast<int>(polygons));
      break;
    }
    default:
      return false;
  }
  return true;
}

bool Playback::drawRecord(const Record& r) {
  const Mapping& m = st_.mapping;
  switch (r.function) {
    case fn::Rectangle:
    case fn::Ellipse:
      if (!r.has(4)) break;
      applyPen();
      if (r.function == fn::Rectangle)
        dc_.rectangle(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
      else
        dc_.ellipse(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
      break;
    case fn::RoundRect:
      if (!r.has(6)) break;
      applyPen();
      dc_.roundRect(m.rect(r.p(5), r.p(4), r.p(3), r.p(2)), m.width(r.p(1)), m.height(r.p(0)));
      break;
    case fn::Arc:
    case fn::Pie:
    case fn::Chord: {
      if (!r.has(8)) break;
      applyPen();
      const Rect box = m.rect(r.p(7), r.p(6), r.p(5), r.p(4));
      // Arcs run counter-clockwise on the device whatever the mapping, as in the
      // compatible graphics mode metafiles are played in.
      const Point start = m.point(r.p(3), r.p(2)), end = m.point(r.p(1), r.p(0));
      if (r.function == fn::Arc) dc_.arc(box, start, end);
      if (r.function == fn::Pie) dc_.pie(box, start, end);
      if (r.function == fn::Chord) dc_.chord(box, start, end);
      break;
    }
    case fn::SetPixel:
      if (r.has(4)) dc_.setPixel(m.x(r.p(3)), m.y(r.p(2)), ResolveColour(r.u32(0), &st_.palette));
      break;
    case fn::FloodFill:
      if (r.has(4)) floodFill(r.p(3), r.p(2), ResolveColour(r.u32(0), &st_.palette), false);
      break;
    case fn::ExtFloodFill:
      if (r.has(5)) floodFill(r.p(4), r.p(3), ResolveColour(r.u32(1), &st_.palette), r.p(0) == 1);
      break;
    case fn::PatBlt:
      if (r.has(6)) blit(r.p(5), r.p(4), r.p(3), r.p(2), nullptr, 0, 0, 0, 0, r.u32(0));
      break;
    case fn::FillRegion:
    case fn::FrameRegion:
    case fn::InvertRegion:
    case fn::PaintRegion:
      region(r);
      break;
    default:
      return false;
  }
  return true;
}

void Playback::applyPen() {
  Pen pen;
  pen.style = st_.pen.style;
  pen.colour = ResolveColour(st_.pen.colourRef, &st_.palette);
  pen.width = st_.pen.width <= 0 ? 1 : std::max(1, map().width(st_.pen.width));
  dc_.setPen(pen);
}

std::vector<Point> Playback::points(const Record& r, size_t first, size_t count) const {
  count = std::min(count, (r.paramWords - std::min(first, r.paramWords)) / 2);
  std::vector<Point> pts(count);
  for (size_t i = 0; i < count; ++i) pts[i] = map().point(r.p(first + 2 * i), r.p(first + 2 * i + 1));
  return pts;
}

// Fills the area around (x, y) that is not the border colour (border mode) or that is
// the given colour (surface mode), with the brush, inside the target and clip. The area
// is found as spans, row by row; what is done is kept as those spans, never as a mark a
// pixel, so a fill costs memory by its outline, not by the target's size.
void Playback::floodFill(int lx, int ly, Colour colour, bool surface) {
  const Bitmap* target = dc_.target();
  if (!target) return;
  const Point o = dc_.origin();
  const int w = target->width(), h = target->height();
  const Point start = map().point(lx, ly);
  auto inside = [&](int x, int y) {
    Colour c;
    if (!dc_.getPixel(x, y, &c)) return false;
    return surface ? c == colour : c != colour;
  };
  if (!inside(start.x, start.y)) return;
  std::unordered_map<int, std::vector<std::pair<int, int>>> done;  // logical row -> [left, right] spans
  auto isDone = [&](int x, int y) {
    auto it = done.find(y);
    if (it == done.end()) return false;
    for (const auto& [left, right] : it->second)
      if (x >= left && x <= right) return true;
    return false;
  };
  std::vector<Rect> spans;
  std::vector<Point> stack{start};
  while (!stack.empty()) {
    const Point p = stack.back();
    stack.pop_back();
    const int by = p.y + o.y;
    if (p.x + o.x < 0 || by < 0 || p.x + o.x >= w || by >= h || isDone(p.x, p.y) || !inside(p.x, p.y)) continue;
    int left = p.x, right = p.x;
    while (left - 1 + o.x >= 0 && inside(left - 1, p.y) && !isDone(left - 1, p.y)) --left;
    while (right + 1 + o.x < w && inside(right + 1, p.y) && !isDone(right + 1, p.y)) ++right;
    done[p.y].push_back({left, right});
    spans.push_back({left, p.y, right + 1, p.y + 1});
    // One seed for each run of fillable pixels above and below the span.
    for (const int y : {p.y - 1, p.y + 1}) {
      if (y + o.y < 0 || y + o.y >= h) continue;
      bool inRun = false;
      for (int x = left; x <= right; ++x) {
        const bool fillable = inside(x, y) && !isDone(x, y);
        if (fillable && !inRun) stack.push_back({x, y});
        inRun = fillable;
      }
    }
  }
  const Brush brush = dc_.brush();
  for (const Rect& s : spans) dc_.fillRect(s, brush);
}

void Playback::region(const Record& r) {
  if (!r.has(1)) return;
  Object* o = object(r.p(0));
  if (!o || o->kind != ObjectKind::Region) return;
  const Region dev = deviceRegion(*o);
  switch (r.function) {
    case fn::FillRegion: {
      Object* b = r.has(2) ? object(r.p(1)) : nullptr;
      if (b && b->kind == ObjectKind::Brush) dc_.fillRegion(dev, b->brush.brush);
      break;
    }
    case fn::PaintRegion:
      dc_.fillRegion(dev, dc_.brush());
      break;
    case fn::InvertRegion:
      for (const Rect& rect : dev.rects()) dc_.invertRect(rect);
      break;
    case fn::FrameRegion: {
      Object* b = r.has(4) ? object(r.p(1)) : nullptr;
      if (!b || b->kind != ObjectKind::Brush) break;
      const int fw = std::max(1, map().width(r.p(3))), fh = std::max(1, map().height(r.p(2)));
      Region inner = dev;
      for (Point d : {Point{fw, 0}, Point{-fw, 0}, Point{0, fh}, Point{0, -fh}}) {
        Region shifted = dev;
        shifted.translate(d.x, d.y);
        inner.intersect(shifted);
      }
      Region frame = dev;
      frame.subtract(inner);
      dc_.fillRegion(frame, b->brush.brush);
      break;
    }
    default:
      break;
  }
}

}  // namespace platform::wmf
