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
  depth = known ? depth : 32;
  if (depth == depth_) return;
  if (composition_) framebuffer_ = std::move(composition_);
  nearest_.reset();
  depth_ = depth;
  if (depth > 8) return;
  auto indexed = Bitmap::Create(width(), height(), 8);
  if (!indexed) {
    depth_ = 32;  // no memory for a second surface: the display stays direct colour
    return;
  }
  indexed->palette() = DisplayColourTable(depth);
  nearest_ = std::make_unique<NearestColour>(indexed->palette());
  composition_ = std::move(framebuffer_);
  framebuffer_ = std::move(indexed);
  showComposed(bounds());
}

void Screen::showComposed(const Rect& area) {
  if (!composition_) return;
  const Rect r = area.intersected(bounds());
  for (int y = r.top; y < r.bottom; ++y) {
    const uint32_t* in = composition_->row32(y);
    uint8_t* out = framebuffer_->row(y);
    for (int x = r.left; x < r.right; ++x) out[x] = nearest_->index(in[x]);
  }
}

Colour Screen::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  if (framebuffer_->depth() == 8) {
    const auto& table = framebuffer_->palette();
    const uint8_t index = framebuffer_->row(y)[x];
    return index < table.size() ? table[index] : 0;
  }
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
