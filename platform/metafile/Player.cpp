#include "platform/metafile/Player.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/metafile/Playback.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::wmf {

namespace {
constexpr size_t kMaxObjects = 65535;
}  // namespace

Playback::Playback(const Metafile& mf, DeviceContext& dc, const PlayOptions& options)
    : dc_(dc), options_(options) {
  // The table grows as objects are made: the header's count is only a hint, and a
  // large one must not cost memory before any object exists.
  objects_.reserve(std::min<size_t>(mf.objectCount(), 64));
}

void Playback::begin(const Rect& frame, const Rect& destination) {
  dc_.save();
  st_.mapping.setMode(kAnisotropic);
  st_.mapping.setWindowOrg(frame.left, frame.top);
  st_.mapping.setWindowExt(frame.width() != 0 ? frame.width() : 1, frame.height() != 0 ? frame.height() : 1);
  st_.mapping.setViewportOrg(destination.left, destination.top);
  st_.mapping.setViewportExt(destination.width() != 0 ? destination.width() : 1,
                             destination.height() != 0 ? destination.height() : 1);
  dc_.setBrush(Brush::Solid(0xFFFFFF));
  dc_.setTextColour(0x000000);
  dc_.setBackgroundColour(0xFFFFFF);
  dc_.setBackgroundMode(BackgroundMode::Opaque);
  dc_.setRop2(rop2::CopyPen);
  dc_.setFillRule(FillRule::Alternate);
  dc_.setTextAlign(TextHAlign::Left, TextVAlign::Top);
  dc_.setCharacterExtra(0);
  dc_.moveTo(0, 0);
}

void Playback::end() {
  drawHeldOpacity();
  while (!saved_.empty()) {
    saved_.pop_back();
    dc_.restore();
  }
  dc_.restore();
}

void Playback::record(const Record& r) {
  if (r.function != fn::StretchDib) drawHeldOpacity();
  // Skipped palette creations still take their slots, so later objects keep their indices.
  if (options_.skipPaletteRecords && IsPaletteRecord(r.function)) {
    if (r.function == fn::CreatePalette) create(Object());
    return;
  }
  // Records of no family change nothing here and are skipped.
  if (stateRecord(r) || objectRecord(r) || clipRecord(r) || lineRecord(r) || drawRecord(r) || textRecord(r)) return;
  bitmapRecord(r);
}

bool Playback::stateRecord(const Record& r) {
  Mapping& m = st_.mapping;
  switch (r.function) {
    case fn::SetMapMode:
      if (r.has(1)) m.setMode(r.p(0));
      break;
    case fn::SetWindowOrg:
      if (r.has(2)) m.setWindowOrg(r.p(1), r.p(0));
      break;
    case fn::SetWindowExt:
      if (r.has(2)) m.setWindowExt(r.p(1), r.p(0));
      break;
    case fn::SetViewportOrg:
      if (r.has(2)) m.setViewportOrg(r.p(1), r.p(0));
      break;
    case fn::SetViewportExt:
      if (r.has(2)) m.setViewportExt(r.p(1), r.p(0));
      break;
    case fn::OffsetWindowOrg:
      if (r.has(2)) m.offsetWindowOrg(r.p(1), r.p(0));
      break;
    case fn::OffsetViewportOrg:
      if (r.has(2)) m.offsetViewportOrg(r.p(1), r.p(0));
      break;
    case fn::ScaleWindowExt:
      if (r.has(4)) m.scaleWindowExt(r.p(3), r.p(2), r.p(1), r.p(0));
      break;
    case fn::ScaleViewportExt:
      if (r.has(4)) m.scaleViewportExt(r.p(3), r.p(2), r.p(1), r.p(0));
      break;
    case fn::SaveDC:
      saved_.push_back(st_);
      dc_.save();
      break;
    case fn::RestoreDC:
      if (r.has(1)) restoreTo(r.p(0));
      break;
    case fn::SetBkColor:
      if (r.has(2)) dc_.setBackgroundColour(ResolveColour(r.u32(0), &st_.palette));
      break;
    case fn::SetTextColor:
      if (r.has(2)) dc_.setTextColour(ResolveColour(r.u32(0), &st_.palette));
      break;
    case fn::SetBkMode:
      if (r.has(1) && (r.p(0) == 1 || r.p(0) == 2)) dc_.setBackgroundMode(static_cast<BackgroundMode>(r.p(0)));
      break;
    case fn::SetRop2:
      if (r.has(1)) dc_.setRop2(r.p(0));
      break;
    case fn::SetPolyFillMode:
      if (r.has(1)) dc_.setFillRule(r.p(0) == 2 ? FillRule::Winding : FillRule::Alternate);
      break;
    case fn::SetStretchBltMode:
      if (r.has(1)) st_.stretchMode = r.p(0);
      break;
    case fn::SetTextAlign:
      if (r.has(1)) st_.textAlign = r.u(0);
      break;
    case fn::SetTextCharExtra:
      if (r.has(1)) dc_.setCharacterExtra(static_cast<int>(std::lround(r.p(0) * std::fabs(m.scaleX()))));
      break;
    default:
      return false;
  }
  return true;
}

