#include "jwin/picture_limit.h"

#include <algorithm>

#include "jindep/memory.h"

namespace {
uint64_t gMaxPixels = 0;  // 0: the default
}  // namespace

uint64_t JPictureDefaultMaxPixels(uint64_t availableBytes) {
  return std::clamp(availableBytes / 2 / kJPictureBytesPerPixel, kJPictureMinMaxPixels, kJPictureMaxPixelsCeiling);
}

uint64_t JPictureMaxPixels() {
  if (gMaxPixels != 0) return gMaxPixels;
  JMemStats stats;
  JMemGetStats(&stats);
  return JPictureDefaultMaxPixels(stats.free);
}

bool JPictureExceedsLimit(uint64_t pixels, uint64_t* limit) {
  if (gMaxPixels == 0 && pixels <= kJPictureMinMaxPixels) return false;
  *limit = JPictureMaxPixels();
  return pixels > *limit;
}

bool JPictureParseMaxPixels(const char* text, uint64_t* pixels) {
  constexpr uint64_t kMost = uint64_t{32767} * 32767;
  uint64_t value = 0;
  if (!text || !*text) return false;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(*c - '0');
    if (value > kMost) return false;
  }
  if (value == 0) return false;
  *pixels = value;
  return true;
}

void JPictureSetMaxPixels(uint64_t pixels) { gMaxPixels = pixels; }
