// Writes a 32-bit bitmap as an 8-bit RGB PNG file with libpng. The file at the path is
// replaced only when the whole file was written; on failure nothing is left behind.
#pragma once
#include <string>

#include "platform/Bitmap.h"

namespace platform::png {

bool WritePng(const Bitmap& bitmap, const std::string& path, std::string* reason);

}  // namespace platform::png