void Playback::restoreTo(int level) {
  // Negative: that many levels back; positive: the state saved as that number.
  size_t keep;
  if (level < 0) {
    const size_t back = static_cast<size_t>(-static_cast<int64_t>(level));
    if (back > saved_.size()) return;
    keep = saved_.size() - back;
  } else {
    if (level == 0 || static_cast<size_t>(level) > saved_.size()) return;
    keep = static_cast<size_t>(level) - 1;
  }
  while (saved_.size() > keep) {
    st_ = saved_.back();
    saved_.pop_back();
    dc_.restore();
  }
}

bool Playback::objectRecord(const Record& r) {
  switch (r.function) {
    case fn::CreatePenIndirect:
    case fn::CreateBrushIndirect:
    case fn::DibCreatePatternBrush:
    case fn::CreatePatternBrush:
    case fn::CreateFontIndirect:
    case fn::CreateRegion: {
      Object o;
      bool ok = false;
      switch (r.function) {
        case fn::CreatePenIndirect: ok = ReadPen(r, &o); break;
        case fn::CreateBrushIndirect: ok = ReadBrush(r, &st_.palette, &o); break;
        case fn::DibCreatePatternBrush: ok = ReadDibPatternBrush(r, &st_.palette, &o); break;
        case fn::CreatePatternBrush: ok = ReadPatternBrush(r, &st_.palette, &o); break;
        case fn::CreateFontIndirect: ok = ReadFont(r, &o); break;
        default: ok = ReadRegion(r, &o); break;
      }
      // A damaged object still takes its slot, so later indices stay right.
      if (!ok) o.kind = ObjectKind::Brush, o.brush.brush = Brush::Hollow();
      create(o);
      break;
    }
    case fn::SelectObject:
      if (r.has(1)) selectObject(r.p(0));
      break;
    case fn::DeleteObject:
      if (r.has(1))
        if (Object* o = object(r.p(0))) *o = Object();
      break;
    case fn::SelectPalette:
    case fn::SetPalEntries:
    case fn::AnimatePalette:
    case fn::ResizePalette:
    case fn::CreatePalette:
      palette(r);
      break;
    default:
      return false;
  }
  return true;
}

Object* Playback::object(int index) {
  return index >= 0 && static_cast<size_t>(index) < objects_.size() ? &objects_[index] : nullptr;
}

// An object of kind None (a left-out palette) still fills a slot.
void Playback::create(const Object& o) {
  for (Object& slot : objects_) {
    if (slot.kind == ObjectKind::None && !slot.reserved) {
      slot = o;
      slot.reserved = true;
      return;
    }
  }
  if (objects_.size() < kMaxObjects) {
    objects_.push_back(o);
    objects_.back().reserved = true;
  }
}

