// Writes a platform bitmap as a Windows bitmap file (uncompressed, bottom-up rows,
// 40-byte information header). Used to save screenshots and by tests that need
// bitmap files of known content.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace platform::dib {

// bitCount is 24 or 32. Bitmaps of depth 1 and 8 are written through their palette.
// An empty result means the bitmap or bit count cannot be written.
std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap, int bitCount = 24);

// Writes the file in one go; on failure returns false and says why in *reason.
bool WriteBmpFile(const Bitmap& bitmap, const std::string& path, int bitCount = 24,
                  std::string* reason = nullptr);

}  // namespace platform::dib
