// A bitmap handed over by the desktop, made into the clipboard's picture form: a plain
// metafile whose one StretchDIBits record draws the whole bitmap at (0, 0) at its own
// size, with extents in pixels. The bitmap's bits are carried as they came (compressed
// ones stay compressed), so playing the picture decodes them as the file reader would.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/clipboard/Clipboard.h"

namespace platform::clipboard {

// `data` is a bitmap file ("BM" header first) or a packed bitmap (information header,
// colour table and bits). None, with a reason, when the bitmap is damaged, larger than a
// metafile record can carry, or larger than the player draws.
std::optional<MetafilePicture> PictureFromBitmap(const uint8_t* data, size_t size, std::string* reason);

}  // namespace platform::clipboard
