#include "jwin/pixel_map.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"
#include "jwin/widget_hooks.h"
#include "platform/Bitmap.h"
#include "platform/DisplayColours.h"

namespace {

uint16_t gDisplayDepth = 32;
JPixMapReleaseProc gReleaseProc = nullptr;

// The registry of live maps.
JPixMap** gLive = nullptr;
uint32_t gLiveCount = 0;
uint32_t gLiveCapacity = 0;

void Register(JPixMap* map) {
  if (gLiveCount == gLiveCapacity) {
    gLiveCapacity = gLiveCapacity ? gLiveCapacity * 2 : 16;
    gLive = static_cast<JPixMap**>(JRealloc(gLive, gLiveCapacity * sizeof(JPixMap*)));
  }
  gLive[gLiveCount++] = map;
}

void Unregister(JPixMap* map) {
  for (uint32_t i = 0; i < gLiveCount; ++i) {
    if (gLive[i] == map) {
      gLive[i] = gLive[--gLiveCount];
      break;
    }
  }
  if (gLiveCount == 0) {
    JFree(gLive);
    gLive = nullptr;
    gLiveCapacity = 0;
  }
}

uint8_t Channel8(uint16_t c) { return static_cast<uint8_t>((c - (c >> 8)) >> 8); }

// `depth` is the depth the map stands for: 4-bit maps are held one byte a pixel.
JPixMap* Wrap(std::unique_ptr<platform::Bitmap> bitmap, uint16_t subKind, uint16_t colourCount, int depth = 0) {
  if (!bitmap) return nullptr;
  JPixMap* map = static_cast<JPixMap*>(JAlloc(sizeof(JPixMap)));
  map->drawingAreaKind = kJDrawingAreaPixMap;
  map->subKind = subKind;
  map->width = static_cast<int16_t>(bitmap->width());
  map->height = static_cast<int16_t>(bitmap->height());
  map->depth = static_cast<uint16_t>(depth ? depth : bitmap->depth());
  map->footprint = static_cast<uint64_t>(map->depth) * static_cast<uint64_t>(map->height) *
                       ((static_cast<uint64_t>(map->width) + 31) / 32 * 4) +
                   sizeof(JPixMap);
  map->colourSlots = map->depth <= 8 ? static_cast<uint16_t>(1u << map->depth) : 0;
  map->colourCount = colourCount;
  map->mask = nullptr;
  map->bitmap = bitmap.release();
  Register(map);
  return map;
}

bool SizeFits(int width, int height) { return JPictureSizeProblem(width, height) == nullptr; }

// The platform raster makes depths 1, 8 and 32: depth 4 is held in 8 bits, 15 to 24 in 32.
int PlatformDepth(int depth) {
  if (depth == 1) return 1;
  return depth <= 8 ? 8 : 32;
}

}  // namespace

uint16_t JDisplayDepth() { return gDisplayDepth; }
void JSetDisplayDepth(uint16_t depth) {
  if (depth == gDisplayDepth) return;
  gDisplayDepth = depth;
  JWidgetsOf().displayChanged();
}

uint32_t JDisplayColour(uint32_t rgb) {
  if (gDisplayDepth > 8) return rgb & 0xFFFFFF;
  static platform::NearestColour sixteen(platform::DisplayColourTable(4));
  static platform::NearestColour full(platform::DisplayColourTable(8));
  return (gDisplayDepth <= 4 ? sixteen : full).colour(rgb);
}
void JPixMapSetReleaseProc(JPixMapReleaseProc proc) { gReleaseProc = proc; }
void JPixMapRelease(JPixMap* map) {
  if (gReleaseProc && map) gReleaseProc(map);
}

