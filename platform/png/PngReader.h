// Reads PNG files into 32-bit bitmaps with libpng: every colour type, bit depth and
// interlace, 16-bit channels reduced to 8 bits (no gamma applied). Alpha is settled here,
// since the colour engine has no alpha: a partly transparent pixel is composed over a
// background colour, and every fully transparent pixel becomes one colour that occurs
// nowhere else in the picture, which the caller marks transparent.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Bitmap.h"
#include "platform/dib/DibReader.h"

namespace platform::png {

using dib::DecodeLimits;

// True when the data starts with the PNG signature.
bool IsPng(const uint8_t* data, size_t size);

// Reads the header and checks the size against the same limits as bitmaps.
bool ReadSize(const uint8_t* data, size_t size, int* width, int* height, std::string* reason,
              const DecodeLimits& limits = {});

struct Alpha {
  uint32_t background = 0xFFFFFF;  // in: 0x00RRGGBB the partly transparent pixels are composed over
  bool hasTransparent = false;     // out: some pixels are fully transparent
  uint32_t transparentColour = 0;  // out: the colour they were given
};

// Decodes into `target`, a 32-bit bitmap of exactly the picture's size.
bool Decode(const uint8_t* data, size_t size, Bitmap* target, Alpha* alpha, std::string* reason,
            const DecodeLimits& limits = {});

// The same into a new bitmap; null with a reason.
std::unique_ptr<Bitmap> DecodeFile(const uint8_t* data, size_t size, Alpha* alpha, std::string* reason,
                                   const DecodeLimits& limits = {});

}  // namespace platform::png
