// The old device-dependent bitmap form that blits and pattern brushes may carry: a
// header of five words (type, width, height, bytes a row, planes and bits a pixel in one
// word), then rows top-down, each `bytes a row` long.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/metafile/Metafile.h"

namespace platform::wmf {

// Decodes the bitmap whose header is at parameter word `at` and whose rows start at word
// `bitsAt`. Monochrome bits take `zero` and `one` (the context's colours); 8-bit bits are
// indices into `palette` (grey levels where it has no such entry); 16-bit bits are 5-5-5,
// 24- and 32-bit ones blue, green, red. Null when the record is damaged, the depth is
// unknown, or the bitmap has more than `maxPixels` pixels.
std::unique_ptr<Bitmap> DecodeBitmap16(const Record& r, size_t at, size_t bitsAt, uint32_t zero, uint32_t one,
                                       const std::vector<uint32_t>& palette, uint64_t maxPixels);

}  // namespace platform::wmf