JPixMap* JPixMapNew(const JPixMapFormat* format) {
  if (!format || !SizeFits(format->width, format->height)) return nullptr;
  if (format->kind == 2) {
    if (format->depth == 0 || format->depth > 32) return nullptr;
    auto bitmap = platform::Bitmap::Create(format->width, format->height, PlatformDepth(format->depth));
    // Direct colour at 4 or 8 bits is the display's own: its fixed colour table.
    if (bitmap && bitmap->depth() == 8) bitmap->palette() = platform::DisplayColourTable(format->depth);
    return Wrap(std::move(bitmap), 1, 0, format->depth <= 8 ? format->depth : 0);
  }
  if (format->kind != 1) return nullptr;
  const uint16_t* c = format->colours;
  bool blackWhite = format->colourCount == 2 && c && c[0] == 0 && c[1] == 0 && c[2] == 0 && c[3] == 0xFFFF &&
                    c[4] == 0xFFFF && c[5] == 0xFFFF;
  uint16_t count = format->colourCount > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(format->colourCount);
  if (blackWhite) return Wrap(platform::Bitmap::Create(format->width, format->height, 1), 1, count);
  auto bitmap = platform::Bitmap::Create(format->width, format->height, PlatformDepth(gDisplayDepth));
  if (bitmap && bitmap->depth() == 8 && gDisplayDepth <= 4) bitmap->palette().resize(16);
  if (bitmap && bitmap->depth() == 8 && c) {
    const uint32_t slots = static_cast<uint32_t>(bitmap->palette().size());
    uint32_t entries = format->colourCount < slots ? format->colourCount : slots;
    for (uint32_t i = 0; i < entries; ++i) {
      bitmap->palette()[i] = static_cast<uint32_t>(Channel8(c[3 * i])) << 16 |
                             static_cast<uint32_t>(Channel8(c[3 * i + 1])) << 8 | Channel8(c[3 * i + 2]);
    }
  }
  const int depth = bitmap && bitmap->depth() == 8 ? gDisplayDepth : 0;
  return Wrap(std::move(bitmap), 1, count, depth);
}

JPixMap* JPixMapNewDirect(int16_t width, int16_t height, uint16_t depth) {
  JPixMapFormat format{width, height, 2, depth, 0, nullptr};
  return JPixMapNew(&format);
}

JPixMap* JMaskMapNew(int16_t width, int16_t height) {
  if (!SizeFits(width, height)) return nullptr;
  return Wrap(platform::Bitmap::Create(width, height, 1), 0, 2);
}

void JPixMapSetMask(JPixMap* map, JPixMap* mask) {
  if (!map) return;
  const bool fits = mask && map->depth == 1 && mask->depth == 1 && mask->width == map->width &&
                    mask->height == map->height;
  map->mask = fits ? mask : nullptr;
}

void JPixMapFree(JPixMap* map) {
  if (!map) return;
  for (uint32_t i = 0; i < gLiveCount; ++i)
    if (gLive[i]->mask == map) gLive[i]->mask = nullptr;
  JPixMapRelease(map);
  delete map->bitmap;
  Unregister(map);
  JFree(map);
}

uint32_t JPixMapLiveCount() { return gLiveCount; }

uint64_t JPixMapLiveFootprint() {
  uint64_t total = 0;
  for (uint32_t i = 0; i < gLiveCount; ++i) total += gLive[i]->footprint;
  return total;
}

void JMaskMapCombine(JPixMap* dest, const JPixMap* source, int mode) {
  if (!dest || !source || dest->depth != 1 || source->depth != 1 || dest->width != source->width ||
      dest->height != source->height)
    return;
  JPixMapRelease(dest);
  platform::Bitmap* d = dest->bitmap;
  const platform::Bitmap* s = source->bitmap;
  const size_t bytes = d->byteSize();
  uint8_t* db = d->bits();
  const uint8_t* sb = s->bits();
  if (mode == kJMaskAnd) {
    for (size_t i = 0; i < bytes; ++i) db[i] &= sb[i];
  } else if (mode == kJMaskMergePaint) {
    for (size_t i = 0; i < bytes; ++i) db[i] |= static_cast<uint8_t>(~sb[i]);
  }
}

void JPixMapFillWhite(JPixMap* map) {
  if (!map) return;
  JPixMapRelease(map);
  platform::Bitmap* b = map->bitmap;
  if (b->depth() == 32) {
    for (int y = 0; y < b->height(); ++y) {
      uint32_t* row = b->row32(y);
      for (int x = 0; x < b->width(); ++x) row[x] = 0x00FFFFFF;
    }
  } else if (b->depth() == 1) {
    std::memset(b->bits(), 0xFF, b->byteSize());
  } else {
    int white = 0;
    for (size_t i = 0; i < b->palette().size(); ++i) {
      if (b->palette()[i] == 0xFFFFFF) {
        white = static_cast<int>(i);
        break;
      }
    }
    std::memset(b->bits(), white, b->byteSize());
  }
}
