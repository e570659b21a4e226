// The picture effects of the About box and Contact Info, on true-colour pixel buffers.
#pragma once

struct JPixelBuffer;

// Soft focus: every pixel off the border becomes, channel by channel,
// (4 x itself + left + right + above + below) / 8, all taken before the pass; border
// pixels keep their values.
void SoftenPixels(JPixelBuffer* buffer);
// The blending form: (3 x itself + the four neighbours + the other buffer's pixel at the
// same place) / 8. `other` has the buffer's size.
void SoftenPixelsToward(JPixelBuffer* buffer, const JPixelBuffer* other);
// Every channel c becomes c / 2 + 128: the picture fades toward white.
void FadePixels(JPixelBuffer* buffer);
