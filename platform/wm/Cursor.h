// The pointer's shape. The window manager keeps the current one; a backend that can
// show cursors is told about changes.
#pragma once

namespace platform::wm {

// The first four are the desktop's; the program draws the others (CursorArt.h).
enum class CursorShape { Arrow, Busy, Crosshair, IBeam, Hand, Magnifier, Dropper };

class Cursor {
 public:
  CursorShape shape() const { return shape_; }
  // Answers whether the shape changed.
  bool setShape(CursorShape shape) {
    const bool changed = shape != shape_;
    shape_ = shape;
    return changed;
  }

 private:
  CursorShape shape_ = CursorShape::Arrow;
};

}  // namespace platform::wm
