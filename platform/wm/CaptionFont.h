// The one font of the window manager's own texts (captions and menu titles).
#pragma once
#include <string>

#include "platform/Bitmap.h"
#include "platform/raster/Geometry.h"

namespace platform::wm {

class CaptionFont {
 public:
  static constexpr int kPixelHeight = 13;
  // Draws `s` in a line box of `height` pixels whose top is `top`, inside `clip`.
  static void Draw(Bitmap& target, const Rect& clip, int x, int top, int height,
                   const std::string& s, Colour c);
  static int Width(const std::string& s);
};

}  // namespace platform::wm
