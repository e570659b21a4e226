// A metafile handed over by the desktop as the bytes of a metafile file (placeable or
// plain), made into the clipboard's picture form: extents in pixels and a plain metafile
// that draws the picture from (0, 0) at that size.
//
// A placeable file's box is measured in its units per inch and shown at the player's
// 96 pixels per inch, as the desktop's clipboard means a picture's physical size; a plain
// one is as large as what its records draw, one unit a pixel, as when such a file is
// opened. Either way the picture is held in the pixel mapping mode, with a few records
// put before the file's own that map its box onto the extents.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/clipboard/Clipboard.h"

namespace platform::clipboard {

// None, with a reason, when the metafile is damaged, draws nothing that gives it a size,
// or has a box of no size or one larger than 32767 units or pixels across.
std::optional<MetafilePicture> PictureFromMetafile(const uint8_t* data, size_t size, std::string* reason);

}  // namespace platform::clipboard
