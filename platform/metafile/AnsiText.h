// Metafile text is in the Western Windows code page; the raster takes UTF-8.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::wmf {

std::string AnsiToUtf8(const uint8_t* text, size_t length);

}  // namespace platform::wmf
