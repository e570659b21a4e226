#include "app/shell/PictureFilters.h"

#include <cstring>

#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"

namespace {

// One pass; `other` (or null) is the blending buffer, whose pixel takes one of the four
// shares of the pixel itself.
void Soften(JPixelBuffer* b, const JPixelBuffer* other) {
  if (b->width < 3 || b->height < 3) return;
  const uint32_t bytes = b->rowBytes;
  // The rows above and at the pixel as they were before the pass.
  uint8_t* above = static_cast<uint8_t*>(JAlloc(bytes));
  uint8_t* here = static_cast<uint8_t*>(JAlloc(bytes));
  std::memcpy(above, JPixelBufferRow(b, 0), bytes);
  std::memcpy(here, JPixelBufferRow(b, 1), bytes);
  const uint32_t self = other ? 3 : 4;
  for (uint32_t y = 1; y + 1 < b->height; ++y) {
    uint8_t* out = JPixelBufferRow(b, y);
    const uint8_t* below = JPixelBufferRow(b, y + 1);  // not yet changed
    const uint8_t* blend = other ? JPixelBufferRow(other, y) : nullptr;
    for (uint32_t i = 3; i < 3u * (b->width - 1); ++i) {
      uint32_t sum = self * here[i] + here[i - 3] + here[i + 3] + above[i] + below[i];
      if (blend) sum += blend[i];
      out[i] = static_cast<uint8_t>(sum / 8);
    }
    uint8_t* spare = above;
    above = here;
    here = spare;
    std::memcpy(here, below, bytes);
  }
  JFree(above);
  JFree(here);
}

}  // namespace

void SoftenPixels(JPixelBuffer* buffer) { Soften(buffer, nullptr); }

void SoftenPixelsToward(JPixelBuffer* buffer, const JPixelBuffer* other) {
  if (other && other->width == buffer->width && other->height == buffer->height) Soften(buffer, other);
}

void FadePixels(JPixelBuffer* buffer) {
  for (uint32_t y = 0; y < buffer->height; ++y) {
    uint8_t* row = JPixelBufferRow(buffer, y);
    for (uint32_t i = 0; i < 3u * buffer->width; ++i) row[i] = static_cast<uint8_t>(row[i] / 2 + 128);
  }
}
