#include "platform/raster/DeviceContext.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/DisplayColours.h"
#include "platform/raster/PaintInternal.h"
#include "platform/raster/SpanCollector.h"

namespace platform {

struct DeviceContext::State {
  bool hasClip;
  Region clip;
  Pen pen;
  Brush brush;
  Colour textColour;
  Colour backgroundColour;
  BackgroundMode backgroundMode;
  int rop2;
  FillRule fillRule;
  Point position;
  std::shared_ptr<Font> font;
  TextHAlign hAlign;
  TextVAlign vAlign;
  int charExtra;
  Point origin;
};

Brush Brush::Solid(Colour c) {
  Brush b;
  b.style = BrushStyle::Solid;
  b.colour = c & 0xFFFFFF;
  return b;
}

Brush Brush::Hollow() {
  Brush b;
  b.style = BrushStyle::Hollow;
  return b;
}

Brush Brush::Pattern(const uint8_t rows[8]) {
  Brush b;
  b.style = BrushStyle::Pattern;
  std::memcpy(b.bits, rows, 8);
  return b;
}

Brush Brush::Hatched(Hatch hatch, Colour c) {
  Brush b;
  b.style = BrushStyle::Hatched;
  b.colour = c & 0xFFFFFF;
  for (int i = 0; i < 8; ++i) {
    uint8_t row = 0;
    const bool horizontal = hatch == Hatch::Horizontal || hatch == Hatch::Cross;
    const bool vertical = hatch == Hatch::Vertical || hatch == Hatch::Cross;
    const bool forward = hatch == Hatch::ForwardDiagonal || hatch == Hatch::DiagonalCross;
    const bool backward = hatch == Hatch::BackwardDiagonal || hatch == Hatch::DiagonalCross;
    if (horizontal && i == 4) row = 0xFF;
    if (vertical) row |= 0x08;
    if (forward) row |= static_cast<uint8_t>(0x80 >> i);
    if (backward) row |= static_cast<uint8_t>(0x01 << i);
    b.bits[i] = row;
  }
  return b;
}

Brush Brush::ColourPattern(const Colour colours[64]) {
  Brush b;
  b.style = BrushStyle::ColourPattern;
  for (int i = 0; i < 64; ++i) b.colours[i] = colours[i] & 0xFFFFFF;
  return b;
}

DeviceContext::DeviceContext(Bitmap* target) { selectTarget(target); }

DeviceContext::DeviceContext(Bitmap* target, Point origin, const Region& visible)
    : target_(target), origin_{Limit(origin.x), Limit(origin.y)}, visible_(visible) {}

DeviceContext::~DeviceContext() = default;

Bitmap* DeviceContext::selectTarget(Bitmap* target) {
  Bitmap* previous = target_;
  target_ = target;
  origin_ = {};
  visible_ = target ? Region(Rect{0, 0, target->width(), target->height()}) : Region();
  nearestCache_.clear();
  invalidateClip();
  return previous;
}

void DeviceContext::setVisibleRegion(const Region& visible) {
  visible_ = visible;
  invalidateClip();
}

void DeviceContext::setClipRect(const Rect& r) {
  hasClip_ = true;
  clip_ = Region(LimitRect(r));
  invalidateClip();
}

void DeviceContext::setClipRegion(const Region& r) {
  hasClip_ = true;
  clip_ = Region();
  for (const Rect& piece : r.rects()) clip_.unite(LimitRect(piece));
  invalidateClip();
}

void DeviceContext::removeClip() {
  hasClip_ = false;
  clip_ = Region();
  invalidateClip();
}

void DeviceContext::intersectClipRect(const Rect& r) {
  if (!hasClip_) {
    setClipRect(r);
    return;
  }
  clip_.intersect(LimitRect(r));
  invalidateClip();
}

void DeviceContext::excludeClipRect(const Rect& r) {
  if (!hasClip_) {
    // Without a clip everything the surface shows may be drawn: start from that.
    Region all = effectiveClip();
    all.translate(-origin_.x, -origin_.y);
    clip_ = all;
    hasClip_ = true;
  }
  clip_.subtract(LimitRect(r));
  invalidateClip();
}

const Region& DeviceContext::effectiveClip() const {
  // The origin may change without notice (windows move), so the translation is checked.
  if (!effectiveValid_) {
    effective_ = visible_;
    if (target_) {
      effective_.intersect(Rect{0, 0, target_->width(), target_->height()});
    } else {
      effective_ = Region();
    }
    if (hasClip_) {
      Region c = clip_;
      c.translate(origin_.x, origin_.y);
      effective_.intersect(c);
    }
    effectiveValid_ = true;
  }
  return effective_;
}

void DeviceContext::save() {
  saved_.push_back(State{hasClip_, clip_, pen_, brush_, textColour_, backgroundColour_,
                         backgroundMode_, rop2_, fillRule_, position_, font_, hAlign_,
                         vAlign_, charExtra_, origin_});
}

bool DeviceContext::restore() {
  if (saved_.empty()) return false;
  State s = std::move(saved_.back());
  saved_.pop_back();
  hasClip_ = s.hasClip;
  clip_ = std::move(s.clip);
  pen_ = s.pen;
  brush_ = s.brush;
  textColour_ = s.textColour;
  backgroundColour_ = s.backgroundColour;
  backgroundMode_ = s.backgroundMode;
  rop2_ = s.rop2;
  fillRule_ = s.fillRule;
  position_ = s.position;
  font_ = std::move(s.font);
  hAlign_ = s.hAlign;
  vAlign_ = s.vAlign;
  charExtra_ = s.charExtra;
  origin_ = s.origin;
  invalidateClip();
  return true;
}

Colour DeviceContext::colourOfValue(uint32_t value) const {
  if (!target_) return 0;
  if (target_->depth() == 32) return value & 0xFFFFFF;
  const auto& pal = target_->palette();
  return value < pal.size() ? pal[value] : 0;
}

uint32_t DeviceContext::valueOfColour(Colour c) const {
  c &= 0xFFFFFF;
  if (!target_ || target_->depth() == 32) return c;
  const auto found = nearestCache_.find(c);
  if (found != nearestCache_.end()) return found->second;
  const uint32_t index = NearestIndex(target_->palette(), c);
  if (nearestCache_.size() >= 65536) nearestCache_.clear();
  nearestCache_.emplace(c, static_cast<uint8_t>(index));
  return index;
}

DeviceContext::Paint DeviceContext::penPaint() const {
  Paint p;
  p.rop = rop2_;
  p.none = pen_.style == PenStyle::Null;
  p.value = valueOfColour(pen_.colour);
  return p;
}

DeviceContext::Paint DeviceContext::brushPaint(const Brush& b, int rop) const {
  Paint p;
  p.rop = rop;
  switch (b.style) {
    case BrushStyle::Solid:
      p.value = valueOfColour(b.colour);
      break;
    case BrushStyle::Hollow:
      p.none = true;
      break;
    case BrushStyle::Pattern: {
      p.patterned = true;
      const uint32_t fore = valueOfColour(textColour_);
      const uint32_t back = valueOfColour(backgroundColour_);
      for (int i = 0; i < 64; ++i) p.values[i] = ((b.bits[i >> 3] >> (7 - (i & 7))) & 1) ? back : fore;
      break;
    }
    case BrushStyle::Hatched: {
      p.patterned = true;
      const uint32_t ink = valueOfColour(b.colour);
      const uint32_t back = valueOfColour(backgroundColour_);
      for (int i = 0; i < 64; ++i) {
        const bool on = (b.bits[i >> 3] >> (7 - (i & 7))) & 1;
        p.values[i] = on ? ink : back;
        if (!on && backgroundMode_ == BackgroundMode::Transparent) p.skip |= uint64_t{1} << i;
      }
      break;
    }
    case BrushStyle::ColourPattern:
      p.patterned = true;
      for (int i = 0; i < 64; ++i) p.values[i] = valueOfColour(b.colours[i]);
      break;
  }
  return p;
}

void DeviceContext::fillSpan(int y, int x0, int x1, const Paint& paint) {
  if (paint.none || !target_) return;
  effectiveClip().clipSpan(y, x0, x1, [&](int a, int b) { WriteSpan(*target_, y, a, b, paint); });
}

void DeviceContext::paintSpans(SpanCollector& spans, const Paint& paint) {
  if (paint.none) return;
  spans.forEach(
      [&](int y, int a, int b) { fillSpan(y, a, b, paint); });
}

bool DeviceContext::setPixel(int x, int y, Colour c) {
  const auto [dx, dy] = toDevice(x, y);
  if (!target_ || !effectiveClip().contains(dx, dy)) return false;
  Paint p;
  p.rop = rop2::CopyPen;
  p.value = valueOfColour(c);
  WriteSpan(*target_, dy, dx, dx + 1, p);
  return true;
}

bool DeviceContext::getPixel(int x, int y, Colour* out) const {
  const auto [dx, dy] = toDevice(x, y);
  if (!target_ || !effectiveClip().contains(dx, dy)) return false;
  *out = colourOfValue(ReadValue(*target_, dx, dy));
  return true;
}

void DeviceContext::fillRect(const Rect& r, const Brush& brush) {
  const Paint paint = brushPaint(brush, rop2::CopyPen);
  const Rect d = toDevice(r).intersected(effectiveClip().bounds());
  for (int y = d.top; y < d.bottom; ++y) fillSpan(y, d.left, d.right, paint);
}

void DeviceContext::fillRegion(const Region& logical, const Brush& brush) {
  for (const Rect& r : logical.rects()) fillRect(r, brush);
}

void DeviceContext::patBlt(const Rect& r, uint32_t rop) {
  if (!target_) return;
  const uint8_t table = Rop3Table(rop);
  const Paint pattern = brushPaint(brush_, rop2::CopyPen);
  const uint32_t mask = ValueMask(target_->depth());
  const Rect d = toDevice(r).intersected(effectiveClip().bounds());
  for (int y = d.top; y < d.bottom; ++y) {
    effectiveClip().clipSpan(y, d.left, d.right, [&](int a, int b) {
      for (int x = a; x < b; ++x) {
        const uint32_t p = pattern.none ? 0 : pattern.at(x, y);
        const uint32_t v = ApplyRop3(table, p, 0, ReadValue(*target_, x, y)) & mask;
        WriteValue(*target_, x, y, v);
      }
    });
  }
}

void DeviceContext::invertRect(const Rect& r) { patBlt(r, rop3::DstInvert); }

}  // namespace platform
