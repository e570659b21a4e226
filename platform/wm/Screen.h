// The desktop's framebuffer: one 32-bit bitmap that every window is composed onto.
#pragma once
#include <memory>
#include <string>

#include "platform/Bitmap.h"
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
  Bitmap& framebuffer() { return *framebuffer_; }
  const Bitmap& framebuffer() const { return *framebuffer_; }
  Colour pixel(int x, int y) const;
  // The bits a pixel the display reports (4, 8, 15, 16, 24 or 32). The framebuffer
  // itself always holds 32 bits; programs ask the depth to know what a person sees.
  int depth() const { return depth_; }
  // Depths other than those above give 32.
  void setDepth(int depth);

  // Writes the framebuffer as a bitmap file; false with a reason when it cannot.
  bool saveBmp(const std::string& path, std::string* reason = nullptr) const;

 private:
  std::unique_ptr<Bitmap> framebuffer_;
  int depth_ = 32;
};

// Parses "WxH"; false when it is not two sizes within the screen limits.
bool ParseScreenSize(const char* text, int* width, int* height);

}  // namespace platform::wm