void Playback::selectObject(int index) {
  Object* o = object(index);
  if (!o) return;
  switch (o->kind) {
    case ObjectKind::Pen:
      st_.pen = o->pen;
      break;
    case ObjectKind::Brush: {
      Brush b = o->brush.brush;
      if ((o->brush.colourRef >> 24) == 1 && b.style != BrushStyle::ColourPattern &&
          b.style != BrushStyle::Pattern)
        b.colour = ResolveColour(o->brush.colourRef, &st_.palette);
      dc_.setBrush(b);
      break;
    }
    case ObjectKind::Font:
      st_.font = o->font;
      st_.hasFont = true;
      break;
    case ObjectKind::Palette:
      st_.palette = o->palette;
      break;
    case ObjectKind::Region:
      dc_.setClipRegion(deviceRegion(*o));
      break;
    case ObjectKind::None:
      break;
  }
}

void Playback::palette(const Record& r) {
  switch (r.function) {
    case fn::SelectPalette:
      if (r.has(1)) selectObject(r.p(0));
      break;
    case fn::SetPalEntries:
    case fn::AnimatePalette: {
      if (!r.has(2)) break;
      const size_t start = r.u(0);
      const size_t count = std::min<size_t>(r.u(1), (r.paramWords - 2) / 2);
      for (size_t i = 0; i < count && start + i < st_.palette.size(); ++i) {
        const uint8_t* e = r.bytes(2 + 2 * i);
        st_.palette[start + i] = RGB(e[0], e[1], e[2]);
      }
      break;
    }
    case fn::ResizePalette:
      if (r.has(1)) st_.palette.resize(r.u(0), 0);
      break;
    case fn::CreatePalette: {
      Object o;
      if (ReadPalette(r, &o)) create(o);
      break;
    }
    default:
      break;
  }
}

bool Playback::clipRecord(const Record& r) {
  const Mapping& m = st_.mapping;
  switch (r.function) {
    case fn::IntersectClipRect:
      if (r.has(4)) dc_.intersectClipRect(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
      break;
    case fn::ExcludeClipRect:
      if (r.has(4)) dc_.excludeClipRect(m.rect(r.p(3), r.p(2), r.p(1), r.p(0)));
      break;
    case fn::OffsetClipRgn:
      if (r.has(2) && dc_.hasClip()) {
        Region clip = dc_.clipRegion();
        clip.translate(static_cast<int>(std::lround(r.p(1) * m.scaleX())),
                       static_cast<int>(std::lround(r.p(0) * m.scaleY())));
        dc_.setClipRegion(clip);
      }
      break;
    case fn::SelectClipRegion: {
      Object* o = r.has(1) ? object(r.p(0)) : nullptr;
      if (o && o->kind == ObjectKind::Region)
        dc_.setClipRegion(deviceRegion(*o));
      else
        dc_.removeClip();
      break;
    }
    default:
      return false;
  }
  return true;
}

Region Playback::deviceRegion(const Object& o) const {
  Region region;
  for (const Rect& r : o.region) region.unite(map().rect(r.left, r.top, r.right, r.bottom));
  return region;
}

bool IsPaletteRecord(uint16_t function) {
  return function == fn::RealizePalette || function == fn::SetPalEntries ||
         function == fn::CreatePalette || function == fn::SelectPalette ||
         function == fn::AnimatePalette;
}

bool Play(const Metafile& metafile, DeviceContext& dc, const Rect& frame, const Rect& destination,
          std::string* reason, const PlayOptions& options) {
  Playback playback(metafile, dc, options);
  playback.begin(frame, destination);
  const bool whole = metafile.enumerate(Playback::Visit, &playback, reason);
  playback.end();
  return whole;
}


}  // namespace platform::wmf
