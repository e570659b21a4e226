// Plays a metafile's records into a device context of the raster.
//
// The picture's frame (a box in the metafile's own coordinates) is mapped onto the
// destination rectangle (device coordinates of the context) before the first record,
// as an anisotropic mapping; the metafile's own window and viewport records then
// refine it. Unknown records are skipped. A damaged record ends the playback: what was
// drawn before it stays, and the result says so.
#pragma once
#include <string>

#include "platform/metafile/Metafile.h"
#include "platform/raster/DeviceContext.h"

namespace platform::wmf {

struct PlayOptions {
  // Leave out the palette records (for targets that keep their own palette).
  bool skipPaletteRecords = false;
  // Bitmaps carried by records with more pixels than this are not drawn.
  uint64_t maxBitmapPixels = uint64_t{1} << 26;
};

// Answers false with a reason when a damaged record stopped the playback. The context's
// attributes and clip are the same afterwards as before.
bool Play(const Metafile& metafile, DeviceContext& dc, const Rect& frame, const Rect& destination,
          std::string* reason = nullptr, const PlayOptions& options = {});

// The records of one kind, for tests and tools: true when the record is one of the five
// palette records.
bool IsPaletteRecord(uint16_t function);

}  // namespace platform::wmf
