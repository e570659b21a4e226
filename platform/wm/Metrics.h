// Sizes and colours of the frames the window manager draws.
#pragma once
#include "platform/raster/Geometry.h"

namespace platform::wm {

struct Metrics {
  static constexpr int kSizingBorder = 4;
  static constexpr int kThinBorder = 1;
  static constexpr int kCaptionHeight = 20;
  static constexpr int kMenuBarHeight = 20;
  static constexpr int kBoxWidth = 16;
  static constexpr int kBoxHeight = 14;
  static constexpr int kBoxGap = 2;
  static constexpr int kMinimizedWidth = 160;
};

struct Palette {
  static constexpr Colour kDesktop = 0x3A6EA5;
  static constexpr Colour kWorkspace = 0xABABAB;
  static constexpr Colour kFace = 0xD4D0C8;
  static constexpr Colour kBorderDark = 0x404040;
  static constexpr Colour kBorderLight = 0xFFFFFF;
  static constexpr Colour kActiveCaption = 0x0A246A;
  static constexpr Colour kInactiveCaption = 0x808080;
  static constexpr Colour kCaptionText = 0xFFFFFF;
  static constexpr Colour kMenuText = 0x000000;
  static constexpr Colour kWindow = 0xFFFFFF;
};

}  // namespace platform::wm
