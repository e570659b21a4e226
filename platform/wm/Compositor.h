// Merges the windows onto the framebuffer: for every dirty screen rectangle, the desktop
// first, then each visible window from the bottom up, frame and backing bitmap.
#pragma once
#include <vector>

#include "platform/raster/Geometry.h"

namespace platform::wm {

class WindowManager;

class Compositor {
 public:
  void compose(WindowManager& wm, const std::vector<Rect>& rects);
  // Rectangles recomposed so far, for measurements.
  uint64_t pixelsComposed() const { return pixels_; }

 private:
  uint64_t pixels_ = 0;
};

}  // namespace platform::wm
