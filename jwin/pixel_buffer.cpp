#include "jwin/pixel_buffer.h"

#include <cstring>

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/picture_limit.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "platform/DisplayColours.h"
#include "platform/wm/Desktop.h"

namespace {
bool gSwap = false;

// Top-down map row of buffer row (firstBufferRow + i): the buffer is bottom-up.
bool RangesFit(int32_t firstBufferRow, int32_t bufferHeight, int32_t firstMapRow, int32_t mapHeight,
               int32_t rowCount) {
  if (firstBufferRow < 0 || firstMapRow < 0 || rowCount < 0) return false;
  return static_cast<int64_t>(firstMapRow) + rowCount <= mapHeight &&
         static_cast<int64_t>(firstBufferRow) + rowCount <= bufferHeight;
}
// A display driver may deliver device pixels red first; the swap flag the probe found puts
// them back in the order blue, green, red.
bool DriverRedFirst() {
  platform::wm::Desktop* desktop = platform::wm::Desktop::Current();
  return desktop && desktop->backend().deliversRedFirst();
}

}  // namespace

const char* JPictureSizeProblem(int64_t width, int64_t height) {
  if (width < 1 || height < 1) return "The picture has no pixels.";
  if (width > kJMaxPictureSide || height > kJMaxPictureSide)
    return "The picture is too large: at most 32767 pixels wide and 32767 pixels high.";
  uint64_t limit = 0;
  if (JPictureExceedsLimit(static_cast<uint64_t>(width) * static_cast<uint64_t>(height), &limit)) {
    static char text[160];
    JFormatIntoSized(text, sizeof text, JStr(kStrPictureTooManyPixels), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), static_cast<unsigned>(limit));
    return text;
  }
  return nullptr;
}

JPixelBuffer* JPixelBufferNew(int64_t width, int64_t height) {
  if (JPictureSizeProblem(width, height)) return nullptr;
  JPixelBuffer* buffer = static_cast<JPixelBuffer*>(JAlloc(sizeof(JPixelBuffer)));
  buffer->width = static_cast<uint16_t>(width);
  buffer->height = static_cast<uint16_t>(height);
  buffer->rowBytes = JPixelRowBytes(buffer->width);
  const size_t bytes = static_cast<size_t>(buffer->rowBytes) * buffer->height;
  buffer->pixels = static_cast<uint8_t*>(JAlloc(bytes));
  std::memset(buffer->pixels, 0xFF, bytes);
  return buffer;
}

void JPixelBufferFree(JPixelBuffer* buffer) {
  if (!buffer) return;
  JFree(buffer->pixels);
  JFree(buffer);
}

void JPixelBufferGet(JPixelBuffer* buffer, int32_t firstBufferRow, JPixMap* map, int32_t firstMapRow, int32_t rowCount) {
  if (!buffer || !map || buffer->width != map->width ||
      !RangesFit(firstBufferRow, buffer->height, firstMapRow, map->height, rowCount))
    return;
  JPixMapRelease(map);
  const platform::Bitmap* bitmap = map->bitmap;
  const uint32_t width = buffer->width;
  const std::vector<uint32_t>& palette = bitmap->palette();
  const bool swap = gSwap != DriverRedFirst();
  for (int32_t i = 0; i < rowCount; ++i) {
    const int mapRow = firstMapRow + rowCount - 1 - i;
    uint8_t* out = JPixelBufferRow(buffer, static_cast<uint32_t>(firstBufferRow + i));
    const uint8_t* in = bitmap->row(mapRow);
    if (bitmap->depth() == 32) {
      // Memory order of a 32-bit pixel is blue, green, red, unused.
      for (uint32_t x = 0; x < width; ++x) {
        out[3 * x] = in[4 * x];
        out[3 * x + 1] = in[4 * x + 1];
        out[3 * x + 2] = in[4 * x + 2];
      }
    } else {
      for (uint32_t x = 0; x < width; ++x) {
        uint32_t entry = bitmap->depth() == 8 ? in[x] : (in[x >> 3] >> (7 - (x & 7))) & 1u;
        uint32_t colour = entry < palette.size() ? palette[entry] : 0;
        out[3 * x] = static_cast<uint8_t>(colour);
        out[3 * x + 1] = static_cast<uint8_t>(colour >> 8);
        out[3 * x + 2] = static_cast<uint8_t>(colour >> 16);
      }
    }
    if (swap) {
      for (uint32_t x = 0; x < width; ++x) {
        uint8_t t = out[3 * x];
        out[3 * x] = out[3 * x + 2];
        out[3 * x + 2] = t;
      }
    }
  }
}

void JPixelBufferPut(const JPixelBuffer* buffer, int32_t firstBufferRow, int32_t rowCount, JPixMap* map,
                     int32_t firstMapRow) {
  if (!buffer || !map || buffer->width != map->width ||
      !RangesFit(firstBufferRow, buffer->height, firstMapRow, map->height, rowCount))
    return;
  JPixMapRelease(map);
  platform::Bitmap* bitmap = map->bitmap;
  const uint32_t width = buffer->width;
  for (int32_t i = 0; i < rowCount; ++i) {
    const int mapRow = firstMapRow + rowCount - 1 - i;
    const uint8_t* in = JPixelBufferRow(buffer, static_cast<uint32_t>(firstBufferRow + i));
    if (bitmap->depth() == 32) {
      uint32_t* out = bitmap->row32(mapRow);
      for (uint32_t x = 0; x < width; ++x) {
        out[x] = static_cast<uint32_t>(in[3 * x + 2]) << 16 | static_cast<uint32_t>(in[3 * x + 1]) << 8 | in[3 * x];
      }
    } else {
      // Indexed maps take the nearest palette entry by Manhattan distance.
      uint8_t* out = bitmap->row(mapRow);
      const std::vector<uint32_t>& palette = bitmap->palette();
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t best =
            platform::NearestIndex(palette, static_cast<uint32_t>(in[3 * x + 2]) << 16 | in[3 * x + 1] << 8 | in[3 * x]);
        if (bitmap->depth() == 8) {
          out[x] = static_cast<uint8_t>(best);
        } else if (best) {
          out[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
        } else {
          out[x >> 3] &= static_cast<uint8_t>(~(0x80u >> (x & 7)));
        }
      }
    }
  }
}

bool JPixelSwapFlag() { return gSwap; }

void JPixelOrderProbe() {
  JPixMap* map = JPixMapNewDirect(2, 1, JDisplayDepth());
  if (!map) return;
  JGC* saved = JCurrentGC();
  JGC* gc = JNewGC();
  JSetDrawBitmap(map);
  JSetGC(gc);
  // Basic colours 4 (red) and 1 (blue).
  const JColour red = {0xFFFF, 0, 0}, blue = {0, 0, 0xFFFF};
  JSetForeColour(&red);
  JSetPixel(0, 0);
  JSetForeColour(&blue);
  JSetPixel(1, 0);
  gSwap = false;
  JPixelBuffer* buffer = JPixelBufferNew(2, 1);
  JPixelBufferGet(buffer, 0, map, 0, 1);
  static const uint8_t kRedFirst[6] = {0xFF, 0, 0, 0, 0, 0xFF};
  if (std::memcmp(buffer->pixels, kRedFirst, 6) == 0) gSwap = true;
  JPixelBufferFree(buffer);
  JResetDrawArea(nullptr);
  JDisposeGC(gc);
  if (saved) JSetGC(saved);
  JPixMapFree(map);
}
