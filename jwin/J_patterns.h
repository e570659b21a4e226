// The artwork of the pattern bitmaps: 8 x 8 one-bit pictures, one byte a row with the
// leftmost pixel in the top bit, 1 where the pattern's ink is.
#pragma once
#include <cstdint>

// False for ids that are not pattern bitmaps (valid: 129 to 168 and 257 to 302).
bool JPatternArtwork(uint16_t resourceId, uint8_t ink[8]);
