// How a metafile's logical coordinates become device coordinates: the mapping mode,
// the window (origin and extent, logical) and the viewport (origin and extent, device).
#pragma once
#include <cstdint>

#include "platform/raster/Geometry.h"

namespace platform::wmf {

enum MapMode : int {
  kText = 1,        // one logical unit is one pixel
  kLoMetric = 2,    // 0.1 mm, y up
  kHiMetric = 3,    // 0.01 mm, y up
  kLoEnglish = 4,   // 0.01 inch, y up
  kHiEnglish = 5,   // 0.001 inch, y up
  kTwips = 6,       // 1/1440 inch, y up
  kIsotropic = 7,   // window and viewport extents, equal scales on both axes
  kAnisotropic = 8  // window and viewport extents
};

// Pixels per inch of the device for the metric and English modes.
constexpr int kDeviceDpi = 96;

class Mapping {
 public:
  int mode() const { return mode_; }
  // Unknown modes are ignored.
  void setMode(int mode);
  void setWindowOrg(int x, int y) { wox_ = x, woy_ = y; }
  void setWindowExt(int x, int y);
  void setViewportOrg(int x, int y) { vox_ = x, voy_ = y; }
  void setViewportExt(int x, int y);
  void offsetWindowOrg(int dx, int dy) { wox_ += dx, woy_ += dy; }
  void offsetViewportOrg(int dx, int dy) { vox_ += dx, voy_ += dy; }
  void scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
  void scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);

  // Device pixels per logical unit on each axis (negative when the axis flips).
  double scaleX() const;
  double scaleY() const;
  // Points and lengths, rounded to the nearest pixel and kept within a safe range.
  int x(int logicalX) const;
  int y(int logicalY) const;
  Point point(int lx, int ly) const { return {x(lx), y(ly)}; }
  // A rectangle's corners mapped, then put in order.
  Rect rect(int left, int top, int right, int bottom) const;
  int width(int logical) const;   // absolute, at least 0
  int height(int logical) const;  // absolute, at least 0

 private:
  int mode_ = kText;
  int64_t wox_ = 0, woy_ = 0, wex_ = 1, wey_ = 1;
  int64_t vox_ = 0, voy_ = 0, vex_ = 1, vey_ = 1;
};

}  // namespace platform::wmf
