// Reads JPEG files (baseline and progressive, grey and colour) into 32-bit bitmaps
// through libjpeg. CMYK pictures are refused: their colours need a colour profile to
// mean anything. Damage the library would only warn about (data cut short, corrupt
// entropy codes) is a refusal too, so no half-grey picture passes for the real one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Bitmap.h"
#include "platform/dib/DibReader.h"

namespace platform::jpeg {

using dib::DecodeLimits;

// True when the data starts with a JPEG start-of-image marker.
bool IsJpeg(const uint8_t* data, size_t size);

// Reads the headers and checks the size against the same limits as bitmaps.
bool ReadSize(const uint8_t* data, size_t size, int* width, int* height, std::string* reason,
              const DecodeLimits& limits = {});

// Decodes into `target`, a 32-bit bitmap of exactly the picture's size.
bool Decode(const uint8_t* data, size_t size, Bitmap* target, std::string* reason, const DecodeLimits& limits = {});

// The same into a new bitmap; null with a reason.
std::unique_ptr<Bitmap> DecodeFile(const uint8_t* data, size_t size, std::string* reason,
                                   const DecodeLimits& limits = {});

}  // namespace platform::jpeg
