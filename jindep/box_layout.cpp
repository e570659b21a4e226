#include "jindep/box_layout.h"

namespace {

int16_t Clamp16(int32_t v) {
  if (v > INT16_MAX) return INT16_MAX;
  if (v < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(v);
}

uint32_t Counted(const JBoxChild* children, uint32_t count) {
  uint32_t k = 0;
  for (uint32_t i = 0; i < count; ++i) k += children[i].counted ? 1 : 0;
  return k;
}

}  // namespace

JBoxSettings JBoxDefaultSettings() {
  JBoxSettings s = {};
  s.horizontal = 1;
  s.packed = 0;
  s.outerGaps = 1;
  s.framed = 1;
  s.alignment = 2;
  s.spacing = 2;
  return s;
}

void JBoxNaturalSize(const JBoxSettings* s, const JBoxChild* children, uint32_t count, int16_t* width,
                     int16_t* height) {
  uint32_t k = Counted(children, count);
  if (k == 0) {
    *width = 16;
    *height = 16;
    return;
  }
  int32_t along = static_cast<int32_t>(k - 1) * s->spacing;
  int32_t across = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (!children[i].counted) continue;
    int32_t main = s->horizontal ? children[i].width : children[i].height;
    int32_t cross = s->horizontal ? children[i].height : children[i].width;
    along += main;
    if (cross > across) across = cross;
  }
  int32_t frame = s->framed ? 4 : 0;
  int32_t contentWidth = (s->horizontal ? along : across) + frame;
  int32_t contentHeight = (s->horizontal ? across : along) + frame;
  *width = Clamp16(s->marginLeft + s->marginRight + contentWidth);
  *height = Clamp16(s->marginTop + s->marginBottom + contentHeight);
}

void JBoxLayout(const JBoxSettings* s, int16_t naturalWidth, int16_t naturalHeight, int16_t x, int16_t y,
                int16_t width, int16_t height, JBoxChild* children, uint32_t count) {
  bool row = s->horizontal != 0;
  int32_t f = s->framed ? 2 : 0;
  int32_t k = static_cast<int32_t>(Counted(children, count));
  // Main axis (along the line) and cross axis, in the box's terms.
  int32_t mainStart = row ? x + s->marginLeft : y + s->marginTop;
  int32_t mainEnd = row ? x + width : y + height;
  int32_t crossStart = row ? y + s->marginTop : x + s->marginLeft;
  int32_t crossExtent = row ? height - s->marginTop - s->marginBottom : width - s->marginLeft - s->marginRight;
  int32_t spare = 0;
  if (!s->packed) {
    int32_t free = row ? width - naturalWidth : height - naturalHeight;
    if (free < 0) free = 0;
    spare = (s->outerGaps || k < 2) ? free / (k + 1) : free / (k - 1);
  }
  int32_t at = mainStart + f + (s->outerGaps ? spare : 0);
  for (uint32_t i = 0; i < count; ++i) {
    JBoxChild* c = &children[i];
    if (!c->counted) {
      c->x = c->y = kJBoxParked;
      continue;
    }
    int32_t mainSize = row ? c->width : c->height;
    int32_t crossSize = row ? c->height : c->width;
    int32_t cross;
    switch (s->alignment) {
      case 1: cross = crossStart + f; break;
      case 3: cross = crossStart + crossExtent - crossSize - f; break;
      default: cross = crossStart + (crossExtent - crossSize) / 2; break;
    }
    if (!s->outerGaps && i == count - 1) at = mainEnd - mainSize - f;
    c->x = Clamp16(row ? at : cross);
    c->y = Clamp16(row ? cross : at);
    at += mainSize + s->spacing + spare;
  }
}
