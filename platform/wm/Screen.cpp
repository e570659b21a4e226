#include "platform/wm/Screen.h"

#include <cstdlib>
#include <cstring>

#include "platform/dib/BmpWriter.h"

namespace platform::wm {

namespace {
constexpr int kMinSide = 64;
constexpr int kMaxSide = 16384;
bool SideOk(long v) { return v >= kMinSide && v <= kMaxSide; }
}  // namespace

Screen::Screen(int width, int height) {
  if (!SideOk(width) || !SideOk(height)) {
    width = kDefaultWidth;
    height = kDefaultHeight;
  }
  framebuffer_ = Bitmap::Create(width, height, 32);
  if (!framebuffer_) framebuffer_ = Bitmap::Create(kDefaultWidth, kDefaultHeight, 32);
}

void Screen::setDepth(int depth) {
  const bool known = depth == 4 || depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  depth_ = known ? depth : 32;
}

Colour Screen::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return framebuffer_->row32(y)[x] & 0xFFFFFF;
}

bool Screen::saveBmp(const std::string& path, std::string* reason) const {
  return dib::WriteBmpFile(*framebuffer_, path, 24, reason);
}

bool ParseScreenSize(const char* text, int* width, int* height) {
  if (!text) return false;
  char* end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (end == second || *end != '\0' || !SideOk(w) || !SideOk(h)) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

}  // namespace platform::wm
