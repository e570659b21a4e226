// The desktop's framebuffer. Windows are composed onto a 32-bit surface; on a display of
// 16 bits and more that surface is the framebuffer itself, while a display of 4 or 8 bits
// holds one index a pixel into its colour table, and every composed colour becomes the
// table's nearest entry, as such a display shows it.
#pragma once
#include <memory>
#include <string>

#include "platform/Bitmap.h"
#include "platform/DisplayColours.h"
#include "platform/raster/Geometry.h"

namespace platform::wm {

class Screen {
 public:
  static constexpr int kDefaultWidth = 1280;
  static constexpr int kDefaultHeight = 800;

  // Sizes outside 64 .. 16384 fall back to the default.
  Screen(int width, int height);

  int width() const { return framebuffer_->width(); }
  int height() const { return framebuffer_->height(); }
  Rect bounds() const { return {0, 0, width(), height()}; }
  // What the display shows: 32 bits a pixel, or 8 with a colour table at depths 4 and 8.
  Bitmap& framebuffer() { return *framebuffer_; }
  const Bitmap& framebuffer() const { return *framebuffer_; }
  // Where windows are composed: 32 bits a pixel.
  Bitmap& composition() { return composition_ ? *composition_ : *framebuffer_; }
  // The colour shown at a point (0 outside the screen).
  Colour pixel(int x, int y) const;
  // The bits a pixel of the display (4, 8, 15, 16, 24 or 32); 15 to 24 are held in 32 bits.
  int depth() const { return depth_; }
  // Depths other than those above give 32. The screen keeps its picture, reduced to the
  // colour table at depths 4 and 8.
  void setDepth(int depth);
  // Brings a composed area onto the framebuffer (nothing to do without a colour table).
  void showComposed(const Rect& r);

  // Writes the framebuffer as a bitmap file; false with a reason when it cannot.
  bool saveBmp(const std::string& path, std::string* reason = nullptr) const;

 private:
  std::unique_ptr<Bitmap> framebuffer_;
  std::unique_ptr<Bitmap> composition_;  // only at indexed depths
  std::unique_ptr<NearestColour> nearest_;
  int depth_ = 32;
};

// Parses "WxH"; false when it is not two sizes within the screen limits.
bool ParseScreenSize(const char* text, int* width, int* height);

}  // namespace platform::wm
