#include "jwin/pixel_map_png.h"

#include <cstdio>
#include <string>

#include "jwin/pixel_map.h"
#include "platform/png/PngWriter.h"

bool JPixMapWritePng(JPixMap* map, const char* path, char* reason, size_t reasonSize) {
  std::string why = "no picture";
  bool ok = false;
  if (map && map->bitmap && path) {
    JPixMapRelease(map);  // drawing stops before the pixels are read
    ok = platform::png::WritePng(*map->bitmap, path, &why);
  }
  if (!ok && reason && reasonSize > 0) std::snprintf(reason, reasonSize, "%s", why.c_str());
  return ok;
}
